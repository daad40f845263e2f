// Picking, moving and settling moves, driven on the logic alone.
#include "game/GameLogic.h"
#include "game/Moves.h"
#include "tests/TestSupport.h"
#include "tests/game/FakeGameView.h"

#include <QTest>

#include <random>

namespace {

struct Game {
    TGameState State;
    FakeGameView View{State};
    TGameLogic Logic{State, View};

    explicit Game(std::initializer_list<const char*> rows, std::uint8_t sound = 1)
    {
        LoadBoard(State, rows);
        View.Geometry = {State.BoardWidth, State.BoardHeight, 20, 17};
        State.SoundEnabled = sound;
        State.SelectedCell = {1, 1};
    }

    void Press(TPoint cell)
    {
        const TPoint pixel = View.PixelOf(cell);
        Logic.SelectHex(pixel.X, pixel.Y);
    }
    // Puts a piece of `side` in the selected state, as a pick would.
    void Select(TPoint cell)
    {
        State.CurrentPlayer = State.GameBoard[cell] == clRed ? 0 : 1;
        State.SelectionState = 0;
        Press(cell);
        View.Clear();
    }
};

} // namespace

class GameLogicTest : public QObject {
    Q_OBJECT

private slots:
    void pickHighlightsAndHandsTheTurnOver_data()
    {
        QTest::addColumn<TPoint>("piece");
        QTest::addColumn<TColor>("highlight");
        QTest::addColumn<int>("selection");
        QTest::addColumn<int>("playerAfter");
        QTest::newRow("Red") << TPoint{1, 1} << clFuchsia << 2 << 1;
        QTest::newRow("Blue") << TPoint{4, 4} << clAqua << 1 << 0;
    }

    void pickHighlightsAndHandsTheTurnOver()
    {
        QFETCH(TPoint, piece);
        QFETCH(TColor, highlight);
        QFETCH(int, selection);
        QFETCH(int, playerAfter);
        Game game({"R...", "....", "....", "...B"});
        game.State.CurrentPlayer = 1 - playerAfter;
        game.State.SelectedCell = {2, 3};
        const TGameBoard before = game.State.GameBoard;
        game.Press(piece);
        QCOMPARE(game.State.SelectionState, selection);
        QCOMPARE(game.State.CurrentPlayer, playerAfter);
        QCOMPARE(game.State.SelectedCell, piece);
        // The old selection is repainted in its own colour, then the pick highlighted.
        QCOMPARE(game.View.Paints, (std::vector<TPaint>{{{2, 3}, clGray}, {piece, highlight}}));
        QVERIFY(game.View.Effects.isEmpty());
        QCOMPARE(game.View.TurnUpdates, 0);
        QVERIFY(game.State.GameBoard == before);
    }

    void refusedPressesDingAndChangeNothing_data()
    {
        QTest::addColumn<int>("player");
        QTest::addColumn<TPoint>("selected"); // (0, 0): nothing selected
        QTest::addColumn<TPoint>("press");
        QTest::newRow("Red to pick, Blue piece") << 0 << TPoint{} << TPoint{4, 4};
        QTest::newRow("Red to pick, empty cell") << 0 << TPoint{} << TPoint{2, 1};
        QTest::newRow("Blue to pick, Red piece") << 1 << TPoint{} << TPoint{1, 1};
        QTest::newRow("Blue to pick, empty cell") << 1 << TPoint{} << TPoint{3, 3};
        QTest::newRow("Red selected, Blue piece") << 0 << TPoint{1, 1} << TPoint{4, 4};
        QTest::newRow("Red selected, distance 3") << 0 << TPoint{1, 1} << TPoint{4, 1};
        QTest::newRow("Blue selected, Red piece") << 1 << TPoint{4, 4} << TPoint{1, 1};
        QTest::newRow("Blue selected, distance 3") << 1 << TPoint{4, 4} << TPoint{1, 3};
    }

    void refusedPressesDingAndChangeNothing()
    {
        QFETCH(int, player);
        QFETCH(TPoint, selected);
        QFETCH(TPoint, press);
        for (const std::uint8_t sound : {1, 0}) {
            Game game({"R...", "....", "....", "...B"}, sound);
            game.State.CurrentPlayer = std::uint8_t(player);
            if (selected != TPoint{})
                game.Select(selected);
            const TGameState before = game.State;
            game.Press(press);
            QCOMPARE(game.View.Effects, sound ? QStringList{"ding.wav"} : QStringList{});
            QVERIFY(game.View.Paints.empty());
            QVERIFY(game.State.GameBoard == before.GameBoard);
            QCOMPARE(game.State.SelectionState, before.SelectionState);
            QCOMPARE(game.State.CurrentPlayer, before.CurrentPlayer);
            QCOMPARE(game.State.SelectedCell, before.SelectedCell);
        }
    }

    void pressesOutsideTheBoardAreIgnoredSilently()
    {
        Game game({"R...", "....", "....", "...B"});
        const TGameState before = game.State;
        for (const TPoint pixel : {TPoint{0, 0}, TPoint{3, 20}, TPoint{200, 20}, TPoint{20, 400}, TPoint{-5, -5}})
            game.Logic.SelectHex(pixel.X, pixel.Y);
        QVERIFY(game.View.Effects.isEmpty());
        QVERIFY(game.View.Paints.empty());
        QCOMPARE(game.State.SelectionState, before.SelectionState);
    }

    void changeOfPickKeepsTheTurn()
    {
        Game game({"RR..", "....", "....", "...B"});
        game.Select({1, 1});
        game.Press({2, 1});
        QCOMPARE(game.View.Paints, (std::vector<TPaint>{{{1, 1}, clRed}, {{2, 1}, clFuchsia}}));
        QCOMPARE(game.State.SelectedCell, (TPoint{2, 1}));
        QCOMPARE(game.State.CurrentPlayer, 1);
        QCOMPARE(game.State.SelectionState, 2);
        game.View.Clear();
        game.Press({2, 1}); // the same piece again: repainted, still selected
        QCOMPARE(game.View.Paints, (std::vector<TPaint>{{{2, 1}, clRed}, {{2, 1}, clFuchsia}}));
        QCOMPARE(game.State.SelectionState, 2);
        QVERIFY(game.View.Effects.isEmpty());
    }

    void copyAndJumpPaintPlayAndHandOver_data()
    {
        QTest::addColumn<TPoint>("target");
        QTest::addColumn<QString>("effect");
        QTest::addColumn<TColor>("originAfter");
        QTest::newRow("copy") << TPoint{2, 1} << "pop.wav" << clRed;
        QTest::newRow("jump") << TPoint{3, 2} << "laser.wav" << clGray;
    }

    void copyAndJumpPaintPlayAndHandOver()
    {
        QFETCH(TPoint, target);
        QFETCH(QString, effect);
        QFETCH(TColor, originAfter);
        Game game({"R....", ".....", ".....", ".....", "....B"});
        game.Select({1, 1});
        game.Press(target);
        QCOMPARE(game.State.GameBoard(1, 1), originAfter);
        QCOMPARE(game.State.GameBoard[target], clRed);
        QCOMPARE(game.View.Effects, QStringList{effect});
        std::vector<TPaint> expected{{{1, 1}, clRed}, {target, clRed}};
        if (originAfter == clGray)
            expected.push_back({{1, 1}, clGray});
        QCOMPARE(game.View.Paints, expected);
        QCOMPARE(game.State.SelectionState, 0);
        QCOMPARE(game.State.CurrentPlayer, 1); // Blue to pick
        QCOMPARE(game.State.SelectedCell, (TPoint{1, 1}));
        QCOMPARE(game.View.TurnUpdates, 1);
        QCOMPARE(game.View.RedScore, originAfter == clGray ? 1 : 2);
        QCOMPARE(game.View.BlueScore, 1);
        // Now only Blue may pick.
        game.View.Clear();
        game.Press(target);
        QCOMPARE(game.View.Effects, QStringList{"ding.wav"});
        game.Press({5, 5});
        QCOMPARE(game.State.SelectionState, 1);
    }

    void captureTurnsAllOpposingNeighboursWithOneExplosion()
    {
        Game game({"R.B..", ".BB..", ".....", ".....", "....B"});
        game.Select({1, 1});
        game.Press({2, 1}); // (2, 1) touches (3, 1), (2, 2) and (3, 2)
        QCOMPARE(game.View.Effects, (QStringList{"pop.wav", "explode.wav"}));
        for (const TPoint cell : {TPoint{3, 1}, TPoint{2, 2}, TPoint{3, 2}})
            QCOMPARE(game.State.GameBoard[cell], clRed);
        // Captured cells are painted in the order they are examined, after the move.
        const std::vector<TPaint> tail(game.View.Paints.end() - 3, game.View.Paints.end());
        QCOMPARE(tail, (std::vector<TPaint>{{{3, 1}, clRed}, {{2, 2}, clRed}, {{3, 2}, clRed}}));
        QCOMPARE(game.View.RedScore, 5);
        QCOMPARE(game.View.BlueScore, 1);
    }

    void moveWithoutCaptureDoesNotExplode()
    {
        Game game({"R....", ".....", ".....", ".....", "....B"});
        game.Select({1, 1});
        game.Press({1, 2});
        QCOMPARE(game.View.Effects, QStringList{"pop.wav"});
    }

    void cornerMoveTouchesOnlyCellsOnTheBoard()
    {
        Game game({"...B.", "...BR", "...BB", ".....", "....."});
        game.Select({5, 2});
        game.Press({5, 1}); // the top-right corner has two neighbours on the board
        QCOMPARE(game.State.GameBoard(5, 1), clRed);
        QCOMPARE(game.State.GameBoard(4, 1), clRed);
        QCOMPARE(game.State.GameBoard(4, 2), clBlue);
        QCOMPARE(game.State.GameBoard(4, 3), clBlue);
        QCOMPARE(game.View.Effects, (QStringList{"pop.wav", "explode.wav"}));
        QVERIFY(game.View.Podiums.empty());
    }

    void evenSplitIsADrawEvenWithEmptyCellsLeft_data()
    {
        QTest::addColumn<int>("size");
        QTest::newRow("10 x 10") << 10;
        QTest::newRow("5 x 5") << 5;
    }

    void evenSplitIsADrawEvenWithEmptyCellsLeft()
    {
        QFETCH(int, size);
        Game game({"R."});
        TGameState& state = game.State;
        state.BoardWidth = state.BoardHeight = std::uint8_t(size);
        state.TotalCells = std::uint8_t(size * size);
        state.HalfCells = state.TotalCells / 2;
        game.View.Geometry = {size, size, 20, 17};
        // Red fills the left columns but two cells, Blue the rest but what must stay empty.
        int red = 0, blue = 0;
        ForEachCell(state.Size(), [&](TPoint cell) {
            TColor& c = state.GameBoard[cell];
            if (red < state.HalfCells - 1 && cell != TPoint{1, 2}) {
                c = clRed;
                ++red;
            } else if (cell == TPoint{1, 2}) {
                c = clGray;
            } else if (blue < state.HalfCells) {
                c = clBlue;
                ++blue;
            } else {
                c = clGray;
            }
        });
        game.Select({1, 1});
        game.Press({1, 2});
        QCOMPARE(game.View.Podiums, std::vector<TPodiumOutcome>{poDraw});
        QCOMPARE(game.View.Restarts, 1);
        QVERIFY(game.View.Waits.empty());
    }

    void wipeOutFillsTheBoardWithLiveScores()
    {
        Game game({"R...", "B...", "....", "...."});
        game.Select({1, 1});
        game.Press({2, 1}); // captures the only Blue piece
        QCOMPARE(game.View.Podiums, std::vector<TPodiumOutcome>{poRedWon});
        QCOMPARE(game.View.Restarts, 1);
        // 16 cells: 3 Red after the capture, 13 filled, one pause and one pop each.
        QCOMPARE(game.View.Waits, std::vector<int>(13, 50));
        // One pace of 13 steps for the whole fill, each step after its cell,
        // the cells column by column.
        QCOMPARE(game.View.PaceSteps, std::vector<int>(13, 13));
        TPoint previous{0, 0};
        for (size_t i = 0; i < game.View.PaintsAtWait.size(); ++i) {
            const size_t painted = game.View.PaintsAtWait[i];
            if (i > 0)
                QCOMPARE(painted, game.View.PaintsAtWait[i - 1] + 1);
            const TPaint& paint = game.View.Paints[painted - 1];
            QCOMPARE(paint.Color, clRed);
            QVERIFY(paint.Cell.X > previous.X || (paint.Cell.X == previous.X && paint.Cell.Y > previous.Y));
            previous = paint.Cell;
        }
        QCOMPARE(game.View.Effects.count("pop.wav"), 1 + 13);
        QCOMPARE(game.View.Effects.count("explode.wav"), 1);
        std::vector<int> redScores;
        for (const auto& [side, count] : game.View.ScoreHistory)
            if (side == TSide::Red)
                redScores.push_back(count);
        std::vector<int> expected{3};
        for (int n = 4; n <= 16; ++n)
            expected.push_back(n);
        QCOMPARE(redScores, expected);
    }

    void blockedSideWithPiecesLeftLosesTheEmptyCells()
    {
        // Blue's one piece has every cell within two steps taken once Red moves.
        Game game({"BRR...", "RR....", "R.....", "......", "......", "......"});
        game.Select({3, 1});
        game.Press({3, 2});
        for (const TPaint& paint : game.View.Paints)
            QVERIFY(paint.Cell != (TPoint{1, 1}));
        QCOMPARE(game.View.Waits, std::vector<int>(36 - 1 - 6, 50));
        QCOMPARE(game.View.Podiums, std::vector<TPodiumOutcome>{poRedWon});
    }

    void tieAfterTheFillGoesToRed()
    {
        // Blue closes the last gap between the sides; Red cannot reach the two
        // empty columns, so Blue takes them and ends level at 20 each.
        Game game({"RRRRRBB...", "RRRRRBBB..", "RRRRRBBB..", "RRRRRBBB.."});
        game.Select({8, 2});
        game.Press({8, 1});
        QCOMPARE(game.View.Waits, std::vector<int>(8, 50));
        // The labels keep the real counts; the new game has replaced the board.
        QCOMPARE(game.View.RedScore, 20);
        QCOMPARE(game.View.BlueScore, 20);
        QCOMPARE(game.View.Podiums, std::vector<TPodiumOutcome>{poRedWon});
    }

    void lastEmptyCellFilledWithUnequalCountsEndsWithoutFill()
    {
        Game game({"RRRB", "RRRB", "RRRB", "RRR."});
        game.Select({3, 4});
        game.Press({4, 4});
        QVERIFY(game.View.Waits.empty());
        QCOMPARE(game.View.RedScore, 14);
        QCOMPARE(game.View.BlueScore, 2);
        QCOMPARE(game.View.Podiums, std::vector<TPodiumOutcome>{poRedWon});
    }

    void largerBlueSideWinsAFullBoard()
    {
        Game game({"BBBR", "BBBR", "BBBR", "BBB."});
        game.Select({3, 4});
        game.Press({4, 4});
        QCOMPARE(game.View.Podiums, std::vector<TPodiumOutcome>{poBlueWon});
        QCOMPARE(game.View.Restarts, 1);
    }

    void soundOffChangesNothingButTheSound()
    {
        auto play = [](std::uint8_t sound) {
            Game game({"R.....", "......", "......", "......", "......", ".....B"}, sound);
            std::mt19937 random(7);
            std::uniform_int_distribution<int> pick(1, 6);
            for (int i = 0; i < 400; ++i)
                game.Press({pick(random), pick(random)});
            return std::make_pair(game.State, game.View.Effects.size());
        };
        const auto [loud, loudEffects] = play(1);
        const auto [quiet, quietEffects] = play(0);
        QVERIFY(loud.GameBoard == quiet.GameBoard);
        QCOMPARE(loud.SelectionState, quiet.SelectionState);
        QCOMPARE(loud.CurrentPlayer, quiet.CurrentPlayer);
        QVERIFY(loudEffects > 0);
        QCOMPARE(quietEffects, qsizetype(0));
    }
};

QTEST_GUILESS_MAIN(GameLogicTest)
#include "GameLogicTest.moc"
