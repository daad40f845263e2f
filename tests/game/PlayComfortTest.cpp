// Taking moves back as the players see it: what Undo and Redo paint, the
// scores and turn indicator they show, a pick dropped, the computer's
// hooks, and the marks the options ask for, over random games on the
// smallest and the largest board.
#include "game/GameHistory.h"
#include "game/GameLogic.h"
#include "game/Moves.h"
#include "game/PlayComfort.h"
#include "tests/TestSupport.h"
#include "tests/game/FakeGameView.h"

#include <QTest>

#include <random>

namespace {

// A view that keeps the picture its paints make, and sets up a new board
// on Restart as the window does.
class ScreenView : public FakeGameView {
public:
    ScreenView(TGameState& state, TGameHistory& history)
        : FakeGameView(state)
        , state_(state)
        , history_(history)
    {
    }

    void PaintCell(TPoint cell, TColor color) override
    {
        FakeGameView::PaintCell(cell, color);
        Screen[cell] = color;
    }
    void Restart() override
    {
        ++Restarts;
        SetUpNewBoard(state_, 0);
        Screen = state_.GameBoard;
        history_.NewGame(state_);
    }

    TGameBoard Screen;

private:
    TGameState& state_;
    TGameHistory& history_;
};

struct Game {
    std::mt19937 Random;
    TGameState State;
    TGameHistory History;
    ScreenView View{State, History};
    TGameLogic Logic{State, View};
    TPlayComfort Comfort{State, History, View};

    Game(int width, int height, std::uint32_t seed)
        : Random(seed)
    {
        Logic.SetHistory(&History);
        State.BoardWidth = std::uint8_t(width);
        State.BoardHeight = std::uint8_t(height);
        View.Geometry = {width, height, 20, 17};
        View.Restart();
        View.Restarts = 0;
    }

    void Press(TPoint cell)
    {
        const TPoint pixel = View.PixelOf(cell);
        Logic.SelectHex(pixel.X, pixel.Y);
    }

    TColor SideToPick() const { return State.CurrentPlayer == 1 ? clBlue : clRed; }

    TMove RandomMove()
    {
        const std::vector<TMove> moves = GenerateMoves(State.GameBoard, State.Size(), SideToPick());
        return moves[std::uniform_int_distribution<std::size_t>(0, moves.size() - 1)(Random)];
    }

    // Plays a random move; false when it ended the game.
    bool PlayRandom()
    {
        const TMove move = RandomMove();
        const int restarts = View.Restarts;
        Press(move.From);
        Press(move.To);
        return View.Restarts == restarts;
    }
};

// The picture, the scores and the side to pick agree with the position.
void CheckShown(Game& game, const TGamePosition& expected)
{
    QCOMPARE(PositionOf(game.State), expected);
    QCOMPARE(game.State.SelectionState, 0);
    ForEachCell(game.State.Size(), [&](TPoint cell) { QCOMPARE(game.View.Screen[cell], expected.Board[cell]); });
    QCOMPARE(game.View.RedScore, int(expected.Count().Red));
    QCOMPARE(game.View.BlueScore, int(expected.Count().Blue));
}

} // namespace

class PlayComfortTest : public QObject {
    Q_OBJECT

private slots:
    void undoAndRedoShowEveryPosition_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<int>("seed");
        for (int seed = 1; seed <= 4; ++seed) {
            QTest::addRow("4 x 4, game %d", seed) << 4 << 4 << seed;
            QTest::addRow("10 x 10, game %d", seed) << 10 << 10 << seed;
        }
        QTest::newRow("4 x 10") << 4 << 10 << 5;
    }

    void undoAndRedoShowEveryPosition()
    {
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(int, seed);
        Game game(width, height, std::uint32_t(seed));
        std::vector<TGamePosition> positions{PositionOf(game.State)};
        // A game that ends leads on to the next game's first board.
        for (int move = 0; move < 40; ++move) {
            const bool goesOn = game.PlayRandom();
            positions.push_back(PositionOf(game.State));
            if (!goesOn)
                break;
        }
        // Back to the first board, one whole move at a time, and forward again.
        for (std::size_t index = positions.size() - 1; index-- > 0;) {
            const int turns = game.View.TurnUpdates;
            QVERIFY(game.Comfort.Undo());
            CheckShown(game, positions[index]);
            QCOMPARE(game.View.TurnUpdates, turns + 1);
        }
        QVERIFY(!game.Comfort.CanUndo());
        QVERIFY(!game.Comfort.Undo());
        for (std::size_t index = 1; index < positions.size(); ++index) {
            QVERIFY(game.Comfort.Redo());
            CheckShown(game, positions[index]);
        }
        QVERIFY(!game.Comfort.Redo());
        // A new move after a few take-backs forgets what could be played again.
        const std::size_t back = std::min<std::size_t>(3, positions.size() - 1);
        for (std::size_t i = 0; i < back; ++i)
            QVERIFY(game.Comfort.Undo());
        if (game.PlayRandom())
            QVERIFY(!game.Comfort.CanRedo());
    }

    void undoDropsAPick_data()
    {
        QTest::addColumn<int>("movesBefore");
        QTest::newRow("on the first board") << 0;
        QTest::newRow("after two moves") << 2;
    }

    void undoDropsAPick()
    {
        QFETCH(int, movesBefore);
        Game game(6, 6, 7);
        std::vector<TGamePosition> positions{PositionOf(game.State)};
        for (int move = 0; move < movesBefore; ++move) {
            QVERIFY(game.PlayRandom());
            positions.push_back(PositionOf(game.State));
        }
        const TMove next = game.RandomMove();
        game.Press(next.From);
        QVERIFY(game.State.SelectionState != 0);
        QVERIFY(game.Comfort.CanUndo());
        QVERIFY(game.Comfort.Undo());
        // The pick, and with it the move before it if there was one.
        CheckShown(game, positions[std::max(0, movesBefore - 1)]);
    }

    void undoBringsBackTheEndedGame()
    {
        // Random games until one ends; the new board then still leads back.
        for (std::uint32_t seed = 1; seed < 50; ++seed) {
            Game game(4, 4, seed);
            TGamePosition beforeLast = PositionOf(game.State);
            bool ended = false;
            for (int move = 0; move < 200 && !ended; ++move) {
                const TGamePosition before = PositionOf(game.State);
                ended = !game.PlayRandom();
                if (ended)
                    beforeLast = before;
            }
            if (!ended)
                continue;
            QCOMPARE(game.View.Podiums.size(), std::size_t(1));
            const TGamePosition newBoard = PositionOf(game.State);
            QVERIFY(game.Comfort.CanUndo());
            QVERIFY(game.Comfort.Undo());
            CheckShown(game, beforeLast);
            QVERIFY(game.Comfort.Redo());
            CheckShown(game, newBoard);
            return;
        }
        QFAIL("no random game ended");
    }

    void againstTheComputerTheHumanPicksAgain_data()
    {
        QTest::addColumn<int>("computer"); // 0 Red, 1 Blue
        QTest::newRow("computer plays Blue") << 1;
        QTest::newRow("computer plays Red") << 0;
    }

    void againstTheComputerTheHumanPicksAgain()
    {
        QFETCH(int, computer);
        Game game(8, 8, 3);
        int cancels = 0;
        game.Comfort.IsComputer = [&](std::uint8_t side) { return side == computer; };
        game.Comfort.CancelThinking = [&] { ++cancels; };
        std::vector<TGamePosition> positions{PositionOf(game.State)};
        for (int move = 0; move < 7; ++move) {
            QVERIFY(game.PlayRandom());
            positions.push_back(PositionOf(game.State));
        }
        int expectedCancels = 0;
        QVERIFY(game.Comfort.CanUndo());
        while (game.Comfort.CanUndo()) {
            QVERIFY(game.Comfort.Undo());
            QCOMPARE(cancels, ++expectedCancels);
            // Back past the computer's positions to the newest one where the
            // human picks.
            positions.pop_back();
            while (positions.back().CurrentPlayer == computer)
                positions.pop_back();
            CheckShown(game, positions.back());
            QVERIFY(game.State.CurrentPlayer != computer);
        }
    }

    void marksFollowTheOptions_data()
    {
        QTest::addColumn<bool>("hints");
        QTest::addColumn<bool>("lastMove");
        QTest::newRow("both off") << false << false;
        QTest::newRow("hints") << true << false;
        QTest::newRow("last move") << false << true;
        QTest::newRow("both") << true << true;
    }

    void marksFollowTheOptions()
    {
        QFETCH(bool, hints);
        QFETCH(bool, lastMove);
        Game game(7, 7, 11);
        game.State.HintsEnabled = hints ? 1 : 0;
        game.State.LastMoveEnabled = lastMove ? 1 : 0;
        QCOMPARE(game.Comfort.Marks(), TBoardMarks{});
        for (int move = 0; move < 6; ++move) {
            const TMove next = game.RandomMove();
            const TGameBoard board = game.State.GameBoard;
            game.Press(next.From);
            const TBoardMarks picked = game.Comfort.Marks();
            QCOMPARE(picked.LastFrom, TPoint{});
            if (hints) {
                const TMoveTargets targets = MoveTargets(board, game.State.Size(), next.From);
                QCOMPARE(picked.Targets.Copies, targets.Copies);
                QCOMPARE(picked.Targets.Jumps, targets.Jumps);
                QVERIFY(!targets.Copies.empty() || !targets.Jumps.empty());
            } else {
                QVERIFY(picked.Targets.Copies.empty() && picked.Targets.Jumps.empty());
            }
            game.Press(next.To);
            const TBoardMarks moved = game.Comfort.Marks();
            QVERIFY(moved.Targets.Copies.empty() && moved.Targets.Jumps.empty());
            QCOMPARE(moved.LastFrom, lastMove ? next.From : TPoint{});
            QCOMPARE(moved.LastTo, lastMove ? next.To : TPoint{});
            // The marks are drawn over the board, never into it.
            QCOMPARE(game.State.GameBoard, game.View.Screen);
        }
    }
};

QTEST_GUILESS_MAIN(PlayComfortTest)
#include "PlayComfortTest.moc"
