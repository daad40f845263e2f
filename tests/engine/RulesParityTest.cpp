// The engine's rules against the window's: the cells around each cell, the
// moves of random positions of every board size, the board after each move
// and how each move ends the game, played through TGameLogic::ResolveMove.
#include "engine/GameBridge.h"
#include "engine/Notation.h"
#include "tests/engine/ReferenceRules.h"

#include <QTest>

class RulesParityTest : public QObject {
    Q_OBJECT

private slots:
    void neighboursAndTwoStepCellsMatchBoardDistance()
    {
        for (int w = EngineMinSize; w <= EngineMaxSize; ++w) {
            for (int h = EngineMinSize; h <= EngineMaxSize; ++h) {
                const TGeometry& g = GeometryOf(w, h);
                const TBoardSize size{std::uint8_t(w), std::uint8_t(h)};
                QCOMPARE(g.Board.Count(), w * h);
                ForEachBit(g.Board, [&](int a) {
                    const TPoint from{g.Column[a], g.Row[a]};
                    QCOMPARE(g.Index(from.X, from.Y), a);
                    ForEachBit(g.Board, [&](int b) {
                        const std::int32_t distance = BoardDistance(size, from, {g.Column[b], g.Row[b]});
                        if (g.Near[a].Has(b) != (distance == 1) || g.Far[a].Has(b) != (distance == 2))
                            QFAIL(qPrintable(QString("%1x%2: cells %3 and %4, distance %5").arg(w).arg(h).arg(a).arg(b).arg(distance)));
                    });
                    // Growing one cell gives exactly its neighbours.
                    QCOMPARE(g.Grow(TMask::Bit(a)), g.Near[a]);
                });
            }
        }
    }

    void neighbourCountsMatchTheTables()
    {
        std::mt19937 random(7);
        for (int w = EngineMinSize; w <= EngineMaxSize; ++w) {
            for (int h = EngineMinSize; h <= EngineMaxSize; ++h) {
                const TGeometry& g = GeometryOf(w, h);
                for (int round = 0; round < 10; ++round) {
                    const TMask set = RandomPosition(random, w, h).Pieces[0];
                    TMask planes[3];
                    g.CountNeighbours(set, planes);
                    ForEachBit(g.Board, [&](int cell) {
                        const int count = planes[0].Has(cell) + 2 * planes[1].Has(cell) + 4 * planes[2].Has(cell);
                        QCOMPARE(count, (g.Near[cell] & set).Count());
                    });
                    QVERIFY((planes[0] | planes[1] | planes[2]) == ((planes[0] | planes[1] | planes[2]) & g.Board));
                }
            }
        }
    }

    void movesResultsAndGameEndsAgree_data()
    {
        QTest::addColumn<int>("width");
        for (int w = EngineMinSize; w <= EngineMaxSize; ++w)
            QTest::newRow(qPrintable(QString("width %1").arg(w))) << w;
    }

    void movesResultsAndGameEndsAgree()
    {
        QFETCH(int, width);
        std::mt19937 random{std::uint32_t(width)};
        int ends = 0;
        for (int height = EngineMinSize; height <= EngineMaxSize; ++height) {
            const TBoardSize size{std::uint8_t(width), std::uint8_t(height)};
            for (int round = 0; round < 30; ++round) {
                const TPosition position = RandomPosition(random, width, height);
                TGameBoard board;
                PositionToGame(position, board);
                QCOMPARE(PositionFromGame(board, size, position.Side), position);

                TMoveList list;
                position.GenerateMoves(list);
                std::set<TRuleMove> engine;
                for (const TEngineMove move : list) {
                    QVERIFY(position.IsLegal(move));
                    engine.insert(RuleMoveOf(position, move));
                }
                const TColor side = position.Side == RedSide ? clRed : clBlue;
                QCOMPARE(engine.size(), std::size_t(list.Count)); // no move twice
                QCOMPARE(list.Count, position.CountMoves());
                if (engine != ReferenceMoves(board, size, side))
                    QFAIL(qPrintable(QString::fromStdString("moves differ in " + FormatPosition(position))));
                QCOMPARE(position.CanMove(position.Side), list.Count > 0);

                // Every move of small boards, a sample of the others.
                const int step = std::max(1, list.Count / 8);
                for (int i = 0; i < list.Count; i += step) {
                    TPosition next = position;
                    next.Play(list[i]);
                    QCOMPARE(next.Hash, next.ComputeHash());
                    const TReferenceResult reference = ReferencePlay(board, size, position.Side, MoveToGame(position, list[i]));
                    const TResult outcome = next.Outcome();
                    if (outcome != ResultOf(reference))
                        QFAIL(qPrintable(QString::fromStdString("game end differs after " + FormatMove(position, list[i]) + " in "
                                                                + FormatPosition(position))));
                    if (outcome == TResult::None)
                        QCOMPARE(PositionFromGame(reference.Board, size, next.Side), next);
                    else
                        ++ends;
                }
            }
        }
        // The boards are drawn so that games end often enough to compare.
        QVERIFY(ends > 20);
    }

    void gameEndRules_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("move");
        QTest::addColumn<int>("result");
        // Exactly half each ends in a draw before anything else, one cell
        // still empty on an odd board.
        QTest::newRow("half each on 5x5") << "5x5 RR1RR/RRRRR/RRBBB/BBBBB/BBBB1 R" << "c1" << int(TResult::Draw);
        // A full even board split evenly without a fill is a draw too.
        QTest::newRow("full and even") << "4x4 RRRR/RRRR/BBBB/BBB1 B" << "d4" << int(TResult::Draw);
        // A tie made by the fill goes to Red, also when Blue moved and filled.
        QTest::newRow("fill tie, Blue moved") << "4x6 RRRR/RRRR/RRRR/BBBB/BBB1/4 B" << "d5" << int(TResult::RedWins);
        // The fill for the mover decides by count.
        QTest::newRow("fill, Blue larger") << "4x6 RRRR/RRRR/RRRB/BBBB/BBB1/4 B" << "d5" << int(TResult::BlueWins);
        // The opponent vanishes: the mover takes the board.
        QTest::newRow("last Blue piece turned") << "4x4 R3/1B2/4/4 R" << "b1" << int(TResult::RedWins);
        QTest::newRow("last Red piece turned by a jump") << "4x4 R3/4/1B2/4 B" << "b3-b1" << int(TResult::BlueWins);
        // The last empty cell taken with unequal counts: the larger side.
        QTest::newRow("last cell, Blue larger") << "5x5 RRRRR/RRRRR/BBBBB/BBBBB/BBBB1 B" << "e5" << int(TResult::BlueWins);
        QTest::newRow("game goes on") << "4x4 R3/4/4/3B R" << "a1-b1" << int(TResult::None);
    }

    void gameEndRules()
    {
        QFETCH(QString, before);
        QFETCH(QString, move);
        QFETCH(int, result);
        std::string error;
        const auto position = ParsePosition(before.toStdString(), error);
        QVERIFY2(position, error.c_str());
        const auto parsed = ParseMove(*position, move.toStdString(), error);
        QVERIFY2(parsed, error.c_str());
        TPosition next = *position;
        next.Play(*parsed);
        QCOMPARE(int(next.Outcome()), result);
        TGameBoard board;
        PositionToGame(*position, board);
        const TBoardSize size{std::uint8_t(position->Geo->Width), std::uint8_t(position->Geo->Height)};
        QCOMPARE(int(ResultOf(ReferencePlay(board, size, position->Side, MoveToGame(*position, *parsed)))), result);
    }
};

QTEST_GUILESS_MAIN(RulesParityTest)
#include "RulesParityTest.moc"
