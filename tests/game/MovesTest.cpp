// The rules on board values: reachable cells, captures, mobility, moves.
#include "game/Moves.h"
#include "tests/TestSupport.h"
#include "tests/game/FakeGameView.h"

#include <QTest>

#include <algorithm>
#include <set>

namespace {

std::set<std::pair<int, int>> TargetsOf(const std::vector<TMove>& moves, TPoint from, TBoardSize size, TMoveKind kind)
{
    std::set<std::pair<int, int>> targets;
    for (const TMove& move : moves)
        if (move.From == from && MoveKindOf(BoardDistance(size, move.From, move.To)) == kind)
            targets.insert({move.To.X, move.To.Y});
    return targets;
}

} // namespace

class MovesTest : public QObject {
    Q_OBJECT

private slots:
    void reachableCellsFromCornerAndMiddle_data()
    {
        QTest::addColumn<TPoint>("from");
        QTest::addColumn<QList<TPoint>>("copies");
        QTest::addColumn<QList<TPoint>>("jumps");
        QTest::newRow("(1, 1)") << TPoint{1, 1} << QList<TPoint>{{2, 1}, {1, 2}}
                                << QList<TPoint>{{3, 1}, {3, 2}, {2, 2}, {1, 3}};
        QTest::newRow("(4, 4)") << TPoint{4, 4}
                                << QList<TPoint>{{3, 4}, {3, 5}, {4, 3}, {4, 5}, {5, 4}, {5, 5}}
                                << QList<TPoint>{{2, 3}, {2, 4}, {2, 5}, {3, 3}, {3, 6}, {4, 2},
                                                 {4, 6}, {5, 3}, {5, 6}, {6, 3}, {6, 4}, {6, 5}};
    }

    void reachableCellsFromCornerAndMiddle()
    {
        QFETCH(TPoint, from);
        QFETCH(QList<TPoint>, copies);
        QFETCH(QList<TPoint>, jumps);
        TGameBoard board;
        const TBoardSize size{10, 10};
        ForEachCell(size, [&](TPoint cell) { board[cell] = clGray; });
        board[from] = clRed;
        const auto moves = GenerateMoves(board, size, clRed);
        auto asSet = [](const QList<TPoint>& cells) {
            std::set<std::pair<int, int>> set;
            for (const TPoint cell : cells)
                set.insert({cell.X, cell.Y});
            return set;
        };
        QCOMPARE(TargetsOf(moves, from, size, TMoveKind::Copy), asSet(copies));
        QCOMPARE(TargetsOf(moves, from, size, TMoveKind::Jump), asSet(jumps));
        QCOMPARE(moves.size(), size_t(copies.size() + jumps.size()));

        // The marks after a pick name the same cells; taken cells drop out.
        const TMoveTargets targets = MoveTargets(board, size, from);
        QCOMPARE(asSet(QList<TPoint>(targets.Copies.begin(), targets.Copies.end())), asSet(copies));
        QCOMPARE(asSet(QList<TPoint>(targets.Jumps.begin(), targets.Jumps.end())), asSet(jumps));
        board[copies.front()] = clBlue;
        board[jumps.back()] = clRed;
        const TMoveTargets fewer = MoveTargets(board, size, from);
        QCOMPARE(fewer.Copies.size(), size_t(copies.size() - 1));
        QCOMPARE(fewer.Jumps.size(), size_t(jumps.size() - 1));
        QVERIFY(std::find(fewer.Copies.begin(), fewer.Copies.end(), copies.front()) == fewer.Copies.end());
        QVERIFY(std::find(fewer.Jumps.begin(), fewer.Jumps.end(), jumps.back()) == fewer.Jumps.end());
    }

    void jumpIgnoresWhatStandsBetween()
    {
        TGameState state;
        LoadBoard(state, {"RB..", "BB..", "....", "...."});
        const auto moves = GenerateMoves(state.GameBoard, state.Size(), clRed);
        QCOMPARE(moves, (std::vector<TMove>{{{1, 1}, {1, 3}}, {{1, 1}, {3, 1}}, {{1, 1}, {3, 2}}}));
    }

    void capturesFollowTableOrderForBothParities_data()
    {
        QTest::addColumn<TPoint>("target");
        QTest::addColumn<QList<TPoint>>("order");
        QTest::newRow("odd column") << TPoint{3, 4}
                                    << QList<TPoint>{{2, 3}, {3, 3}, {4, 3}, {2, 4}, {3, 5}, {4, 4}};
        QTest::newRow("even column") << TPoint{4, 4}
                                     << QList<TPoint>{{3, 4}, {4, 3}, {5, 4}, {3, 5}, {4, 5}, {5, 5}};
    }

    void capturesFollowTableOrderForBothParities()
    {
        QFETCH(TPoint, target);
        QFETCH(QList<TPoint>, order);
        TGameBoard board;
        const TBoardSize size{10, 10};
        ForEachCell(size, [&](TPoint cell) { board[cell] = clBlue; });
        board[target] = clRed;
        const TNeighbours captures = FindCaptures(board, size, target, clRed);
        QCOMPARE(QList<TPoint>(captures.begin(), captures.end()), order);
    }

    void applyMoveCopiesJumpsAndCaptures()
    {
        TGameState state;
        LoadBoard(state, {"R.B.", "..B.", "....", "...B"});
        TGameBoard board = state.GameBoard;
        QCOMPARE(ApplyMove(board, state.Size(), {{1, 1}, {2, 1}}, clRed), TMoveKind::Copy);
        QCOMPARE(board(1, 1), clRed);
        QCOMPARE(board(2, 1), clRed);
        QCOMPARE(board(3, 1), clRed);
        QCOMPARE(board(3, 2), clRed);
        QCOMPARE(board(4, 4), clBlue);

        board = state.GameBoard;
        QCOMPARE(ApplyMove(board, state.Size(), {{1, 1}, {2, 2}}, clRed), TMoveKind::Jump);
        QCOMPARE(board(1, 1), clGray);
        QCOMPARE(board(2, 2), clRed);
        QCOMPARE(board(3, 2), clRed);
        QCOMPARE(board(3, 1), clBlue);
        QCOMPARE(board(4, 4), clBlue);
    }

    void mobilityNeedsAnEmptyCellWithinTwoSteps()
    {
        TGameState state;
        LoadBoard(state, {"BB..", "BB..", "RRRR", "RRRR"});
        QVERIFY(CanMove(state.GameBoard, state.Size(), clBlue));
        LoadBoard(state, {"BBRRR", "BBRRR", "RRRRR", "RRRRR", "RRR.."});
        QVERIFY(!CanMove(state.GameBoard, state.Size(), clBlue));
        QVERIFY(CanMove(state.GameBoard, state.Size(), clRed));
        LoadBoard(state, {"RRRR", "RRRR", "RRRR", "RRR."});
        QVERIFY(!CanMove(state.GameBoard, state.Size(), clBlue)); // no pieces at all
    }
};

QTEST_GUILESS_MAIN(MovesTest)
#include "MovesTest.moc"
