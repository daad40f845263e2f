// The hex map control's behaviour: construction, property setters with their
// rebuilds and repaints, the plain, image and frozen states, a failing
// background image, and the mouse callbacks.
#include "hexmap/Hexmap.h"
#include "shell/Exception.h"
#include "tests/TestSupport.h"

#include <QFile>
#include <QPaintEvent>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>

#include <climits>
#include <memory>
#include <utility>

namespace {

// Counts the paint events a widget receives.
class PaintCounter : public QObject {
public:
    explicit PaintCounter(QWidget* widget) { widget->installEventFilter(this); }
    int Count = 0;
    QRegion Region; // of the last paint

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint) {
            ++Count;
            Region = static_cast<QPaintEvent*>(event)->region();
        }
        return false;
    }
};

TColor PixelAt(const THexMap& map, TPoint pixel)
{
    return QRgbToColor(map.MapBitmap().pixel(pixel.X, pixel.Y));
}

TColor CentreColour(const THexMap& map, TPoint cell)
{
    return PixelAt(map, map.ConvertPoint(cell, cpCellToPixel));
}

const TColor BackgroundImageColour = RGBToColor(200, 180, 40);

} // namespace

class HexmapTest : public QObject {
    Q_OBJECT

    // A shown control inside a parent window, as the main window holds it.
    std::unique_ptr<QWidget> window_;
    THexMap* map_ = nullptr;
    PaintCounter* paints_ = nullptr;
    QTemporaryDir files_;

    QString WriteImage(const QString& name, int width, int height)
    {
        QImage image(width, height, QImage::Format_RGB32);
        image.fill(ColorToQColor(BackgroundImageColour));
        const QString path = files_.filePath(name);
        if (!image.save(path, "BMP"))
            qFatal("cannot write %s", qPrintable(path));
        return path;
    }

private slots:
    void init()
    {
        window_ = std::make_unique<QWidget>();
        window_->resize(500, 500);
        map_ = new THexMap(window_.get());
        map_->move(4, 8);
        window_->show();
        QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
        paints_ = new PaintCounter(map_);
        paints_->setParent(map_);
    }

    void cleanup() { window_.reset(); }

    void constructedDefaults()
    {
        const THexMap map;
        QCOMPARE(map.UseSavedMap(), false);
        QCOMPARE(map.MapGridOn(), true);
        QCOMPARE(map.MapImageName(), QStringLiteral("Rome.bmp"));
        QCOMPARE(map.NoMapImage(), true);
        QCOMPARE(map.HexColumns(), 8);
        QCOMPARE(map.HexRows(), 8);
        QCOMPARE(map.HexRadius(), 30);
        QCOMPARE(map.HexHalfHeight(), 26);
        QCOMPARE(map.HexShowLabels(), false);
        QCOMPARE(map.Hex3d(), true);
        QCOMPARE(map.HexColor(), clGray);
        QCOMPARE(map.BackColor(), clTeal);
        QCOMPARE(map.LineColor(), clBlack);
        QCOMPARE(map.size(), QSize(375, 442));
        QCOMPARE(map.MapBitmap().size(), QSize(375, 442));
        QVERIFY(!map.autoFillBackground());
        QVERIFY(map.hasMouseTracking());
    }

    void halfHeightFollowsTheRadius()
    {
        const int table[][2] = {{2, 2},   {4, 3},   {6, 5},   {8, 7},   {10, 9},  {12, 10}, {14, 12}, {16, 14},
                                {18, 16}, {20, 17}, {22, 19}, {24, 21}, {26, 23}, {28, 24}, {30, 26}, {40, 35}};
        for (const auto& [radius, halfHeight] : table) {
            map_->SetHexRadius(radius);
            QCOMPARE(map_->HexHalfHeight(), halfHeight);
            QCOMPARE(map_->Geometry().HexHalfHeight, halfHeight);
        }
    }

    void controlFollowsTheGrid()
    {
        map_->SetHexColumns(10);
        map_->SetHexRows(10);
        for (const auto& [radius, size] : {std::pair{20, QSize(310, 357)}, std::pair{4, QSize(62, 63)}}) {
            map_->SetHexRadius(radius);
            QCOMPARE(map_->size(), size);
            QCOMPARE(map_->MapBitmap().size(), size);
            QCOMPARE(map_->pos(), QPoint(4, 8));
        }
        QCOMPARE(map_->ConvertPoint({3, 4}, cpCellToPixel), (TPoint{16, 21}));
        QCOMPARE(map_->ConvertPoint({61, 62}, cpPixelToCell), (TPoint{10, 10}));
        QCOMPARE(map_->HexDistance({1, 1}, {10, 10}), 14);
    }

    // Each drawing property, set to a new value through its published name,
    // rebuilds (the recoloured cell returns to the cell colour) and repaints
    // once; set to the value it has, it does nothing at all.
    void settersRebuildAndRepaint_data()
    {
        QTest::addColumn<QByteArray>("property");
        QTest::addColumn<QVariant>("value");
        QTest::newRow("MapGridOn") << QByteArray("MapGridOn") << QVariant(false);
        QTest::newRow("HexColumns") << QByteArray("HexColumns") << QVariant(5);
        QTest::newRow("HexRows") << QByteArray("HexRows") << QVariant(6);
        QTest::newRow("HexRadius") << QByteArray("HexRadius") << QVariant(20);
        QTest::newRow("HexShowLabels") << QByteArray("HexShowLabels") << QVariant(true);
        QTest::newRow("Hex3d") << QByteArray("Hex3d") << QVariant(false);
        QTest::newRow("HexColor") << QByteArray("HexColor") << QVariant(uint(clSilver));
        QTest::newRow("BackColor") << QByteArray("BackColor") << QVariant(uint(clNavy));
        QTest::newRow("LineColor") << QByteArray("LineColor") << QVariant(uint(clMaroon));
    }
    void settersRebuildAndRepaint()
    {
        QFETCH(QByteArray, property);
        QFETCH(QVariant, value);
        map_->ColorHex(clRed, TBrushStyle::bsSolid, {1, 1});
        const QImage coloured = map_->MapBitmap();

        paints_->Count = 0;
        QVERIFY(map_->setProperty(property, map_->property(property)));
        QCOMPARE(paints_->Count, 0);
        QCOMPARE(map_->MapBitmap(), coloured);

        QVERIFY(map_->setProperty(property, value));
        QCOMPARE(map_->property(property), value);
        QCOMPARE(paints_->Count, 1);
        QVERIFY(CentreColour(*map_, {1, 1}) != clRed);
        QCOMPARE(map_->size(), QSize(map_->Geometry().ControlWidth(), map_->Geometry().ControlHeight()));
    }

    // A board configured while hidden, as the main window configures its
    // board before it first shows, is drawn once, when it is first shown;
    // unchanged properties and recoloured cells draw nothing whole.
    void pictureDrawnOnceWhenFirstNeeded()
    {
        QWidget window;
        window.resize(400, 400);
        auto* map = new THexMap(&window);
        map->SetHexColumns(10);
        map->SetHexRows(10);
        map->SetHexRadius(20);
        map->SetHex3d(false);
        map->SetHex3d(true);
        QCOMPARE(map->PictureBuilds(), 0);
        QCOMPARE(map->size(), QSize(310, 357));

        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(map->PictureBuilds(), 1);
        map->SetHexColumns(10);
        map->ColorHex(clRed, TBrushStyle::bsSolid, {1, 1});
        QCOMPARE(map->PictureBuilds(), 1);

        // A new game on another board: resized and painted while hidden.
        map->hide();
        map->SetHexColumns(6);
        map->SetHexRows(6);
        for (int column = 1; column <= 6; ++column)
            for (int row = 1; row <= 6; ++row)
                map->ColorHex(clGray, TBrushStyle::bsSolid, {column, row});
        map->show();
        QCoreApplication::processEvents();
        QCOMPARE(map->PictureBuilds(), 2);
    }

    void radiusIsRaisedToEven()
    {
        map_->SetHexRadius(21);
        QCOMPARE(map_->HexRadius(), 22);
        QCOMPARE(map_->HexHalfHeight(), 19);

        // 19 differs from the stored 20 before it is raised, so it rebuilds.
        map_->SetHexRadius(20);
        map_->ColorHex(clRed, TBrushStyle::bsSolid, {2, 2});
        paints_->Count = 0;
        map_->SetHexRadius(19);
        QCOMPARE(map_->HexRadius(), 20);
        QCOMPARE(paints_->Count, 1);
        QCOMPARE(CentreColour(*map_, {2, 2}), clGray);
    }

    void unusableValuesAreRefused()
    {
        map_->SetHexRadius(20);
        const QImage before = map_->MapBitmap();
        paints_->Count = 0;
        for (const int radius : {0, -1, -20, INT_MIN, INT_MAX, 1 << 30})
            map_->SetHexRadius(radius);
        // Beyond Qt's largest widget the size arithmetic would overflow.
        map_->SetHexColumns(INT_MAX);
        map_->SetHexRows(1 << 28);
        QCOMPARE(map_->HexRadius(), 20);
        QCOMPARE(map_->HexHalfHeight(), 17);
        QCOMPARE(map_->HexColumns(), 8);
        QCOMPARE(map_->HexRows(), 8);
        QCOMPARE(map_->MapBitmap(), before);
        QCOMPARE(paints_->Count, 0);
        QCOMPARE(map_->ConvertPoint({20, 20}, cpPixelToCell), (TPoint{1, 1}));
    }

    void negativeCountsCountAsNone()
    {
        map_->SetHexRadius(20);
        map_->SetHexColumns(-4);
        map_->SetHexRows(-1);
        QCOMPARE(map_->HexColumns(), 0);
        QCOMPARE(map_->HexRows(), 0);
        // The size keeps following the formulas: R/2 wide, H high, no cells.
        QCOMPARE(map_->size(), QSize(10, 17));
        QImage teal(10, 17, QImage::Format_RGB32);
        teal.fill(ColorToQColor(clTeal));
        QCOMPARE(map_->MapBitmap(), teal);
        QCOMPARE(map_->ConvertPoint({5, 5}, cpPixelToCell), TPoint{});
        QCOMPARE(map_->HexDistance({1, 1}, {4, 4}), 1); // no budget: one step
    }

    void frozenPictureKeepsPictureAndSize()
    {
        map_->ColorHex(clBlue, TBrushStyle::bsSolid, {3, 3});
        const QImage before = map_->MapBitmap();
        paints_->Count = 0;
        map_->SetUseSavedMap(true);
        QCOMPARE(paints_->Count, 1);

        map_->SetHexColumns(4);
        map_->SetHex3d(false);
        map_->SetHexRadius(10);
        map_->ColorHex(clRed, TBrushStyle::bsSolid, {1, 1});
        QCOMPARE(map_->HexColumns(), 4);
        QCOMPARE(map_->HexRadius(), 10);
        QCOMPARE(map_->MapBitmap(), before);
        QCOMPARE(map_->size(), QSize(375, 442));

        // Unfreezing repaints but does not rebuild.
        paints_->Count = 0;
        map_->SetUseSavedMap(false);
        QCOMPARE(paints_->Count, 1);
        QCOMPARE(map_->MapBitmap(), before);
        QCOMPARE(map_->size(), QSize(375, 442));
        QCOMPARE(map_->HexColumns(), 4);

        // The next rebuild shows what was stored meanwhile.
        map_->SetHexRows(5);
        QCOMPARE(map_->size(), QSize(3 * 5 * 3 + 20, 2 * 9 * 5 + 9));
    }

    void colorHexIgnoredOutsideThePlainGrid_data()
    {
        QTest::addColumn<int>("state");
        QTest::newRow("grid off") << 0;
        QTest::newRow("image") << 1;
        QTest::newRow("frozen") << 2;
    }
    void colorHexIgnoredOutsideThePlainGrid()
    {
        QFETCH(int, state);
        if (state == 0)
            map_->SetMapGridOn(false);
        if (state == 1) {
            map_->SetMapImageName(WriteImage("board.bmp", 200, 150));
            map_->SetNoMapImage(false);
        }
        if (state == 2)
            map_->SetUseSavedMap(true);
        const QImage before = map_->MapBitmap();
        paints_->Count = 0;
        map_->ColorHex(clRed, TBrushStyle::bsSolid, {1, 1});
        map_->ColorHex(clRed, TBrushStyle::bsSolid, {2, 2});
        QCOMPARE(paints_->Count, 0);
        QCOMPARE(map_->MapBitmap(), before);
    }

    void colorHexRepaintsAtOnceUnlessHidden()
    {
        paints_->Count = 0;
        map_->ColorHex(clRed, TBrushStyle::bsSolid, {2, 3});
        QCOMPARE(paints_->Count, 1);
        QCOMPARE(CentreColour(*map_, {2, 3}), clRed);
        // Only the cell's square is painted again.
        const TPoint centre = map_->ConvertPoint({2, 3}, cpCellToPixel);
        const int r = map_->HexRadius(), h = map_->HexHalfHeight();
        QCOMPARE(paints_->Region, QRegion(centre.X - r, centre.Y - h, 2 * r + 1, 2 * h + 1));

        map_->hide();
        map_->ColorHex(clBlue, TBrushStyle::bsSolid, {4, 4});
        QCOMPARE(paints_->Count, 1);
        QCOMPARE(CentreColour(*map_, {4, 4}), clBlue);
        // Painting is one copy of the picture.
        map_->show();
        QCOMPARE(map_->grab().toImage().convertToFormat(QImage::Format_RGB32), map_->MapBitmap());
    }

    void cellOutsideTheGridIsDrawnWhereItWouldBe()
    {
        map_->SetHexColumns(4);
        map_->SetHexRows(4);
        map_->SetHexRadius(20);
        const QImage before = map_->MapBitmap();
        map_->ColorHex(clRed, TBrushStyle::bsSolid, {0, 2}); // centre (-10, 68): its right half shows
        QCOMPARE(PixelAt(*map_, {2, 68}), clRed);
        map_->ColorHex(clRed, TBrushStyle::bsSolid, {50, 50}); // nowhere near
        map_->ColorHex(clRed, TBrushStyle::bsSolid, {INT_MIN, INT_MAX});
        QCOMPARE(CentreColour(*map_, {1, 1}), clGray);
        QVERIFY(map_->MapBitmap() != before);
    }

    void imageStateTakesTheImageSize()
    {
        map_->SetHexRadius(20);
        const QImage plain = map_->MapBitmap();
        map_->SetMapImageName(WriteImage("map.bmp", 310, 357));
        QCOMPARE(map_->MapBitmap(), plain); // plain state: the name alone loads nothing
        QVERIFY(map_->MapImage().isNull());
        paints_->Count = 0;
        map_->SetNoMapImage(false);
        QCOMPARE(paints_->Count, 1);
        QCOMPARE(map_->HexColumns(), 10);
        QCOMPARE(map_->HexRows(), 10);
        QCOMPARE(map_->size(), QSize(310, 357));
        QCOMPARE(map_->MapBitmap().size(), QSize(310, 357));
        QCOMPARE(map_->MapImage().size(), QSize(310, 357));

        // The image decides the counts: setting them only rebuilds.
        map_->SetHexColumns(3);
        QCOMPARE(map_->HexColumns(), 10);

        // A smaller image through the name alone; 68 is exactly two rows.
        map_->SetMapImageName(WriteImage("small.bmp", 89, 68));
        QCOMPARE(map_->HexColumns(), 2);
        QCOMPARE(map_->HexRows(), 2);
        QCOMPARE(map_->size(), QSize(89, 68));

        // Back to the plain background with the stored counts.
        map_->SetNoMapImage(true);
        QCOMPARE(map_->size(), QSize(3 * 10 * 1 + 40, 2 * 17 * 2 + 17));
    }

    void unloadableImageKeepsTheOldPicture_data()
    {
        QTest::addColumn<bool>("viaName");
        QTest::addColumn<bool>("garbage");
        QTest::newRow("missing, switching to the image") << false << false;
        QTest::newRow("not an image, switching to the image") << false << true;
        QTest::newRow("missing, new name in the image state") << true << false;
        QTest::newRow("not an image, new name in the image state") << true << true;
    }
    void unloadableImageKeepsTheOldPicture()
    {
        QFETCH(bool, viaName);
        QFETCH(bool, garbage);
        QString bad = files_.filePath(garbage ? "garbage.bmp" : "missing.bmp");
        if (garbage) {
            QFile file(bad);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("BM this is not a bitmap");
        }
        if (viaName) {
            map_->SetMapImageName(WriteImage("good.bmp", 200, 150));
            map_->SetNoMapImage(false);
        } else {
            map_->SetMapImageName(bad);
        }
        const QImage picture = map_->MapBitmap();
        const QSize size = map_->size();
        const int columns = map_->HexColumns(), rows = map_->HexRows();

        try {
            if (viaName)
                map_->SetMapImageName(bad);
            else
                map_->SetNoMapImage(false);
            QFAIL("no error for an unloadable image");
        } catch (const Exception& error) {
            QVERIFY2(error.Message.contains(bad), qPrintable(error.Message));
        }
        QCOMPARE(map_->NoMapImage(), false);
        QCOMPARE(map_->MapImageName(), bad);
        QCOMPARE(map_->MapBitmap(), picture);
        QCOMPARE(map_->size(), size);
        QCOMPARE(map_->HexColumns(), columns);
        QCOMPARE(map_->HexRows(), rows);
    }

    void imageIsLoadedEvenWhenFrozen()
    {
        map_->SetUseSavedMap(true);
        map_->SetMapImageName(files_.filePath("absent.bmp"));
        QVERIFY_THROWS_EXCEPTION(Exception, map_->SetNoMapImage(false));
        QCOMPARE(map_->size(), QSize(375, 442));
    }

    void mouseEventsReachTheCallbacks()
    {
        QList<QList<int>> downs, moves;
        map_->OnMouseDown = [&](Qt::MouseButton b, Qt::KeyboardModifiers m, int x, int y) {
            downs.append({int(b), int(m), x, y});
        };
        map_->OnMouseMove = [&](Qt::MouseButton b, Qt::KeyboardModifiers m, int x, int y) {
            moves.append({int(b), int(m), x, y});
        };
        QTest::mouseMove(map_, QPoint(35, 20));
        QTRY_VERIFY(!moves.isEmpty());
        QCOMPARE(moves.last(), (QList<int>{Qt::NoButton, Qt::NoModifier, 35, 20}));
        QTest::mousePress(map_, Qt::RightButton, Qt::ShiftModifier, QPoint(100, 60));
        QCOMPARE(downs, (QList<QList<int>>{{Qt::RightButton, Qt::ShiftModifier, 100, 60}}));
        QTest::mouseRelease(map_, Qt::RightButton, Qt::ShiftModifier, QPoint(100, 60));

        // Without handlers the events are simply dropped.
        map_->OnMouseDown = nullptr;
        map_->OnMouseMove = nullptr;
        QTest::mousePress(map_, Qt::LeftButton, {}, QPoint(10, 10));
        QTest::mouseMove(map_, QPoint(12, 12));
        QTest::mouseRelease(map_, Qt::LeftButton, {}, QPoint(12, 12));
        QCOMPARE(downs.size(), 1);
    }
};

QTEST_MAIN(HexmapTest)
#include "HexmapTest.moc"
