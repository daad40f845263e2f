// Grid arithmetic: cell centres, the pixel bands of the hit test with their
// half-to-even borders, and move distances.
#include "hexmap/HexGeometry.h"
#include "tests/TestSupport.h"

#include <QTest>

#include <algorithm>
#include <cstdlib>
#include <utility>
#include <vector>

namespace {

THexGeometry Grid(int columns, int rows, int radius)
{
    THexGeometry g;
    g.HexColumns = columns;
    g.HexRows = rows;
    g.HexRadius = radius;
    g.HexHalfHeight = HalfHeightOf(radius);
    return g;
}

struct Band {
    int index, first, last; // inclusive pixel range answering for `index`
};

// The main window's map, R = 20, H = 17, 10 x 10: bands as published for it.
const std::vector<Band> ColumnBands = {{1, 6, 34},    {2, 35, 65},    {3, 66, 94},    {4, 95, 125},
                                       {5, 126, 154}, {6, 155, 185},  {7, 186, 214},  {8, 215, 245},
                                       {9, 246, 274}, {10, 275, 305}};

// Rows 1-4 and 10 as listed; the rows between repeat with the period of two
// rows (68 pixels), odd rows losing both border pixels to the even ones.
std::vector<Band> RowBands(bool oddColumn)
{
    std::vector<Band> bands = oddColumn ? std::vector<Band>{{1, 1, 33}, {2, 34, 68}, {3, 69, 101}, {4, 102, 136}}
                                        : std::vector<Band>{{1, 18, 50}, {2, 51, 85}, {3, 86, 118}, {4, 119, 153}};
    for (int row = 5; row <= 9; ++row) {
        const Band& twoAbove = bands[row - 3];
        bands.push_back({row, twoAbove.first + 68, twoAbove.last + 68});
    }
    bands.push_back(oddColumn ? Band{10, 306, 340} : Band{10, 323, 357});
    return bands;
}

int BandOf(const std::vector<Band>& bands, int pixel)
{
    for (const Band& band : bands)
        if (pixel >= band.first && pixel <= band.last)
            return band.index;
    return 0;
}

// Points of a failure found inside a large loop.
QString Describe(const std::vector<TPoint>& points)
{
    QString text;
    for (const TPoint& p : points)
        text += QStringLiteral(" (%1, %2)").arg(p.X).arg(p.Y);
    return text;
}

// Shortest path length between cells, from the cells' heights in half cells.
int ClosedFormDistance(TPoint a, TPoint b)
{
    const auto v = [](TPoint p) { return 2 * p.Y - ((p.X & 1) ? 1 : 0); };
    const int dx = std::abs(a.X - b.X), dv = std::abs(v(a) - v(b));
    return dx + std::max(0, (dv - dx) / 2);
}

// The step walk from the lower cell up to the other, with its budget of
// one step per cell: the distance as first defined, inside and outside the
// grid alike.
int WalkDistance(const THexGeometry& g, TPoint a, TPoint b)
{
    if (a.X == b.X || a.Y == b.Y)
        return std::abs(a.X - b.X) + std::abs(a.Y - b.Y);
    const TPoint target = b.Y < a.Y ? b : a;
    TPoint current = b.Y < a.Y ? a : b;
    const int direction = target.X > current.X ? 1 : -1;
    int budget = g.HexColumns * g.HexRows, steps = 0;
    do {
        --budget;
        ++steps;
        if (current.X != target.X) {
            const bool odd = current.X & 1;
            current.X += direction;
            if (odd && current.Y != target.Y)
                --current.Y;
        } else if (current.Y != target.Y) {
            --current.Y;
        }
    } while (current != target && budget > 0);
    return steps;
}

} // namespace

class HexGeometryTest : public QObject {
    Q_OBJECT

private slots:
    void cellCentres_data()
    {
        QTest::addColumn<TPoint>("cell");
        QTest::addColumn<TPoint>("pixel");
        QTest::newRow("(1,1)") << TPoint{1, 1} << TPoint{20, 17};
        QTest::newRow("(2,1)") << TPoint{2, 1} << TPoint{50, 34};
        QTest::newRow("(3,4)") << TPoint{3, 4} << TPoint{80, 119};
        QTest::newRow("(1,10)") << TPoint{1, 10} << TPoint{20, 323};
        QTest::newRow("(10,10)") << TPoint{10, 10} << TPoint{290, 340};
        // No bounds check: outside cells convert by the same formulas.
        QTest::newRow("(0,0)") << TPoint{0, 0} << TPoint{-10, 0};
        QTest::newRow("(-1,2)") << TPoint{-1, 2} << TPoint{-40, 51};
    }
    void cellCentres()
    {
        QFETCH(TPoint, cell);
        QFETCH(TPoint, pixel);
        QCOMPARE(Grid(10, 10, 20).ConvertPoint(cell, cpCellToPixel), pixel);
    }

    void pixelBandsOfTheMainBoard()
    {
        // Every pixel around and inside the 310 x 357 map, so every border
        // pixel on both axes and both column parities is covered.
        const THexGeometry g = Grid(10, 10, 20);
        const std::vector<Band> oddRows = RowBands(true), evenRows = RowBands(false);
        for (int x = -40; x <= 340; ++x) {
            const int column = BandOf(ColumnBands, x);
            for (int y = -40; y <= 400; ++y) {
                const int row = column == 0 ? 0 : BandOf((column & 1) ? oddRows : evenRows, y);
                const TPoint expected = row == 0 ? TPoint{} : TPoint{column, row};
                const TPoint actual = g.ConvertPoint({x, y}, cpPixelToCell);
                if (actual != expected)
                    QFAIL(qPrintable(Describe({{x, y}, actual, expected})));
            }
        }
    }

    void edgePixels_data()
    {
        QTest::addColumn<TPoint>("pixel");
        QTest::addColumn<TPoint>("cell");
        QTest::newRow("origin") << TPoint{0, 0} << TPoint{0, 0};
        QTest::newRow("left of column 1") << TPoint{5, 20} << TPoint{0, 0};
        QTest::newRow("first of column 1") << TPoint{6, 20} << TPoint{1, 1};
        QTest::newRow("first of column 2") << TPoint{35, 20} << TPoint{2, 1};
        QTest::newRow("last of column 2") << TPoint{65, 20} << TPoint{2, 1};
        QTest::newRow("first of column 4") << TPoint{95, 20} << TPoint{4, 1};
        QTest::newRow("odd column, border rows 1|2") << TPoint{20, 34} << TPoint{1, 2};
        QTest::newRow("odd column, border rows 2|3") << TPoint{20, 68} << TPoint{1, 2};
        QTest::newRow("even column, above row 1") << TPoint{50, 17} << TPoint{0, 0};
        QTest::newRow("even column, top of row 1") << TPoint{50, 18} << TPoint{2, 1};
        QTest::newRow("bottom-right pixel") << TPoint{305, 357} << TPoint{10, 10};
        QTest::newRow("right of the grid") << TPoint{306, 20} << TPoint{0, 0};
        QTest::newRow("below odd column") << TPoint{20, 341} << TPoint{0, 0};
        QTest::newRow("column inside, row above") << TPoint{20, -30} << TPoint{0, 0};
        QTest::newRow("row inside, column left") << TPoint{-30, 100} << TPoint{0, 0};
        QTest::newRow("far away") << TPoint{1 << 30, -(1 << 30)} << TPoint{0, 0};
    }
    void edgePixels()
    {
        QFETCH(TPoint, pixel);
        QFETCH(TPoint, cell);
        QCOMPARE(Grid(10, 10, 20).ConvertPoint(pixel, cpPixelToCell), cell);
    }

    void everyCentreConvertsBackToItsCell()
    {
        for (const int radius : {2, 4, 20, 30})
            for (int columns = 4; columns <= 10; ++columns)
                for (int rows = 4; rows <= 10; ++rows) {
                    const THexGeometry g = Grid(columns, rows, radius);
                    for (int x = 1; x <= columns; ++x)
                        for (int y = 1; y <= rows; ++y) {
                            const TPoint centre = g.ConvertPoint({x, y}, cpCellToPixel);
                            QCOMPARE(g.ConvertPoint(centre, cpPixelToCell), (TPoint{x, y}));
                        }
                }
    }

    void listedDistances()
    {
        const struct {
            TPoint a, b;
            int distance;
        } pairs[] = {{{4, 4}, {4, 4}, 0},   {{1, 5}, {2, 5}, 1},   {{1, 5}, {2, 4}, 1},   {{2, 5}, {1, 5}, 1},
                     {{2, 5}, {1, 6}, 1},   {{2, 6}, {1, 6}, 1},   {{1, 5}, {2, 6}, 2},   {{2, 5}, {1, 4}, 2},
                     {{3, 3}, {5, 3}, 2},   {{1, 1}, {2, 2}, 2},   {{3, 5}, {4, 3}, 2},   {{1, 1}, {3, 2}, 2},
                     {{1, 1}, {3, 3}, 3},   {{1, 1}, {10, 10}, 14}, {{10, 1}, {1, 10}, 13}};
        const THexGeometry g = Grid(10, 10, 20);
        for (const auto& [a, b, distance] : pairs) {
            QCOMPARE(g.HexDistance(a, b), distance);
            QCOMPARE(g.HexDistance(b, a), distance);
        }
    }

    void distanceIsTheShortestPathInEveryGrid()
    {
        for (int columns = 4; columns <= 10; ++columns)
            for (int rows = 4; rows <= 10; ++rows) {
                const THexGeometry g = Grid(columns, rows, 20);
                for (int ax = 1; ax <= columns; ++ax)
                    for (int ay = 1; ay <= rows; ++ay)
                        for (int bx = 1; bx <= columns; ++bx)
                            for (int by = 1; by <= rows; ++by) {
                                const TPoint a{ax, ay}, b{bx, by};
                                const int distance = g.HexDistance(a, b);
                                if (distance != ClosedFormDistance(a, b) || distance != g.HexDistance(b, a))
                                    QFAIL(qPrintable(Describe({{columns, rows}, a, b})));
                            }
            }
    }

    // Inside the grid the distance comes from a formula, outside it from the
    // walk; both must give what the walk gives, also where one cell is in
    // the grid and the other just off it.
    void distanceAgreesWithTheWalk_data()
    {
        QTest::addColumn<int>("columns");
        QTest::addColumn<int>("rows");
        QTest::newRow("1 x 1") << 1 << 1;
        QTest::newRow("1 x 10") << 1 << 10;
        QTest::newRow("10 x 1") << 10 << 1;
        QTest::newRow("2 x 3") << 2 << 3;
        QTest::newRow("4 x 4") << 4 << 4;
        QTest::newRow("5 x 9") << 5 << 9;
        QTest::newRow("10 x 10") << 10 << 10;
        QTest::newRow("empty") << 0 << 6;
    }
    void distanceAgreesWithTheWalk()
    {
        QFETCH(int, columns);
        QFETCH(int, rows);
        const THexGeometry g = Grid(columns, rows, 20);
        for (int ax = -1; ax <= columns + 2; ++ax)
            for (int ay = -1; ay <= rows + 2; ++ay)
                for (int bx = -1; bx <= columns + 2; ++bx)
                    for (int by = -1; by <= rows + 2; ++by) {
                        const TPoint a{ax, ay}, b{bx, by};
                        if (g.HexDistance(a, b) != WalkDistance(g, a, b))
                            QFAIL(qPrintable(Describe({a, b}) + QStringLiteral(": %1 against the walk's %2")
                                                                   .arg(g.HexDistance(a, b))
                                                                   .arg(WalkDistance(g, a, b))));
                    }
    }

    void walkOutsideTheGrid()
    {
        const THexGeometry g = Grid(4, 4, 20);
        QCOMPARE(g.HexDistance({1, 1}, {30, 30}), 16); // saturates at the cell count
        QCOMPARE(g.HexDistance({30, 30}, {1, 1}), 16);
        QCOMPARE(g.HexDistance({1, 1}, {30, 1}), 29); // same row: counted without the walk
        for (int ax = -3; ax <= 9; ++ax)
            for (int ay = -3; ay <= 8; ++ay)
                for (int bx = -3; bx <= 9; ++bx)
                    for (int by = -3; by <= 8; ++by)
                        QCOMPARE(g.HexDistance({ax, ay}, {bx, by}), g.HexDistance({bx, by}, {ax, ay}));
    }

    void walkWithoutBudgetMakesOneStep()
    {
        for (const auto& [columns, rows] : {std::pair{0, 10}, std::pair{10, 0}, std::pair{-3, 4}}) {
            const THexGeometry g = Grid(columns, rows, 20);
            QCOMPARE(g.HexDistance({1, 1}, {5, 7}), 1);
            QCOMPARE(g.HexDistance({2, 2}, {3, 3}), 1);
            QCOMPARE(g.HexDistance({1, 1}, {1, 7}), 6);
        }
    }
};

QTEST_APPLESS_MAIN(HexGeometryTest)
#include "HexGeometryTest.moc"
