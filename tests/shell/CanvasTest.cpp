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

};

QTEST_MAIN(CanvasTest)
#include "CanvasTest.moc"
