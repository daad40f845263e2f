// The board on a screen of device pixel ratio 2 (QT_SCALE_FACTOR=2): its
// picture has the screen's resolution, slanted outlines are stepped in the
// screen's pixels rather than enlarged, and no pixel of the picture or of
// a screenshot holds a colour the board does not use (nothing blended on
// the cell outlines).
#include "hexmap/Hexmap.h"

#include <QApplication>
#include <QSet>
#include <QTest>

namespace {

class PlainHexMap : public THexMap {
protected:
    int metric(QPaintDevice::PaintDeviceMetric metric) const override
    {
        if (metric == QPaintDevice::PdmDevicePixelRatio)
            return 1;
        if (metric == QPaintDevice::PdmDevicePixelRatioScaled)
            return int(QPaintDevice::devicePixelRatioFScale());
        return THexMap::metric(metric);
    }
};

void SetUp(THexMap& map, int columns, int rows, bool raised)
{
    map.SetHexColumns(columns);
    map.SetHexRows(rows);
    map.SetHexRadius(20);
    map.SetHex3d(raised);
    map.ColorHex(clRed, TBrushStyle::bsSolid, {1, 1});
    map.ColorHex(clBlue, TBrushStyle::bsSolid, {columns, rows});
    map.ColorHex(clFuchsia, TBrushStyle::bsSolid, {2, 2});
    map.ColorHex(clAqua, TBrushStyle::bsSolid, {3, 2});
}

QSet<QRgb> ColoursOf(const QImage& image)
{
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            colours.insert(image.pixel(x, y) | 0xff000000);
    return colours;
}

} // namespace

class HexmapHighDpiTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QCOMPARE(QWidget().devicePixelRatioF(), 2.0); }

    void boardIsSharp_data()
    {
        QTest::addColumn<int>("columns");
        QTest::addColumn<int>("rows");
        QTest::addColumn<bool>("raised");
        QTest::newRow("10 x 10 raised") << 10 << 10 << true;
        QTest::newRow("4 x 4 flat") << 4 << 4 << false;
        QTest::newRow("7 x 5 raised") << 7 << 5 << true;
    }

    void boardIsSharp()
    {
        QFETCH(int, columns);
        QFETCH(int, rows);
        QFETCH(bool, raised);
        THexMap dense;
        PlainHexMap plain;
        SetUp(dense, columns, rows, raised);
        SetUp(plain, columns, rows, raised);
        QCOMPARE(dense.size(), plain.size());
        const QImage& picture = dense.MapBitmap();
        QCOMPARE(picture.devicePixelRatio(), 2.0);
        QCOMPARE(picture.size(), plain.MapBitmap().size() * 2);
        QCOMPARE(plain.MapBitmap().devicePixelRatio(), 1.0);

        // Only the colours the ordinary picture has.
        const QSet<QRgb> palette = ColoursOf(plain.MapBitmap());
        QVERIFY(palette.size() <= 8);
        for (const QRgb colour : ColoursOf(picture))
            QVERIFY2(palette.contains(colour), qPrintable(QString::number(colour, 16)));

        // Drawn in device pixels, not the ordinary picture enlarged.
        const QImage enlarged = plain.MapBitmap().scaled(picture.size(), Qt::IgnoreAspectRatio, Qt::FastTransformation);
        QVERIFY(picture.convertToFormat(QImage::Format_RGB32) != enlarged.convertToFormat(QImage::Format_RGB32));

        // A cell keeps its colour where the game reads it.
        const TPoint centre = dense.ConvertPoint({1, 1}, cpCellToPixel);
        QCOMPARE(QRgbToColor(picture.pixel(2 * centre.X, 2 * centre.Y)), clRed);

        // The screenshot: the picture as the screen gets it (without the
        // keyboard cursor, which a window of its own would bring up).
        dense.setFocusPolicy(Qt::NoFocus);
        dense.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dense));
        const QImage shot = dense.grab().toImage();
        QCOMPARE(shot.devicePixelRatio(), 2.0);
        for (const QRgb colour : ColoursOf(shot))
            QVERIFY2(palette.contains(colour), qPrintable(QString::number(colour, 16)));
    }
};

int main(int argc, char** argv)
{
    // Before the application exists, as a user's environment would set it.
    qputenv("QT_SCALE_FACTOR", "2");
    QApplication app(argc, argv);
    HexmapHighDpiTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "HexmapHighDpiTest.moc"
