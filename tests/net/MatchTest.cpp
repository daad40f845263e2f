// The mirrored game: which moves it lets through, and that it settles moves
// and ends games exactly as the window's game logic does.
#include "game/GameLogic.h"
#include "net/Match.h"
#include "tests/TestSupport.h"
#include "tests/game/FakeGameView.h"

#include <QTest>

#include <random>

class MatchTest : public QObject {
    Q_OBJECT

private slots:
    void startPutsOnePieceInEachCorner()
    {
        TMatch match;
        match.Start({7, 5}, 1);
        QCOMPARE(match.Size().Width, 7);
        QCOMPARE(match.Size().Height, 5);
        QCOMPARE(match.SideToMove(), clBlue);
        QCOMPARE(match.Board()(1, 1), clRed);
        QCOMPARE(match.Board()(7, 5), clBlue);
        const TPieceCount count = CountPieces(match.Board(), match.Size());
        QCOMPARE(count.Red + count.Blue, 2);
        QVERIFY(!match.Over());
    }

    void movesAreChecked_data()
    {
        QTest::addColumn<TPoint>("from");
        QTest::addColumn<TPoint>("to");
        QTest::addColumn<bool>("byBlue");
        QTest::addColumn<TMoveCheck>("check");
        // A 5 x 5 board, Red to move: Red at (1, 1), Blue at (5, 5).
        QTest::newRow("copy") << TPoint{1, 1} << TPoint{2, 1} << false << TMoveCheck::Legal;
        QTest::newRow("jump") << TPoint{1, 1} << TPoint{1, 3} << false << TMoveCheck::Legal;
        QTest::newRow("Blue while Red is to move") << TPoint{5, 5} << TPoint{5, 4} << true << TMoveCheck::NotInTurn;
        QTest::newRow("three steps") << TPoint{1, 1} << TPoint{1, 4} << false << TMoveCheck::TooFar;
        QTest::newRow("onto itself") << TPoint{1, 1} << TPoint{1, 1} << false << TMoveCheck::TargetTaken;
        QTest::newRow("onto the opponent") << TPoint{1, 1} << TPoint{5, 5} << false << TMoveCheck::TargetTaken;
        QTest::newRow("from an empty cell") << TPoint{2, 2} << TPoint{2, 3} << false << TMoveCheck::NotOwnPiece;
        QTest::newRow("from the opponent's piece") << TPoint{5, 5} << TPoint{5, 4} << false
                                                   << TMoveCheck::NotOwnPiece;
        QTest::newRow("to column 6 of 5") << TPoint{5, 5} << TPoint{6, 5} << false << TMoveCheck::OffBoard;
        QTest::newRow("from row 0") << TPoint{1, 0} << TPoint{1, 1} << false << TMoveCheck::OffBoard;
        QTest::newRow("from far away") << TPoint{-100000, 7} << TPoint{1, 2} << false << TMoveCheck::OffBoard;
    }

    void movesAreChecked()
    {
        QFETCH(TPoint, from);
        QFETCH(TPoint, to);
        QFETCH(bool, byBlue);
        QFETCH(TMoveCheck, check);
        TMatch match;
        match.Start({5, 5}, 0);
        const TMatch before = match;
        QCOMPARE(match.Check({from, to}, byBlue ? clBlue : clRed), check);
        QCOMPARE(match.Board(), before.Board());
    }

    void finishedGameTakesNoMove()
    {
        TMatch match;
        match.Start({4, 4}, 0);
        // Red copies towards Blue's corner until the game is decided.
        std::mt19937 random(3);
        while (!match.Over()) {
            const auto moves = GenerateMoves(match.Board(), match.Size(), match.SideToMove());
            match.Play(moves[std::uniform_int_distribution<std::size_t>(0, moves.size() - 1)(random)]);
        }
        QCOMPARE(match.SideToMove(), clGray);
        QCOMPARE(match.Check({{1, 1}, {2, 1}}, clRed), TMoveCheck::GameOver);
        QCOMPARE(match.Check({{1, 1}, {2, 1}}, clBlue), TMoveCheck::GameOver);
    }

    void evenSplitIsADrawWithACellStillEmpty()
    {
        // 5 x 5, half is 12: Red copies into the top-left corner, captures
        // nothing and leaves 12 against 12 with (5, 5) still empty.
        TGameState state;
        LoadBoard(state, {".RRRR", "RRRRR", "RRBBB", "BBBBB", "BBBB."});
        TMatch match;
        match.SetPosition(state.GameBoard, state.Size(), clRed);
        QCOMPARE(match.Check({{2, 1}, {1, 1}}, clRed), TMoveCheck::Legal);
        match.Play({{2, 1}, {1, 1}});
        QVERIFY(match.Over());
        QCOMPARE(match.Outcome(), poDraw);
        QCOMPARE(match.Board()(5, 5), clGray);
    }

    void blockedSideLeavesTheRestToTheMover()
    {
        // Blue's pieces have no empty cell within two steps after Red's
        // move: Red takes every empty cell and wins on count.
        TGameState state;
        LoadBoard(state, {"BBRRR", "BBRRR", "RRRRR", "RRRRR", "RR..."});
        TMatch match;
        match.SetPosition(state.GameBoard, state.Size(), clRed);
        match.Play({{2, 5}, {3, 5}});
        QVERIFY(match.Over());
        QCOMPARE(match.Outcome(), poRedWon);
        const TPieceCount count = CountPieces(match.Board(), match.Size());
        QCOMPARE(count.Red, 21);
        QCOMPARE(count.Blue, 4);
    }

    void hashTellsBoardsAndTurnsApart()
    {
        TMatch a, b;
        a.Start({6, 6}, 0);
        b.Start({6, 6}, 0);
        QCOMPARE(a.Hash(), b.Hash());
        b.Start({6, 6}, 1);
        QVERIFY(a.Hash() != b.Hash());
        b.Start({6, 7}, 0);
        QVERIFY(a.Hash() != b.Hash());
        b.Start({6, 6}, 0);
        b.Play({{1, 1}, {2, 1}});
        a.Play({{1, 1}, {1, 2}});
        QVERIFY(a.Hash() != b.Hash());
        // Cells outside the board in use do not count.
        TGameBoard board = a.Board();
        board(10, 10) = clRed;
        QCOMPARE(BoardHash(board, a.Size(), a.SideToMove()), a.Hash());
    }

    void mirrorAgreesWithTheGameLogic_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<int>("games");
        QTest::newRow("4 x 4") << 4 << 4 << 40;
        QTest::newRow("5 x 5, odd cell count") << 5 << 5 << 40;
        QTest::newRow("7 x 4") << 7 << 4 << 20;
        QTest::newRow("10 x 10") << 10 << 10 << 4;
    }

    // Random games played through TGameLogic, with presses on the cells, and
    // on the mirror: after every move the boards agree, and both see the
    // game end at the same move with the same outcome.
    void mirrorAgreesWithTheGameLogic()
    {
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(int, games);
        std::mt19937 random(width * 100 + height);
        for (int game = 0; game < games; ++game) {
            TGameState state;
            state.BoardWidth = std::uint8_t(width);
            state.BoardHeight = std::uint8_t(height);
            const std::uint8_t first = std::uint8_t(random() % 2);
            SetUpNewBoard(state, first);
            FakeGameView view(state);
            TGameLogic logic(state, view);
            TMatch match;
            match.Start(state.Size(), first);
            while (!match.Over()) {
                const auto moves = GenerateMoves(match.Board(), match.Size(), match.SideToMove());
                QVERIFY(!moves.empty());
                const TMove move = moves[std::uniform_int_distribution<std::size_t>(0, moves.size() - 1)(random)];
                match.Play(move);
                const TPoint from = view.PixelOf(move.From), to = view.PixelOf(move.To);
                logic.SelectHex(from.X, from.Y);
                logic.SelectHex(to.X, to.Y);
                if (!view.Podiums.empty())
                    break;
                bool same = true;
                ForEachCell(match.Size(), [&](TPoint cell) { same &= state.GameBoard[cell] == match.Board()[cell]; });
                QVERIFY(same);
                QCOMPARE(state.CurrentPlayer, match.SideToMove() == clBlue ? 1 : 0);
            }
            QVERIFY(match.Over());
            QCOMPARE(view.Podiums.size(), std::size_t(1));
            QCOMPARE(view.Podiums.front(), match.Outcome());
        }
    }

};

QTEST_GUILESS_MAIN(MatchTest)
#include "MatchTest.moc"
