// Taking moves back and playing them again, with the rules recording every
// move as they make it: random games against snapshots taken around each
// move, the fill, the end of a game and the computer's side.
#include "game/GameHistory.h"
#include "game/GameLogic.h"
#include "game/Moves.h"
#include "tests/TestSupport.h"
#include "tests/game/FakeGameView.h"

#include <QTest>

#include <random>

char* toString(const TGamePosition& position)
{
    QByteArray text = QByteArray(position.CurrentPlayer == 1 ? "Blue" : "Red") + " to pick:";
    for (int row = 1; row <= position.Size.Height; ++row) {
        text += ' ';
        for (int column = 1; column <= position.Size.Width; ++column) {
            const TColor color = position.Board(column, row);
            text += color == clRed ? 'R' : color == clBlue ? 'B' : '.';
        }
    }
    return qstrdup(text.constData());
}

namespace {

// A view whose Restart sets up a new board as the window does, and tells
// the history about it.
class HistoryView : public FakeGameView {
public:
    HistoryView(TGameState& state, TGameHistory& history, std::mt19937& random)
        : FakeGameView(state)
        , state_(state)
        , history_(history)
        , random_(random)
    {
    }

    void Restart() override
    {
        ++Restarts;
        SetUpNewBoard(state_, std::uint8_t(random_() & 1));
        history_.NewGame(state_);
    }

private:
    TGameState& state_;
    TGameHistory& history_;
    std::mt19937& random_;
};

struct Game {
    std::mt19937 Random;
    TGameState State;
    TGameHistory History;
    HistoryView View{State, History, Random};
    TGameLogic Logic{State, View};

    explicit Game(std::uint32_t seed = 1)
        : Random(seed)
    {
        Logic.SetHistory(&History);
    }

    // A fresh board as the window sets it up.
    void NewBoard(int width, int height)
    {
        State.BoardWidth = std::uint8_t(width);
        State.BoardHeight = std::uint8_t(height);
        View.Geometry = {width, height, 20, 17};
        View.Restart();
    }

    // A position in the middle of a game, one string per row: 'R' Red,
    // 'B' Blue, '.' empty. The history starts from it.
    void Load(const QStringList& rows, std::uint8_t player)
    {
        State.BoardWidth = std::uint8_t(rows.front().size());
        State.BoardHeight = std::uint8_t(rows.size());
        State.TotalCells = std::uint8_t(State.BoardWidth * State.BoardHeight);
        State.HalfCells = State.TotalCells / 2;
        ForEachCell(State.Size(), [&](TPoint cell) {
            const QChar c = rows[cell.Y - 1][cell.X - 1];
            State.GameBoard[cell] = c == u'R' ? clRed : c == u'B' ? clBlue : clGray;
        });
        View.Geometry = {State.BoardWidth, State.BoardHeight, 20, 17};
        State.CurrentPlayer = player;
        State.SelectionState = 0;
        State.SelectedCell = {1, 1};
        History.NewGame(State);
    }

    void Press(TPoint cell)
    {
        const TPoint pixel = View.PixelOf(cell);
        Logic.SelectHex(pixel.X, pixel.Y);
    }

    void Play(const TMove& move)
    {
        Press(move.From);
        Press(move.To);
    }

    TColor SideToPick() const { return State.CurrentPlayer == 1 ? clBlue : clRed; }

    TMove RandomMove()
    {
        const std::vector<TMove> moves = GenerateMoves(State.GameBoard, State.Size(), SideToPick());
        return moves[std::uniform_int_distribution<std::size_t>(0, moves.size() - 1)(Random)];
    }
};

// The whole of what Undo and Redo promise to bring back.
void ComparePosition(const TGameState& state, const TGamePosition& expected)
{
    QCOMPARE(PositionOf(state), expected);
    QCOMPARE(state.SelectionState, 0);
    QCOMPARE(state.CurrentPlayer, expected.CurrentPlayer);
    QCOMPARE(state.TotalCells, expected.Size.Width * expected.Size.Height);
    QCOMPARE(state.HalfCells, state.TotalCells / 2);
    const TPieceCount count = CountPieces(state.GameBoard, state.Size());
    QCOMPARE(count.Red, expected.Count().Red);
    QCOMPARE(count.Blue, expected.Count().Blue);
}

} // namespace

class GameHistoryTest : public QObject {
    Q_OBJECT

private slots:
    void randomGamesRetraceTheirPositions_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<int>("seed");
        QTest::newRow("4 x 4") << 4 << 4 << 1;
        QTest::newRow("4 x 4, other seed") << 4 << 4 << 2;
        QTest::newRow("5 x 7") << 5 << 7 << 3;
        QTest::newRow("7 x 4") << 7 << 4 << 4;
        QTest::newRow("10 x 10") << 10 << 10 << 5;
    }

    // Plays a random game to its end with takebacks sprinkled in, keeping
    // its own list of the positions the game went through; every Undo must
    // land on the position before the move, every Redo on the one after.
    void randomGamesRetraceTheirPositions()
    {
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(int, seed);
        Game game{std::uint32_t(seed)};
        game.NewBoard(width, height);
        std::vector<TGamePosition> positions{PositionOf(game.State)};
        std::vector<TMove> moves;

        std::mt19937 dice(std::uint32_t(seed) * 7919u);
        for (int ply = 0; game.View.Restarts == 1; ++ply) {
            QVERIFY2(ply < 3000, "the random game does not end");
            const int roll = int(dice() % 12);
            if (roll <= 1 && !moves.empty()) {
                if (roll == 1) {
                    // A pick that is taken back goes with the move before it.
                    game.Press(game.RandomMove().From);
                    QVERIFY(game.State.SelectionState != 0);
                }
                QVERIFY(game.History.Undo(game.State));
                positions.pop_back();
                moves.pop_back();
                ComparePosition(game.State, positions.back());
                QVERIFY(game.History.LastMove() == (moves.empty() ? std::nullopt : std::optional(moves.back())));
                if (dice() % 2) {
                    const TGamePosition undone = PositionOf(game.State);
                    QVERIFY(game.History.Redo(game.State));
                    QVERIFY(game.History.Undo(game.State));
                    ComparePosition(game.State, undone);
                }
                continue;
            }
            const TMove move = game.RandomMove();
            game.Play(move);
            QVERIFY(!game.History.CanRedo());
            moves.push_back(move);
            positions.push_back(PositionOf(game.State));
            QVERIFY(game.History.LastMove() == (game.View.Restarts == 1 ? std::optional(move) : std::nullopt));
            const auto kept = game.History.Positions();
            QCOMPARE(kept.size(), game.View.Restarts == 1 ? positions.size() : 1u);
            QCOMPARE(kept.back(), positions.back());
        }

        // The game has ended and a new one is on the board; all of the ended
        // game comes back, one move at a time.
        for (std::size_t index = positions.size() - 1; index-- > 0;) {
            QVERIFY(game.History.Undo(game.State));
            ComparePosition(game.State, positions[index]);
            QCOMPARE(game.History.Positions().size(), index + 1);
        }
        QVERIFY(!game.History.CanUndo());
        for (std::size_t index = 1; index < positions.size(); ++index) {
            QVERIFY(game.History.Redo(game.State));
            ComparePosition(game.State, positions[index]);
        }
        QVERIFY(!game.History.CanRedo());
        QVERIFY(!game.History.LastMove());
    }

    void endingMovesComeBackWithTheirBoard_data()
    {
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<int>("player");
        QTest::addColumn<TPoint>("from");
        QTest::addColumn<TPoint>("to");
        QTest::addColumn<int>("fill");
        QTest::newRow("last Blue piece taken, then the fill")
            << QStringList{"R...", "B...", "....", "...."} << 0 << TPoint{1, 1} << TPoint{2, 1} << 13;
        QTest::newRow("Blue blocked, then the fill")
            << QStringList{"BRR...", "RR....", "R.....", "......", "......", "......"} << 0 << TPoint{3, 1}
            << TPoint{3, 2} << 29;
        QTest::newRow("even split, a draw")
            << QStringList{".RRR", "RRRB", "RBBB", "BBBB"} << 0 << TPoint{2, 1} << TPoint{1, 1} << 0;
        QTest::newRow("last empty cell, Blue wins")
            << QStringList{"BBBR", "BBBR", "BBBR", "BBB."} << 1 << TPoint{3, 4} << TPoint{4, 4} << 0;
    }

    void endingMovesComeBackWithTheirBoard()
    {
        QFETCH(QStringList, rows);
        QFETCH(int, player);
        QFETCH(TPoint, from);
        QFETCH(TPoint, to);
        QFETCH(int, fill);
        Game game;
        game.Load(rows, std::uint8_t(player));
        const TGamePosition before = PositionOf(game.State);

        game.Play({from, to});
        QCOMPARE(game.View.Waits.size(), std::size_t(fill));
        QCOMPARE(game.View.Restarts, 1);
        const TGamePosition newGame = PositionOf(game.State);
        QVERIFY(!game.History.LastMove());

        QVERIFY(game.History.Undo(game.State));
        ComparePosition(game.State, before);
        QCOMPARE(game.State.SelectedCell, (TPoint{1, 1}));
        QVERIFY(!game.History.CanUndo());
        // Redo brings back the new game as it was, not the ended board.
        QVERIFY(game.History.Redo(game.State));
        ComparePosition(game.State, newGame);
    }

    void theEndedGameLastsUntilTheNewGamesFirstMove()
    {
        Game game(3);
        game.NewBoard(4, 4);
        while (game.View.Restarts == 1)
            game.Play(game.RandomMove());
        QVERIFY(game.History.CanUndo());
        const TGamePosition newGame = PositionOf(game.State);

        game.Play(game.RandomMove());
        QVERIFY(game.History.Undo(game.State));
        ComparePosition(game.State, newGame);
        QVERIFY(!game.History.CanUndo());
    }

    void aMoveInTheEndedGameCarriesItOn()
    {
        Game game;
        game.Load({"R...", "B...", "....", "...."}, 0);
        game.Play({{1, 1}, {2, 1}}); // takes the last Blue piece
        QCOMPARE(game.View.Restarts, 1);
        QVERIFY(game.History.Undo(game.State));
        // Red plays differently, away from the Blue piece, and the game goes on.
        game.Play({{1, 1}, {3, 1}});
        QCOMPARE(game.View.Restarts, 1);
        QVERIFY(!game.History.CanRedo());
        QCOMPARE(game.History.Positions().size(), 2u);
        QVERIFY(game.History.LastMove() == (std::optional<TMove>{{{1, 1}, {3, 1}}}));
    }

    void aNewBoardWithoutAnEndForgetsTheGame()
    {
        Game game;
        game.NewBoard(6, 6);
        game.Play(game.RandomMove());
        game.Play(game.RandomMove());
        game.View.Restart(); // the Restart button, a new size
        QVERIFY(!game.History.CanUndo());
        QVERIFY(!game.History.CanRedo());
        QCOMPARE(game.History.Positions().size(), 1u);
    }

    void aBoardChangedBehindTheHistoryStartsItAfresh()
    {
        Game game;
        game.NewBoard(5, 5);
        game.Play(game.RandomMove());
        SetUpNewBoard(game.State, 0); // nobody told the history
        const TGamePosition fresh = PositionOf(game.State);
        game.Play({{1, 1}, {2, 1}});
        QVERIFY(game.History.Undo(game.State));
        ComparePosition(game.State, fresh);
        QVERIFY(!game.History.CanUndo());
    }

    void againstTheComputerUndoReturnsToThePlayer_data()
    {
        QTest::addColumn<int>("human");
        QTest::addColumn<int>("first");
        QTest::newRow("Red plays, Red begins") << 0 << 0;
        QTest::newRow("Red plays, computer begins") << 0 << 1;
        QTest::newRow("Blue plays, Blue begins") << 1 << 1;
        QTest::newRow("Blue plays, computer begins") << 1 << 0;
    }

    void againstTheComputerUndoReturnsToThePlayer()
    {
        QFETCH(int, human);
        QFETCH(int, first);
        const auto side = std::uint8_t(human);
        Game game(11);
        game.State.BoardWidth = game.State.BoardHeight = 7;
        game.View.Geometry = {7, 7, 20, 17};
        SetUpNewBoard(game.State, std::uint8_t(first));
        game.History.NewGame(game.State);
        if (first != human) {
            game.Play(game.RandomMove()); // the computer opens
            QVERIFY(!game.History.CanUndoUntil(side));
        }
        std::vector<TGamePosition> humanToPick{PositionOf(game.State)};
        for (int round = 0; round < 6; ++round) {
            game.Play(game.RandomMove());
            game.Play(game.RandomMove());
            humanToPick.push_back(PositionOf(game.State));
        }
        QCOMPARE(game.View.Restarts, 0);
        // While the computer thinks, the player's last move goes back.
        game.Play(game.RandomMove());
        QVERIFY(game.History.UndoUntil(game.State, side));
        ComparePosition(game.State, humanToPick.back());
        for (std::size_t index = humanToPick.size() - 1; index-- > 0;) {
            QVERIFY(game.History.UndoUntil(game.State, side));
            ComparePosition(game.State, humanToPick[index]);
        }
        QVERIFY(!game.History.UndoUntil(game.State, side));
        for (std::size_t index = 1; index < humanToPick.size(); ++index) {
            QVERIFY(game.History.RedoUntil(game.State, side));
            ComparePosition(game.State, humanToPick[index]);
        }
        // The newest position has the computer to pick: Redo goes there.
        QVERIFY(game.History.RedoUntil(game.State, side));
        QCOMPARE(game.State.CurrentPlayer, 1 - side);
        QVERIFY(!game.History.CanRedo());
    }

    void aPendingPickIsDroppedWithTheUndo()
    {
        Game game;
        game.Load({"R...", "....", "....", "...B"}, 0);
        const TGamePosition start = PositionOf(game.State);
        game.Play({{1, 1}, {2, 1}});
        game.Press({4, 4}); // Blue picks
        QCOMPARE(game.State.SelectionState, 1);
        QCOMPARE(PositionOf(game.State).CurrentPlayer, 1);
        QVERIFY(game.History.Undo(game.State));
        ComparePosition(game.State, start);
        QVERIFY(game.History.Redo(game.State));
        QCOMPARE(game.State.SelectedCell, (TPoint{1, 1}));
        QCOMPARE(game.State.CurrentPlayer, 1);
    }

    void theOldestMovesGiveWay()
    {
        // Two boards that differ only in the side to pick stand for a long
        // game of moves that change nothing else.
        TGameState red;
        red.BoardWidth = red.BoardHeight = 4;
        SetUpNewBoard(red, 0);
        TGameState blue = red;
        blue.CurrentPlayer = 1;
        TGameHistory history;
        history.NewGame(red);
        const std::size_t moves = TGameHistory::MaxMoves + 250;
        for (std::size_t move = 0; move < moves; ++move) {
            history.BeginMove(move % 2 ? blue : red, {{1, 1}, {1, 2}});
            history.EndMove(move % 2 ? red : blue);
        }
        QCOMPARE(history.Positions().size(), TGameHistory::MaxMoves + 1);
        TGameState state = red;
        std::size_t undone = 0;
        while (history.Undo(state))
            ++undone;
        QCOMPARE(undone, TGameHistory::MaxMoves);
        QCOMPARE(state.CurrentPlayer, moves % 2);
    }
};

QTEST_GUILESS_MAIN(GameHistoryTest)
#include "GameHistoryTest.moc"
