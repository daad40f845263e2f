// The canvas: lines that keep their start pixel and leave out their end,
// open and closed outlines, fills with exclusive right and bottom edges,
// opaque text and bevel frames.
#include "shell/Canvas.h"

#include <QTest>

#include <cmath>
#include <cstdlib>

namespace {

QImage Blank(int width, int height, TColor colour = clWhite)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(ColorToQColor(colour));
    return image;
}

// An image of `width` x `height` logical pixels at a device pixel ratio.
QImage Scaled(int width, int height, qreal ratio, TColor colour = clWhite)
{
    QImage image(QSizeF(width * ratio, height * ratio).toSize(), QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    image.fill(ColorToQColor(colour));
    return image;
}

// The same picture at ratio 1 and at `ratio`.
template <typename Draw>
std::pair<QImage, QImage> DrawTwice(int width, int height, qreal ratio, Draw draw)
{
    QImage plain = Blank(width, height), scaled = Scaled(width, height, ratio);
    TCanvas plainCanvas(plain), scaledCanvas(scaled);
    draw(plainCanvas);
    draw(scaledCanvas);
    return {plain, scaled};
}

int CountColour(const QImage& image, TColor colour)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += QRgbToColor(image.pixel(x, y)) == colour;
    return count;
}

} // namespace

class CanvasTest : public QObject {
    Q_OBJECT

private slots:
    void lineLeavesOutItsEndPixel_data()
    {
        QTest::addColumn<QPoint>("from");
        QTest::addColumn<QPoint>("to");
        const QPoint centre(20, 20);
        for (const QPoint offset : {QPoint(9, 0), QPoint(-9, 0), QPoint(0, 7), QPoint(0, -7), QPoint(6, 6),
                                    QPoint(-6, 6), QPoint(10, 3), QPoint(-3, -10), QPoint(10, -17), QPoint(1, 1)})
            QTest::addRow("(%d,%d)", offset.x(), offset.y()) << centre << centre + offset;
    }
    void lineLeavesOutItsEndPixel()
    {
        QFETCH(QPoint, from);
        QFETCH(QPoint, to);
        QImage image = Blank(41, 41);
        TCanvas canvas(image);
        canvas.Pen.Color = clRed;
        canvas.MoveTo(from.x(), from.y());
        canvas.LineTo(to.x(), to.y());
        QCOMPARE(canvas.PenPos(), to);

        // One pixel per step along the major axis, start included, end not,
        // each within half a pixel of the ideal line.
        const int dx = to.x() - from.x(), dy = to.y() - from.y();
        const bool xMajor = std::abs(dx) >= std::abs(dy);
        const int steps = std::max(std::abs(dx), std::abs(dy));
        QCOMPARE(CountColour(image, clRed), steps);
        QCOMPARE(canvas.Pixel(from.x(), from.y()), clRed);
        QCOMPARE(canvas.Pixel(to.x(), to.y()), clWhite);
        for (int i = 0; i < steps; ++i) {
            int found = 0;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x) {
                    if (canvas.Pixel(x, y) != clRed)
                        continue;
                    const int along = xMajor ? (x - from.x()) * (dx > 0 ? 1 : -1) : (y - from.y()) * (dy > 0 ? 1 : -1);
                    if (along != i)
                        continue;
                    ++found;
                    const double ideal = xMajor ? from.y() + double(dy) * i / steps : from.x() + double(dx) * i / steps;
                    QVERIFY(std::abs((xMajor ? y : x) - ideal) <= 0.5);
                }
            QCOMPARE(found, 1);
        }
    }

    void linesLeavingTheImageAreClipped()
    {
        QImage image = Blank(10, 10);
        TCanvas canvas(image);
        canvas.Pen.Color = clBlue;
        canvas.MoveTo(-20, 5);
        canvas.LineTo(30, 5);
        QCOMPARE(CountColour(image, clBlue), 10);
    }

    void polylineIsOpenPolygonIsClosed()
    {
        const QPoint square[] = {{2, 2}, {12, 2}, {12, 12}, {2, 12}};
        QImage open = Blank(16, 16);
        TCanvas openCanvas(open);
        openCanvas.Pen.Color = clBlack;
        openCanvas.Polyline(square);
        // Three sides of 10 pixels; the last corner is the left-out end.
        QCOMPARE(CountColour(open, clBlack), 30);
        QCOMPARE(openCanvas.Pixel(2, 12), clWhite);
        QCOMPARE(openCanvas.Pixel(2, 7), clWhite);

        QImage closed = Blank(16, 16);
        TCanvas closedCanvas(closed);
        closedCanvas.Pen.Color = clBlack;
        closedCanvas.Brush.Color = clYellow;
        closedCanvas.Polygon(square);
        QCOMPARE(CountColour(closed, clBlack), 40);
        for (const QPoint& corner : square)
            QCOMPARE(closedCanvas.Pixel(corner.x(), corner.y()), clBlack);
        QCOMPARE(CountColour(closed, clYellow), 9 * 9);

        closedCanvas.Brush.Style = TBrushStyle::bsClear;
        closedCanvas.Pen.Color = clRed;
        closedCanvas.Polygon(square);
        QCOMPARE(CountColour(closed, clYellow), 9 * 9);
        QCOMPARE(CountColour(closed, clRed), 40);
    }

    void fillsExcludeRightAndBottom()
    {
        QImage image = Blank(20, 20);
        TCanvas canvas(image);
        canvas.Brush.Color = clGreen;
        canvas.FillRect(QRect(2, 3, 4, 5));
        QCOMPARE(CountColour(image, clGreen), 4 * 5);
        QCOMPARE(canvas.Pixel(5, 7), clGreen);
        QCOMPARE(canvas.Pixel(6, 7), clWhite);
        QCOMPARE(canvas.Pixel(5, 8), clWhite);

        image.fill(Qt::white);
        canvas.Pen.Color = clNavy;
        canvas.Rectangle(2, 2, 10, 8);
        QCOMPARE(CountColour(image, clNavy), 2 * 8 + 2 * 6 - 4);
        QCOMPARE(CountColour(image, clGreen), 6 * 4);
        QCOMPARE(canvas.Pixel(9, 7), clNavy);
        QCOMPARE(canvas.Pixel(10, 8), clWhite);

        canvas.FillRect(QRect(-5, -5, 100, 100)); // clipped, not refused
        QCOMPARE(CountColour(image, clGreen), 400);
    }

    void textIsOpaqueOnTheBrushUnlessClear()
    {
        QImage image = Blank(120, 40);
        TCanvas canvas(image);
        const QString text = QStringLiteral("0305");
        const int width = canvas.TextWidth(text), height = canvas.TextHeight(text);
        QVERIFY(width > 0 && height > 0);
        canvas.Brush.Color = clAqua;
        canvas.TextOut(5, 5, text);
        QCOMPARE(canvas.PenPos(), QPoint(5 + width, 5));
        int ink = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const bool inBox = x >= 5 && x < 5 + width && y >= 5 && y < 5 + height;
                const TColor colour = canvas.Pixel(x, y);
                if (!inBox)
                    QCOMPARE(colour, clWhite);
                else if (colour != clAqua)
                    ++ink;
            }
        QVERIFY(ink > 0);

        image.fill(Qt::white);
        canvas.Brush.Style = TBrushStyle::bsClear;
        canvas.TextOut(5, 5, text);
        QCOMPARE(CountColour(image, clAqua), 0);
        QVERIFY(CountColour(image, clWhite) < 120 * 40);
    }

    void bevelFrameRings()
    {
        QImage image = Blank(12, 10);
        TCanvas canvas(image);
        QRect rect(1, 1, 10, 8); // pixels 1..10 x 1..8
        DrawBevelFrame(canvas, rect, clWhite - 1, clNavy, 2);
        QCOMPARE(rect, QRect(3, 3, 6, 4));
        const TColor light = clWhite - 1;
        for (int ring = 0; ring < 2; ++ring) {
            const int l = 1 + ring, t = 1 + ring, r = 10 - ring, b = 8 - ring;
            for (int x = l; x < r; ++x) {
                QCOMPARE(canvas.Pixel(x, t), light);
                QCOMPARE(canvas.Pixel(x + 1, b), clNavy);
            }
            for (int y = t; y < b; ++y) {
                QCOMPARE(canvas.Pixel(l, y), light);
                QCOMPARE(canvas.Pixel(r, y + 1), clNavy);
            }
            QCOMPARE(canvas.Pixel(r, t), clNavy); // top-right corner
            QCOMPARE(canvas.Pixel(l, b), clNavy); // bottom-left corner
        }
        QCOMPARE(CountColour(image, clWhite), 12 * 10 - (10 * 8 - 6 * 4));

        // More rings than fit stop at the middle.
        QRect tiny(0, 0, 3, 3);
        DrawBevelFrame(canvas, tiny, clRed, clBlue, 5);
        QCOMPARE(canvas.Pixel(0, 0), clRed);
        QCOMPARE(canvas.Pixel(2, 2), clBlue);
        QVERIFY(tiny.isEmpty());
    }

    // A straight line, a frame, a lone pixel and a fill at ratio 2 cover
    // exactly the device blocks of the pixels they cover at ratio 1.
    void scaledStraightDrawingCoversItsBlocks_data()
    {
        QTest::addColumn<int>("shape");
        QTest::newRow("horizontal line") << 0;
        QTest::newRow("vertical line upwards") << 1;
        QTest::newRow("one-step diagonal") << 2;
        QTest::newRow("bevel frame") << 3;
        QTest::newRow("rectangle") << 4;
        QTest::newRow("pixels") << 5;
    }
    void scaledStraightDrawingCoversItsBlocks()
    {
        QFETCH(int, shape);
        const auto [plain, scaled] = DrawTwice(16, 12, 2.0, [shape](TCanvas& canvas) {
            canvas.Pen.Color = clRed;
            canvas.Brush.Color = clBlue;
            QRect frame(1, 2, 12, 9);
            switch (shape) {
            case 0: canvas.MoveTo(2, 3), canvas.LineTo(13, 3); break;
            case 1: canvas.MoveTo(7, 10), canvas.LineTo(7, 1); break;
            case 2: canvas.MoveTo(4, 4), canvas.LineTo(5, 5); break;
            case 3: DrawBevelFrame(canvas, frame, clRed, clNavy, 2); break;
            case 4: canvas.Rectangle(3, 2, 11, 9); break;
            case 5: canvas.SetPixel(0, 0, clRed), canvas.SetPixel(15, 11, clNavy), canvas.SetPixel(16, 3, clRed); break;
            }
        });
        QCOMPARE(scaled.size(), QSize(32, 24));
        for (int y = 0; y < scaled.height(); ++y)
            for (int x = 0; x < scaled.width(); ++x)
                QVERIFY2(scaled.pixel(x, y) == plain.pixel(x / 2, y / 2), qPrintable(QStringLiteral("%1,%2").arg(x).arg(y)));
    }

    // A slanted line at ratio 2 steps in device pixels, without gaps and
    // without blended colours.
    void scaledSlantIsSharpAndFine_data()
    {
        QTest::addColumn<QPoint>("from");
        QTest::addColumn<QPoint>("to");
        QTest::newRow("steep, like a hexagon's side") << QPoint(10, 2) << QPoint(20, 19);
        QTest::newRow("flat") << QPoint(2, 15) << QPoint(25, 6);
        QTest::newRow("45 degrees") << QPoint(3, 3) << QPoint(18, 18);
    }
    void scaledSlantIsSharpAndFine()
    {
        QFETCH(QPoint, from);
        QFETCH(QPoint, to);
        QImage image = Scaled(30, 22, 2.0);
        TCanvas canvas(image);
        canvas.Pen.Color = clRed;
        canvas.MoveTo(from.x(), from.y());
        canvas.LineTo(to.x(), to.y());
        QCOMPARE(CountColour(image, clRed) + CountColour(image, clWhite), image.width() * image.height());

        // Along the major axis every device line holds some of the line, and
        // no more than a pen's width across the slant.
        const bool xMajor = std::abs(to.x() - from.x()) >= std::abs(to.y() - from.y());
        const int first = 2 * std::min(xMajor ? from.x() : from.y(), xMajor ? to.x() : to.y());
        const int last = 2 * std::max(xMajor ? from.x() : from.y(), xMajor ? to.x() : to.y()) - 1;
        bool steppedFinerThanBlocks = false;
        for (int major = first; major <= last; ++major) {
            if (major == 2 * (xMajor ? to.x() : to.y()) || major == 2 * (xMajor ? to.x() : to.y()) + 1)
                continue; // the end pixel stays out
            int ink = 0;
            for (int minor = 0; minor < (xMajor ? image.height() : image.width()); ++minor)
                ink += QRgbToColor(xMajor ? image.pixel(major, minor) : image.pixel(minor, major)) == clRed;
            QVERIFY2(ink >= 1 && ink <= 4, qPrintable(QString::number(major)));
        }
        for (int y = 0; y + 1 < image.height(); y += 2)
            for (int x = 0; x + 1 < image.width(); x += 2) {
                const QRgb corner = image.pixel(x, y);
                if (image.pixel(x + 1, y) != corner || image.pixel(x, y + 1) != corner || image.pixel(x + 1, y + 1) != corner)
                    steppedFinerThanBlocks = true;
            }
        QVERIFY(steppedFinerThanBlocks);
    }

    void scaledPixelsTileAtAFractionalRatio()
    {
        // At 1.5 a logical pixel is one or two device pixels wide; together
        // they cover the image once, and a fill covers the same pixels as
        // its logical pixels set one by one.
        QImage image = Scaled(8, 6, 1.5, clBlack);
        QCOMPARE(image.size(), QSize(12, 9));
        TCanvas canvas(image);
        for (int y = 0; y < 6; ++y)
            for (int x = 0; x < 8; ++x)
                canvas.SetPixel(x, y, (x + y) % 2 ? clRed : clBlue);
        QCOMPARE(CountColour(image, clBlack), 0);
        for (int y = 0; y < 6; ++y)
            for (int x = 0; x < 8; ++x)
                QCOMPARE(canvas.Pixel(x, y), (x + y) % 2 ? clRed : clBlue);

        QImage filled = Scaled(8, 6, 1.5, clBlack), blocks = filled;
        TCanvas fillCanvas(filled), blockCanvas(blocks);
        fillCanvas.Brush.Color = clRed;
        fillCanvas.FillRect(QRect(1, 1, 3, 4));
        for (int y = 1; y < 5; ++y)
            for (int x = 1; x < 4; ++x)
                blockCanvas.SetPixel(x, y, clRed);
        QVERIFY(CountColour(blocks, clRed) > 0);
        QCOMPARE(filled, blocks);
    }

    void transparentDrawingAtRatio2()
    {
        // A picture made for ratio 1 is doubled pixel by pixel, its key
        // colour left out; one made for ratio 2 is copied pixel for pixel.
        QImage glyph(3, 2, QImage::Format_RGB32);
        glyph.fill(ColorToQColor(clFuchsia));
        glyph.setPixel(0, 0, ColorToQColor(clRed).rgb());
        glyph.setPixel(2, 1, ColorToQColor(clNavy).rgb());
        QImage image = Scaled(6, 4, 2.0);
        TCanvas canvas(image);
        canvas.DrawTransparent(1, 1, glyph, clFuchsia);
        QCOMPARE(CountColour(image, clFuchsia), 0);
        QCOMPARE(CountColour(image, clRed), 4);
        QCOMPARE(CountColour(image, clNavy), 4);
        QCOMPARE(canvas.Pixel(1, 1), clRed);
        QCOMPARE(canvas.Pixel(3, 2), clNavy);

        QImage fine(6, 4, QImage::Format_RGB32);
        fine.setDevicePixelRatio(2.0);
        fine.fill(ColorToQColor(clFuchsia));
        fine.setPixel(1, 0, ColorToQColor(clRed).rgb());
        image.fill(Qt::white);
        canvas.DrawTransparent(1, 1, fine, clFuchsia);
        QCOMPARE(CountColour(image, clRed), 1);
        QCOMPARE(QRgbToColor(image.pixel(3, 2)), clRed);
    }
};

QTEST_MAIN(CanvasTest)
#include "CanvasTest.moc"
