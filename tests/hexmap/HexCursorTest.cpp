// The keyboard cursor over every cell of the smallest, the largest and some
// lopsided boards: one step is one neighbour, every cell can be reached.
#include "hexmap/HexCursor.h"
#include "tests/TestSupport.h"

#include <QTest>

#include <deque>
#include <set>
#include <utility>

namespace {

constexpr TCursorStep Arrows[] = {TCursorStep::Left, TCursorStep::Right, TCursorStep::Up, TCursorStep::Down};

THexGeometry Grid(int columns, int rows)
{
    return {columns, rows, 20, HalfHeightOf(20)};
}

// Where a step cannot go at all, the cursor stays.
bool AtEdge(TPoint cell, TCursorStep step, int columns, int rows)
{
    switch (step) {
    case TCursorStep::Left:
        return cell.X == 1;
    case TCursorStep::Right:
        return cell.X == columns;
    case TCursorStep::Up:
        return cell.Y == 1;
    case TCursorStep::Down:
        return cell.Y == rows;
    default:
        return false;
    }
}

void AddBoards()
{
    QTest::addColumn<int>("columns");
    QTest::addColumn<int>("rows");
    QTest::newRow("4 x 4") << 4 << 4;
    QTest::newRow("10 x 10") << 10 << 10;
    QTest::newRow("4 x 10") << 4 << 10;
    QTest::newRow("10 x 4") << 10 << 4;
    QTest::newRow("5 x 7, odd last column") << 5 << 7;
}

TCursorStep Opposite(TCursorStep step)
{
    switch (step) {
    case TCursorStep::Left:
        return TCursorStep::Right;
    case TCursorStep::Right:
        return TCursorStep::Left;
    case TCursorStep::Up:
        return TCursorStep::Down;
    default:
        return TCursorStep::Up;
    }
}

} // namespace

class HexCursorTest : public QObject {
    Q_OBJECT

private slots:
    void arrowsStepToANeighbourAndBack_data() { AddBoards(); }

    void arrowsStepToANeighbourAndBack()
    {
        QFETCH(int, columns);
        QFETCH(int, rows);
        const THexGeometry grid = Grid(columns, rows);
        for (int column = 1; column <= columns; ++column)
            for (int row = 1; row <= rows; ++row)
                for (const TCursorStep step : Arrows) {
                    const TPoint cell{column, row};
                    const TPoint next = StepCursor(cell, step, columns, rows);
                    const QByteArray where = QByteArray::number(cell.X) + "," + QByteArray::number(cell.Y) + " -> " +
                                             QByteArray::number(next.X) + "," + QByteArray::number(next.Y);
                    if (AtEdge(cell, step, columns, rows)) {
                        QVERIFY2(next == cell, where.constData());
                        continue;
                    }
                    QVERIFY2(grid.HexDistance(cell, next) == 1, where.constData());
                    const bool sideways = step == TCursorStep::Left || step == TCursorStep::Right;
                    // Sideways changes the column only, up and down the row only.
                    QVERIFY2((next.X != cell.X) == sideways && (next.Y != cell.Y) == !sideways, where.constData());
                    QVERIFY2(StepCursor(next, Opposite(step), columns, rows) == cell, where.constData());
                }
    }

    void everyCellIsReachable_data() { AddBoards(); }

    void everyCellIsReachable()
    {
        QFETCH(int, columns);
        QFETCH(int, rows);
        // From the corner the first game's Red piece stands in, and from
        // the opposite one.
        for (const TPoint start : {TPoint{1, 1}, TPoint{columns, rows}}) {
            std::set<std::pair<int, int>> seen{{start.X, start.Y}};
            std::deque<TPoint> queue{start};
            while (!queue.empty()) {
                const TPoint cell = queue.front();
                queue.pop_front();
                for (const TCursorStep step : Arrows) {
                    const TPoint next = StepCursor(cell, step, columns, rows);
                    if (seen.insert({next.X, next.Y}).second)
                        queue.push_back(next);
                }
            }
            QCOMPARE(int(seen.size()), columns * rows);
        }
    }

    void homeAndEndGoToTheColumnEnds_data() { AddBoards(); }

    void homeAndEndGoToTheColumnEnds()
    {
        QFETCH(int, columns);
        QFETCH(int, rows);
        for (int column = 1; column <= columns; ++column)
            for (int row = 1; row <= rows; ++row) {
                QCOMPARE(StepCursor({column, row}, TCursorStep::ColumnTop, columns, rows), (TPoint{column, 1}));
                QCOMPARE(StepCursor({column, row}, TCursorStep::ColumnBottom, columns, rows), (TPoint{column, rows}));
            }
    }

    void aCursorOffTheGridComesBack_data()
    {
        QTest::addColumn<TPoint>("cell");
        QTest::addColumn<int>("columns");
        QTest::addColumn<int>("rows");
        QTest::addColumn<TPoint>("clamped");
        QTest::addColumn<TPoint>("afterDown");
        QTest::newRow("never placed") << TPoint{0, 0} << 10 << 10 << TPoint{1, 1} << TPoint{1, 2};
        QTest::newRow("board shrank under it") << TPoint{9, 8} << 4 << 6 << TPoint{4, 6} << TPoint{4, 6};
        QTest::newRow("right of the grid") << TPoint{12, 3} << 10 << 10 << TPoint{10, 3} << TPoint{10, 4};
        QTest::newRow("negative") << TPoint{-3, -7} << 4 << 4 << TPoint{1, 1} << TPoint{1, 2};
        QTest::newRow("empty grid") << TPoint{2, 2} << 0 << 0 << TPoint{1, 1} << TPoint{1, 1};
    }

    void aCursorOffTheGridComesBack()
    {
        QFETCH(TPoint, cell);
        QFETCH(int, columns);
        QFETCH(int, rows);
        QFETCH(TPoint, clamped);
        QFETCH(TPoint, afterDown);
        QCOMPARE(ClampToGrid(cell, columns, rows), clamped);
        QCOMPARE(StepCursor(cell, TCursorStep::Down, columns, rows), afterDown);
    }

    void keysNameTheirSteps_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("step"); // -1: no step
        QTest::newRow("left") << int(Qt::Key_Left) << int(TCursorStep::Left);
        QTest::newRow("right") << int(Qt::Key_Right) << int(TCursorStep::Right);
        QTest::newRow("up") << int(Qt::Key_Up) << int(TCursorStep::Up);
        QTest::newRow("down") << int(Qt::Key_Down) << int(TCursorStep::Down);
        QTest::newRow("home") << int(Qt::Key_Home) << int(TCursorStep::ColumnTop);
        QTest::newRow("end") << int(Qt::Key_End) << int(TCursorStep::ColumnBottom);
        QTest::newRow("space presses, it does not step") << int(Qt::Key_Space) << -1;
        QTest::newRow("page down") << int(Qt::Key_PageDown) << -1;
        QTest::newRow("tab") << int(Qt::Key_Tab) << -1;
    }

    void keysNameTheirSteps()
    {
        QFETCH(int, key);
        QFETCH(int, step);
        const std::optional<TCursorStep> named = CursorStepOfKey(key);
        QCOMPARE(named.has_value(), step >= 0);
        if (named)
            QCOMPARE(int(*named), step);
    }
};

QTEST_GUILESS_MAIN(HexCursorTest)
#include "HexCursorTest.moc"
