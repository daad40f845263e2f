// The hex map's picture read back as pixels: background and cell colours,
// outlines at the corners, the raised edges, recolouring, labels and the
// picture over a background image.
#include "hexmap/Hexmap.h"
#include "tests/TestSupport.h"

#include <QFontMetrics>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>

#include <array>
#include <cmath>

namespace {

// Exposes the corners the way a reader of the picture finds them.
struct Corners {
    QPoint TL, TR, RT, BR, BL, LT;
};

Corners CornersOf(const THexMap& map, TPoint cell)
{
    const TPoint c = map.ConvertPoint(cell, cpCellToPixel);
    const int r = map.HexRadius(), h = map.HexHalfHeight();
    return {{c.X - r / 2, c.Y - h}, {c.X + r / 2, c.Y - h}, {c.X + r, c.Y},
            {c.X + r / 2, c.Y + h}, {c.X - r / 2, c.Y + h}, {c.X - r, c.Y}};
}

TColor At(const THexMap& map, QPoint p)
{
    return QRgbToColor(map.MapBitmap().pixel(p));
}

// How far a pixel lies inside the ideal outline of a cell, in pixels
// (negative outside): the smaller of the vertical and horizontal margins.
double Inside(const THexMap& map, TPoint cell, QPoint p)
{
    const TPoint c = map.ConvertPoint(cell, cpCellToPixel);
    const double r = map.HexRadius(), h = map.HexHalfHeight();
    const double dx = std::abs(p.x() - c.X), dy = std::abs(p.y() - c.Y);
    return std::min(h - dy, r - r / 2 * dy / h - dx);
}

// Every pixel well inside a cell shows the cell colour and every pixel well
// outside all cells the background; the outlines in between are not judged.
QString CheckCellsAndBackground(const THexMap& map)
{
    const QImage& picture = map.MapBitmap();
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x) {
            double deepest = -1e9;
            for (int column = 1; column <= map.HexColumns(); ++column)
                for (int row = 1; row <= map.HexRows(); ++row)
                    deepest = std::max(deepest, Inside(map, {column, row}, {x, y}));
            const TColor actual = At(map, {x, y});
            if (deepest >= 3 && actual != map.HexColor())
                return QStringLiteral("pixel (%1, %2) inside a cell is %3").arg(x).arg(y).arg(actual, 6, 16);
            if (deepest <= -2 && actual != map.BackColor())
                return QStringLiteral("pixel (%1, %2) outside the cells is %3").arg(x).arg(y).arg(actual, 6, 16);
        }
    return {};
}

// The label as the default font draws it on a plain colour.
QImage ExpectedLabel(const QString& text, TColor background)
{
    const QFont font;
    const QFontMetrics metrics(font);
    QImage image(metrics.horizontalAdvance(text), metrics.height(), QImage::Format_RGB32);
    image.fill(ColorToQColor(background));
    QPainter painter(&image);
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(QPoint(0, metrics.ascent()), text);
    return image;
}

bool HasInk(const QImage& image, TColor background)
{
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (QRgbToColor(image.pixel(x, y)) != background)
                return true;
    return false;
}

QImage LabelArea(const THexMap& map, TPoint cell, const QSize& size)
{
    const TPoint c = map.ConvertPoint(cell, cpCellToPixel);
    return map.MapBitmap().copy(c.X - size.width() / 2, c.Y - size.height(), size.width(), size.height());
}

void MakeBoard(THexMap& map, int columns, int rows, int radius)
{
    map.SetHexColumns(columns);
    map.SetHexRows(rows);
    map.SetHexRadius(radius);
}

// Draws its whole picture when told to, as every property change once did.
class TBuiltAtOnce : public THexMap {
public:
    using THexMap::BuildImageMap;
    using THexMap::BuildPlainMap;
};

// Property changes written "Name=value", applied through the published names.
void Apply(THexMap& map, const QStringList& changes)
{
    for (const QString& change : changes) {
        const QStringList parts = change.split(QLatin1Char('='));
        if (!map.setProperty(parts[0].toLatin1().constData(), parts[1]))
            qFatal("cannot set %s", qPrintable(change));
    }
}

} // namespace

class HexmapRenderTest : public QObject {
    Q_OBJECT

private slots:
    // The picture is drawn when it is needed, not at each change: whenever
    // it is looked at, it must be the picture of the properties as they are
    // then, pixel for pixel, whether or not the control was on screen.
    void pictureFollowsTheLatestProperties_data()
    {
        QTest::addColumn<QStringList>("changes");
        QTest::addColumn<bool>("shown");
        const QList<std::pair<const char*, QStringList>> scripts = {
            {"main board in form order",
             {"UseSavedMap=false", "MapGridOn=true", "MapImageName=mapa.bmp", "NoMapImage=true", "HexColumns=10",
              "HexRows=10", "HexRadius=20", "HexShowLabels=false", "Hex3d=true", "HexColor=8421504",
              "BackColor=8421376", "LineColor=0", "Hex3d=false"}},
            {"settings preview", {"HexColumns=7", "HexRows=5", "HexRadius=4"}},
            {"there and back", {"HexColumns=5", "HexRadius=12", "HexColumns=8", "HexRadius=30"}},
            {"labels, flat, colours",
             {"HexShowLabels=true", "Hex3d=false", "HexColor=12632256", "LineColor=128", "BackColor=16777215"}},
            {"labels without grid", {"HexShowLabels=true", "MapGridOn=false", "HexRadius=21"}},
        };
        for (const auto& [name, changes] : scripts) {
            QTest::addRow("%s, hidden", name) << changes << false;
            QTest::addRow("%s, shown", name) << changes << true;
        }
    }
    void pictureFollowsTheLatestProperties()
    {
        QFETCH(QStringList, changes);
        QFETCH(bool, shown);
        QWidget window;
        window.resize(420, 480);
        auto* map = new THexMap(&window);
        if (shown) {
            window.show();
            QVERIFY(QTest::qWaitForWindowExposed(&window));
        }
        Apply(*map, changes);

        TBuiltAtOnce reference;
        Apply(reference, changes);
        reference.BuildPlainMap();
        QCOMPARE(map->size(), reference.size());
        QCOMPARE(map->MapBitmap(), reference.MapBitmap());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(map->grab().toImage().convertToFormat(QImage::Format_RGB32), reference.MapBitmap());
    }

    void pictureOverAnImageFollowsTheLatestProperties()
    {
        QTemporaryDir files;
        QImage image(200, 150, QImage::Format_RGB32);
        image.fill(QColor(200, 180, 40));
        const QString path = files.filePath(QStringLiteral("map.bmp"));
        QVERIFY(image.save(path, "BMP"));
        const QStringList changes = {"HexRadius=20", "MapImageName=" + path, "NoMapImage=false", "HexShowLabels=true",
                                     "LineColor=8388608"};
        THexMap map;
        Apply(map, changes);
        TBuiltAtOnce reference;
        Apply(reference, changes);
        reference.BuildImageMap();
        QCOMPARE(map.HexColumns(), reference.HexColumns());
        QCOMPARE(map.size(), QSize(200, 150));
        QCOMPARE(map.MapBitmap(), reference.MapBitmap());
    }

    // Freezing keeps the picture of the properties at that moment, even if
    // nobody had looked at it yet.
    void freezingKeepsThePictureNotYetDrawn()
    {
        THexMap map;
        Apply(map, {"HexColumns=5", "HexRows=4", "HexRadius=16"});
        map.SetUseSavedMap(true);
        Apply(map, {"HexColumns=7", "Hex3d=false"});
        map.SetUseSavedMap(false);

        TBuiltAtOnce reference;
        Apply(reference, {"HexColumns=5", "HexRows=4", "HexRadius=16"});
        reference.BuildPlainMap();
        QCOMPARE(map.HexColumns(), 7);
        QCOMPARE(map.size(), reference.size());
        QCOMPARE(map.MapBitmap(), reference.MapBitmap());
    }

    void cellsOnTheBackground_data()
    {
        QTest::addColumn<int>("columns");
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("radius");
        QTest::addColumn<bool>("raised");
        QTest::newRow("default 8 x 8, R 30") << 8 << 8 << 30 << true;
        QTest::newRow("board 10 x 10, R 20") << 10 << 10 << 20 << true;
        QTest::newRow("flat 4 x 7, R 20") << 4 << 7 << 20 << false;
        QTest::newRow("preview 10 x 10, R 4") << 10 << 10 << 4 << true;
        QTest::newRow("one cell, R 40") << 1 << 1 << 40 << true;
    }
    void cellsOnTheBackground()
    {
        QFETCH(int, columns);
        QFETCH(int, rows);
        QFETCH(int, radius);
        QFETCH(bool, raised);
        THexMap map;
        MakeBoard(map, columns, rows, radius);
        map.SetHex3d(raised);
        const QString failure = CheckCellsAndBackground(map);
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
    }

    void cornersCarryTheLineColour()
    {
        THexMap map;
        MakeBoard(map, 10, 10, 20);
        for (const bool raised : {true, false}) {
            map.SetLineColor(clNavy); // apart from the black of the raised edges
            map.SetHex3d(raised);
            const QRect picture = map.MapBitmap().rect();
            for (int column = 1; column <= 10; ++column)
                for (int row = 1; row <= 10; ++row) {
                    const Corners k = CornersOf(map, {column, row});
                    for (const QPoint& corner : {k.TL, k.TR, k.RT, k.BR, k.BL, k.LT})
                        if (picture.contains(corner))
                            QCOMPARE(At(map, corner), clNavy);
                }
        }
    }

    void raisedEdgesLieOnePixelInside_data()
    {
        QTest::addColumn<bool>("recoloured");
        QTest::newRow("as built") << false;
        QTest::newRow("recoloured") << true;
    }
    void raisedEdgesLieOnePixelInside()
    {
        QFETCH(bool, recoloured);
        THexMap map;
        MakeBoard(map, 10, 10, 20);
        for (const bool raised : {true, false}) {
            map.SetHex3d(raised);
            const TColor fill = recoloured ? clBlue : clGray;
            const TColor light = raised ? clWhite : fill, dark = raised ? clBlack : fill;
            for (const TPoint cell : {TPoint{1, 1}, TPoint{4, 5}, TPoint{7, 10}, TPoint{10, 3}}) {
                if (recoloured)
                    map.ColorHex(clBlue, TBrushStyle::bsSolid, cell);
                const Corners k = CornersOf(map, cell);
                QCOMPARE(At(map, k.BL + QPoint(1, -1)), light);
                QCOMPARE(At(map, k.LT + QPoint(1, 0)), light);
                QCOMPARE(At(map, k.TL + QPoint(1, 1)), light);
                QCOMPARE(At(map, k.TR + QPoint(-1, 1)), dark);
                QCOMPARE(At(map, k.RT + QPoint(-1, 0)), dark);
                QCOMPARE(At(map, k.BR + QPoint(-1, -1)), dark);
                for (int x = k.TL.x() + 1; x <= k.TR.x() - 2; ++x)
                    QCOMPARE(At(map, {x, k.TL.y() + 1}), light);
                for (int x = k.BL.x() + 2; x <= k.BR.x() - 1; ++x)
                    QCOMPARE(At(map, {x, k.BL.y() - 1}), dark);
                // Across the middle: one outline pixel at each corner, fill between.
                for (int x = k.LT.x() + 2; x <= k.RT.x() - 2; ++x)
                    QCOMPARE(At(map, {x, k.LT.y()}), fill);
                if (!raised) {
                    QCOMPARE(At(map, k.LT + QPoint(1, 0)), fill);
                    QCOMPARE(At(map, k.RT + QPoint(-1, 0)), fill);
                }
            }
        }
    }

    void colorHexChangesOnlyItsCell()
    {
        THexMap map;
        MakeBoard(map, 10, 10, 20);
        for (const TPoint cell : {TPoint{1, 1}, TPoint{2, 1}, TPoint{5, 6}, TPoint{10, 10}}) {
            const QImage before = map.MapBitmap();
            map.ColorHex(clRed, TBrushStyle::bsSolid, cell);
            QCOMPARE(At(map, QPoint(map.ConvertPoint(cell, cpCellToPixel).X, map.ConvertPoint(cell, cpCellToPixel).Y)),
                     clRed);
            int changed = 0;
            for (int y = 0; y < before.height(); ++y)
                for (int x = 0; x < before.width(); ++x)
                    if (before.pixel(x, y) != map.MapBitmap().pixel(x, y)) {
                        ++changed;
                        if (Inside(map, cell, {x, y}) < -1)
                            QFAIL(qPrintable(QStringLiteral("pixel (%1, %2) changed outside cell (%3, %4)")
                                                 .arg(x).arg(y).arg(cell.X).arg(cell.Y)));
                    }
            QVERIFY(changed > 100);
        }
    }

    void rebuildReturnsEveryCellToTheCellColour()
    {
        THexMap map;
        MakeBoard(map, 10, 10, 20);
        for (int column = 1; column <= 10; ++column)
            for (int row = 1; row <= 10; row += 2)
                map.ColorHex(column % 2 ? clRed : clBlue, TBrushStyle::bsSolid, {column, row});
        map.SetHexRows(9);
        const QString failure = CheckCellsAndBackground(map);
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
    }

    void labelsShowColumnAndRow_data()
    {
        QTest::addColumn<TPoint>("cell");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("grid");
        QTest::newRow("(1,1) on a cell") << TPoint{1, 1} << QStringLiteral("0101") << true;
        QTest::newRow("(3,5) on a cell") << TPoint{3, 5} << QStringLiteral("0305") << true;
        QTest::newRow("(8,8) on a cell") << TPoint{8, 8} << QStringLiteral("0808") << true;
        QTest::newRow("(2,7) without grid") << TPoint{2, 7} << QStringLiteral("0207") << false;
    }
    void labelsShowColumnAndRow()
    {
        QFETCH(TPoint, cell);
        QFETCH(QString, text);
        QFETCH(bool, grid);
        THexMap map;
        map.SetMapGridOn(grid);
        map.SetHexShowLabels(true);
        const QImage expected = ExpectedLabel(text, grid ? clGray : clTeal);
        QVERIFY(HasInk(expected, grid ? clGray : clTeal));
        QCOMPARE(LabelArea(map, cell, expected.size()), expected);

        map.SetHexShowLabels(false);
        QVERIFY(LabelArea(map, cell, expected.size()) != expected);
    }

    void recolouredCellLosesItsLabel()
    {
        THexMap map;
        map.SetHexShowLabels(true);
        const QImage label = ExpectedLabel(QStringLiteral("0404"), clGray);
        map.ColorHex(clRed, TBrushStyle::bsSolid, {4, 4});
        QImage plainRed(label.size(), QImage::Format_RGB32);
        plainRed.fill(ColorToQColor(clRed));
        QCOMPARE(LabelArea(map, {4, 4}, label.size()), plainRed);
        // The neighbours keep theirs.
        QCOMPARE(LabelArea(map, {4, 5}, label.size()), ExpectedLabel(QStringLiteral("0405"), clGray));
    }

    void outlinesOverTheBackgroundImage()
    {
        QTemporaryDir dir;
        const TColor imageColour = RGBToColor(30, 160, 90);
        QImage image(310, 357, QImage::Format_RGB32);
        image.fill(ColorToQColor(imageColour));
        const QString path = dir.filePath("map.bmp");
        QVERIFY(image.save(path, "BMP"));

        THexMap map;
        map.SetHexRadius(20);
        map.SetHex3d(false);
        map.SetMapImageName(path);
        map.SetNoMapImage(false);
        QCOMPARE(map.HexColumns(), 10);
        QCOMPARE(map.HexRows(), 10);

        for (int column = 1; column <= 10; ++column)
            for (int row = 1; row <= 10; ++row) {
                const Corners k = CornersOf(map, {column, row});
                const TPoint c = map.ConvertPoint({column, row}, cpCellToPixel);
                QCOMPARE(At(map, {c.X, c.Y}), imageColour); // outlined, not filled
                for (const QPoint& corner : {k.TL, k.TR, k.RT, k.BR, k.BL})
                    if (map.MapBitmap().rect().contains(corner))
                        QCOMPARE(At(map, corner), clBlack);
                // The upper-left edge: drawn by no cell in column 1, by the
                // upper-left neighbour elsewhere (from row 2 on in odd columns).
                int linePixels = 0;
                for (int y = k.TL.y() + 1; y < k.LT.y(); ++y)
                    for (int x = k.LT.x(); x <= k.TL.x(); ++x)
                        linePixels += At(map, {x, y}) == clBlack;
                if (column == 1)
                    QCOMPARE(linePixels, 0);
                else if (column % 2 == 0 || row > 1)
                    QVERIFY(linePixels >= k.LT.y() - k.TL.y() - 1);
            }
        for (int y = 0; y < 357; ++y)
            for (int x = 0; x < 310; ++x)
                QVERIFY(At(map, {x, y}) != clTeal);

        // Raised edges are drawn over the image as well.
        map.SetHex3d(true);
        const Corners k = CornersOf(map, {4, 4});
        QCOMPARE(At(map, k.TL + QPoint(1, 1)), clWhite);
        QCOMPARE(At(map, k.RT + QPoint(-1, 0)), clBlack);
    }
};

QTEST_MAIN(HexmapRenderTest)
#include "HexmapRenderTest.moc"
