// The board model: neighbour tables at the edges, piece counting, sizes.
#include "game/GameState.h"
#include "tests/TestSupport.h"

#include <QTest>

#include <vector>

class GameStateTest : public QObject {
    Q_OBJECT

private slots:
    void neighboursAtEdgesFollowTableOrder_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<TPoint>("cell");
        QTest::addColumn<std::vector<TPoint>>("expected");
        QTest::newRow("top-left corner, odd column") << 10 << 10 << TPoint{1, 1}
                                                     << std::vector<TPoint>{{1, 2}, {2, 1}};
        QTest::newRow("top edge, even column") << 10 << 10 << TPoint{2, 1}
                                               << std::vector<TPoint>{{1, 1}, {3, 1}, {1, 2}, {2, 2}, {3, 2}};
        QTest::newRow("inside, odd column") << 10 << 10 << TPoint{3, 4}
                                            << std::vector<TPoint>{{2, 3}, {3, 3}, {4, 3}, {2, 4}, {3, 5}, {4, 4}};
        QTest::newRow("inside, even column") << 10 << 10 << TPoint{4, 4}
                                             << std::vector<TPoint>{{3, 4}, {4, 3}, {5, 4}, {3, 5}, {4, 5}, {5, 5}};
        QTest::newRow("bottom-right corner, even column") << 6 << 5 << TPoint{6, 5}
                                                          << std::vector<TPoint>{{5, 5}, {6, 4}};
        QTest::newRow("bottom-right corner, odd column") << 5 << 5 << TPoint{5, 5}
                                                         << std::vector<TPoint>{{4, 4}, {5, 4}, {4, 5}};
    }

    void neighboursAtEdgesFollowTableOrder()
    {
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(TPoint, cell);
        QFETCH(std::vector<TPoint>, expected);
        const TNeighbours neighbours = Neighbours({std::uint8_t(width), std::uint8_t(height)}, cell);
        QCOMPARE(std::vector<TPoint>(neighbours.begin(), neighbours.end()), expected);
    }

    void neighbourTablesMatchHexDistanceOne()
    {
        const THexGeometry geometry{10, 10, 20, 17};
        ForEachCell({10, 10}, [&](TPoint cell) {
            int adjacent = 0;
            ForEachCell({10, 10}, [&](TPoint other) { adjacent += geometry.HexDistance(cell, other) == 1; });
            const TNeighbours neighbours = Neighbours({10, 10}, cell);
            QCOMPARE(neighbours.Count, adjacent);
            for (const TPoint n : neighbours)
                QCOMPARE(geometry.HexDistance(cell, n), 1);
        });
    }

    void countPiecesCountsHighlightsForTheirSide()
    {
        TGameBoard board;
        board(1, 1) = clRed;
        board(2, 1) = clFuchsia;
        board(3, 3) = clBlue;
        board(4, 4) = clAqua;
        board(4, 5) = clAqua;
        board(10, 10) = clRed; // outside a 5 x 5 board: left over, never counted
        const TPieceCount count = CountPieces(board, {5, 5});
        QCOMPARE(count.Red, 2);
        QCOMPARE(count.Blue, 3);
    }

    void boardIsColumnMajorAndKeepsCellsOutsideTheBoardInUse()
    {
        TGameBoard board;
        board(7, 9) = clBlue;
        QCOMPARE(board[(TPoint{7, 9})], clBlue);
        std::vector<TPoint> order;
        ForEachCell({2, 3}, [&](TPoint cell) { order.push_back(cell); });
        QCOMPARE(order, (std::vector<TPoint>{{1, 1}, {1, 2}, {1, 3}, {2, 1}, {2, 2}, {2, 3}}));
    }

    void freshBoardCountsOneEach()
    {
        TGameState state;
        state.BoardWidth = 6;
        state.BoardHeight = 6;
        state.GameBoard(1, 1) = clRed;
        state.GameBoard(6, 6) = clBlue;
        const TPieceCount count = CountPieces(state.GameBoard, state.Size());
        QCOMPARE(count.Red, 1);
        QCOMPARE(count.Blue, 1);
        QVERIFY(state.OnBoard({6, 6}));
        QVERIFY(!state.OnBoard({7, 6}));
        QVERIFY(!state.OnBoard({0, 1}));
    }
};

QTEST_GUILESS_MAIN(GameStateTest)
#include "GameStateTest.moc"
