// The marks over the board: nothing without marks, each mark inside the
// square of its own cell, copy and jump targets told apart, outlines that
// leave the centre free.
#include "hexmap/HexMarks.h"
#include "shell/Canvas.h"
#include "tests/TestSupport.h"

#include <QPainter>
#include <QTest>

namespace {

const THexGeometry Grid{6, 5, 20, 17};

// A picture with a colour of its own at every pixel, so any change shows.
QImage Picture()
{
    QImage image(Grid.ControlWidth(), Grid.ControlHeight(), QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, qRgb(x % 256, y % 256, (x * 7 + y * 3) % 256));
    return image;
}

QImage Draw(const THexMarks& marks)
{
    QImage image = Picture();
    QPainter painter(&image);
    DrawHexMarks(painter, Grid, marks);
    return image;
}

QRegion Changed(const QImage& before, const QImage& after)
{
    QRegion changed;
    for (int y = 0; y < before.height(); ++y)
        for (int x = 0; x < before.width(); ++x)
            if (before.pixel(x, y) != after.pixel(x, y))
                changed += QRect(x, y, 1, 1);
    return changed;
}

TPoint Centre(TPoint cell)
{
    return Grid.ConvertPoint(cell, cpCellToPixel);
}

} // namespace

class HexMarksTest : public QObject {
    Q_OBJECT

private slots:
    void noMarksDrawNothing()
    {
        const THexMarks none;
        QVERIFY(none.Empty());
        QCOMPARE(Draw(none), Picture());
        QVERIFY(MarksRegion(Grid, none).isEmpty());
    }

    void eachMarkStaysInItsCell_data()
    {
        QTest::addColumn<int>("kind"); // 0 copy, 1 jump, 2 last move, 3 cursor
        QTest::addColumn<TPoint>("cell");
        QTest::addColumn<bool>("centreChanges");
        const std::pair<TPoint, const char*> cells[] = {
            {{1, 1}, "top-left corner"}, {{6, 5}, "bottom-right corner"}, {{3, 3}, "middle, odd column"},
            {{4, 2}, "even column"}};
        const char* kinds[] = {"copy target", "jump target", "last move", "cursor"};
        for (int kind = 0; kind < 4; ++kind)
            for (const auto& [cell, where] : cells)
                QTest::addRow("%s, %s", kinds[kind], where) << kind << cell << (kind == 0);
    }

    void eachMarkStaysInItsCell()
    {
        QFETCH(int, kind);
        QFETCH(TPoint, cell);
        QFETCH(bool, centreChanges);
        THexMarks marks;
        switch (kind) {
        case 0: marks.CopyTargets = {cell}; break;
        case 1: marks.JumpTargets = {cell}; break;
        case 2: marks.LastFrom = cell; break;
        case 3: marks.Cursor = cell; break;
        }
        const QImage after = Draw(marks);
        const QRegion changed = Changed(Picture(), after);
        QVERIFY(!changed.isEmpty());
        QCOMPARE(MarksRegion(Grid, marks), QRegion(CellSquare(Grid, cell)));
        QVERIFY(CellSquare(Grid, cell).contains(changed.boundingRect()));
        const TPoint centre = Centre(cell);
        QCOMPARE(changed.contains(QPoint(centre.X, centre.Y)), centreChanges);
        // Never the cell's own outline: its corners stay as they were.
        const int r = Grid.HexRadius, h = Grid.HexHalfHeight;
        for (const QPoint corner : {QPoint(centre.X - r, centre.Y), QPoint(centre.X + r, centre.Y),
                                    QPoint(centre.X - r / 2, centre.Y - h), QPoint(centre.X + r / 2, centre.Y + h)})
            QVERIFY(!changed.contains(corner));
    }

    void jumpRingsAndCopyDotsDiffer()
    {
        // A ring leaves its middle alone and reaches further out than a dot.
        THexMarks copy, jump;
        copy.CopyTargets = {{3, 3}};
        jump.JumpTargets = {{3, 3}};
        const QRect dot = Changed(Picture(), Draw(copy)).boundingRect();
        const QRect ring = Changed(Picture(), Draw(jump)).boundingRect();
        QVERIFY(ring.width() > dot.width() + 4);
        const TPoint centre = Centre({3, 3});
        QVERIFY(dot.contains(centre.X, centre.Y));
        QVERIFY(!Changed(Picture(), Draw(jump)).contains(QPoint(centre.X, centre.Y)));
    }

    void marksOffTheGridAreLeftOut()
    {
        THexMarks marks;
        marks.CopyTargets = {{0, 0}, {7, 1}};
        marks.JumpTargets = {{1, 6}, {-1, 2}};
        marks.LastFrom = {9, 9};
        marks.Cursor = {0, 3};
        QVERIFY(!marks.Empty());
        QCOMPARE(Draw(marks), Picture());
        QVERIFY(MarksRegion(Grid, marks).isEmpty());
    }

    void outlinesInTheirOwnColours()
    {
        THexMarks marks;
        marks.LastTo = {2, 2};
        marks.Cursor = {5, 2};
        const QImage after = Draw(marks);
        // Straight down from the centre to just inside the bottom edge.
        const auto colours = [&](TPoint cell) {
            QSet<TColor> seen;
            const TPoint centre = Centre(cell);
            for (int y = centre.Y; y < centre.Y + Grid.HexHalfHeight; ++y)
                seen.insert(QRgbToColor(after.pixel(centre.X, y)));
            return seen;
        };
        QVERIFY(colours({2, 2}).contains(LastMoveMarkColor));
        QVERIFY(!colours({2, 2}).contains(CursorMarkColor));
        QVERIFY(colours({5, 2}).contains(CursorMarkColor));
    }
};

QTEST_MAIN(HexMarksTest)
#include "HexMarksTest.moc"
