// The LED scanner: lamp geometry and self-resizing, the drawn pixels, the
// scan sequences of every mode, the setters' repaint rules, the timer's life
// cycle and the Align placements.
#include "controls/UKITScan.h"

#include "shell/Canvas.h"

#include <QApplication>
#include <QPaintEvent>
#include <QPalette>
#include <QTest>
#include <QTimer>

#include <functional>

namespace {

// A theme colour as it lands in the image.
TColor Plain(TColor color)
{
    return QRgbToColor(ColorToQColor(color).rgb());
}

TColor At(const TKITScanner& scanner, int x, int y)
{
    return scanner.Image().valid(x, y) ? QRgbToColor(scanner.Image().pixel(x, y)) : 0xFFFFFFFFu;
}

// Lamps whose four corner pixels all show `color`.
QList<int> LampsIn(const TKITScanner& scanner, TColor color)
{
    QList<int> lamps;
    for (int i = 1; i <= scanner.HowManyLeds(); ++i) {
        const QRect r = scanner.LedRect(i);
        if (At(scanner, r.left(), r.top()) == color && At(scanner, r.right(), r.top()) == color
            && At(scanner, r.left(), r.bottom()) == color && At(scanner, r.right(), r.bottom()) == color)
            lamps << i;
    }
    return lamps;
}

QList<int> AllLamps(int n, int except = 0)
{
    QList<int> lamps;
    for (int i = 1; i <= n; ++i)
        if (i != except)
            lamps << i;
    return lamps;
}

// Lamp `position` lit and every other dark; all dark off either end.
void VerifyShows(const TKITScanner& scanner, int position)
{
    const int n = scanner.HowManyLeds();
    const bool on = position >= 1 && position <= n;
    QCOMPARE(LampsIn(scanner, scanner.LitColor()), on ? QList<int>{position} : QList<int>{});
    QCOMPARE(LampsIn(scanner, scanner.UnlitColor()), AllLamps(n, on ? position : 0));
}

// Hands a widget's events to a function before the widget sees them.
class TEventSpy : public QObject {
public:
    TEventSpy(QWidget* widget, std::function<void(QEvent*)> seen)
        : seen_(std::move(seen))
    {
        widget->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        seen_(event);
        return false;
    }

private:
    std::function<void(QEvent*)> seen_;
};

} // namespace

class UKITScanTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // Theme colours all different, so every bevel pixel tells its rule.
        QPalette palette = QApplication::palette();
        palette.setColor(QPalette::Button, QColor(0xC0, 0xC4, 0xC8));
        palette.setColor(QPalette::Light, QColor(0xF8, 0xF4, 0xF0));
        palette.setColor(QPalette::Mid, QColor(0x70, 0x74, 0x78));
        QApplication::setPalette(palette);
    }

    void newControlDefaults()
    {
        TKITScanner scanner;
        QCOMPARE(scanner.size(), QSize(82, 12));
        QCOMPARE(scanner.HowManyLeds(), 7);
        QCOMPARE(scanner.ScanColor(), scRed);
        QCOMPARE(scanner.ScanMode(), smBoth);
        QCOMPARE(scanner.ScanSpeed(), 100);
        QCOMPARE(scanner.ScanPosition(), 1);
        QCOMPARE(scanner.ScanDirection(), 1);
        QVERIFY(!scanner.Scanning());
        QVERIFY(scanner.findChildren<QTimer*>().isEmpty());
        QCOMPARE(scanner.focusPolicy(), Qt::NoFocus);
    }

    void geometry_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<int>("leds");
        QTest::addColumn<int>("align");
        QTest::addColumn<QList<int>>("bevel"); // inner, outer, width
        QTest::addColumn<QSize>("expectedSize");
        QTest::addColumn<QList<int>>("lamp"); // width, height, first left

        const QList<int> standard{bvNone, bvRaised, 1};
        // 2 + 1 + 7 x 17 = 122: the main window's scanner fits exactly.
        QTest::newRow("main window") << QSize(122, 25) << 7 << int(alNone) << standard << QSize(122, 25) << QList<int>{16, 21, 2};
        // 72 / 7 = 10 wide lamps; 2 + 1 + 7 x 11 = 80.
        QTest::newRow("new control narrows") << QSize(82, 12) << 7 << int(alNone) << standard << QSize(80, 12) << QList<int>{10, 8, 2};
        QTest::newRow("alRight narrows") << QSize(82, 12) << 7 << int(alRight) << standard << QSize(80, 12) << QList<int>{10, 8, 2};
        QTest::newRow("alTop keeps width") << QSize(82, 12) << 7 << int(alTop) << standard << QSize(82, 12) << QList<int>{10, 8, 2};
        QTest::newRow("alClient keeps width") << QSize(82, 12) << 7 << int(alClient) << standard << QSize(82, 12) << QList<int>{10, 8, 2};
        // 4 - 2 - 2 = 0 is too low: 2 + 3 = 5 gives one-pixel lamps.
        QTest::newRow("height 4 grows to 5") << QSize(122, 4) << 7 << int(alNone) << standard << QSize(122, 5) << QList<int>{16, 1, 2};
        // (5 - 3 - 7) / 7 truncates to 0: 2 + 1 + 14 = 17 wide.
        QTest::newRow("too small both ways") << QSize(5, 2) << 7 << int(alNone) << standard << QSize(17, 5) << QList<int>{1, 1, 2};
        // No frame: 74 / 7 = 10; 1 + 7 x 11 = 78.
        QTest::newRow("no bevels") << QSize(82, 12) << 7 << int(alNone) << QList<int>{bvNone, bvNone, 1} << QSize(78, 12) << QList<int>{10, 10, 1};
        QTest::newRow("zero-width bevels") << QSize(82, 12) << 7 << int(alNone) << QList<int>{bvLowered, bvRaised, 0} << QSize(78, 12) << QList<int>{10, 10, 1};
        // B = 4: 106 / 7 = 15; 9 + 7 x 16 = 121.
        QTest::newRow("two bevels of two") << QSize(122, 25) << 7 << int(alNone) << QList<int>{bvLowered, bvRaised, 2} << QSize(121, 25) << QList<int>{15, 15, 5};
        QTest::newRow("zero lamps become one") << QSize(82, 12) << 0 << int(alNone) << standard << QSize(82, 12) << QList<int>{78, 8, 2};
        // (82 - 3 - 100) / 100 truncates to 0: 3 + 200 = 203 wide.
        QTest::newRow("150 lamps become 100") << QSize(82, 12) << 150 << int(alNone) << standard << QSize(203, 12) << QList<int>{1, 8, 2};
        // A frame of 2 x 130 on each side is more than a byte holds; the
        // lamps still start inside it: 520 + 3 high, 520 + 1 + 14 wide.
        QTest::newRow("frame wider than a byte") << QSize(122, 25) << 7 << int(alNone) << QList<int>{bvRaised, bvRaised, 130} << QSize(535, 523) << QList<int>{1, 1, 261};
    }

    void geometry()
    {
        QFETCH(QSize, size);
        QFETCH(int, leds);
        QFETCH(int, align);
        QFETCH(QList<int>, bevel);
        QFETCH(QSize, expectedSize);
        QFETCH(QList<int>, lamp);

        // Every setter paints and may resize at once, so the size under test
        // comes last and is laid out by one full paint.
        TKITScanner scanner;
        scanner.SetAlign(TAlign(align));
        scanner.SetBevelInner(TBevelCut(bevel[0]));
        scanner.SetBevelOuter(TBevelCut(bevel[1]));
        scanner.SetBevelWidth(std::uint8_t(bevel[2]));
        scanner.SetHowManyLeds(leds);
        scanner.SetColor(clTeal);
        scanner.resize(size);
        scanner.Paint();

        const int n = scanner.HowManyLeds();
        QCOMPARE(n, std::clamp(leds, 1, 100));
        QCOMPARE(scanner.size(), expectedSize);
        QCOMPARE(scanner.Image().size(), expectedSize);
        QCOMPARE(scanner.LedWidth(), lamp[0]);
        QCOMPARE(scanner.LedHeight(), lamp[1]);
        for (int i = 1; i <= n; ++i)
            QCOMPARE(scanner.LedLeft(i), lamp[2] + (i - 1) * (lamp[0] + 1));

        // Every lamp dark, with one-pixel background margins and gaps, and
        // whatever is left over on the right in background too.
        QCOMPARE(LampsIn(scanner, scanner.UnlitColor()), AllLamps(n));
        const int b = scanner.BevelTotal(), top = b + 1, bottom = b + lamp[1];
        QCOMPARE(bottom, expectedSize.height() - b - 2);
        for (int i = 1; i <= n; ++i) {
            QCOMPARE(At(scanner, scanner.LedLeft(i) + lamp[0], top), clTeal);
            QCOMPARE(At(scanner, scanner.LedLeft(i), top - 1), clTeal);
            QCOMPARE(At(scanner, scanner.LedLeft(i), bottom + 1), clTeal);
        }
        QCOMPARE(At(scanner, lamp[2] - 1, top), clTeal);
        for (int x = scanner.LedLeft(n) + lamp[0]; x < expectedSize.width() - b; ++x)
            QCOMPARE(At(scanner, x, top), clTeal);
        if (b > 0)
            QVERIFY(At(scanner, b - 1, top) != clTeal);
    }

    void bevelPixels_data()
    {
        QTest::addColumn<int>("inner");
        QTest::addColumn<int>("outer");
        QTest::newRow("raised outer") << int(bvNone) << int(bvRaised);
        QTest::newRow("space outer, lowered inner") << int(bvLowered) << int(bvSpace);
        QTest::newRow("raised inner only") << int(bvRaised) << int(bvNone);
    }

    void bevelPixels()
    {
        QFETCH(int, inner);
        QFETCH(int, outer);

        TKITScanner scanner;
        scanner.SetBevelInner(TBevelCut(inner));
        scanner.SetBevelOuter(TBevelCut(outer));
        scanner.SetBevelWidth(2);
        scanner.SetColor(clTeal);
        const int w = scanner.width(), h = scanner.height();

        // Rings from the edge inwards: the outer frame's, then the inner's.
        QList<int> rings;
        for (const int cut : {outer, inner})
            if (cut != bvNone)
                rings << cut << cut;
        QCOMPARE(scanner.BevelTotal(), rings.size());
        for (int ring = 0; ring < rings.size(); ++ring) {
            const bool lowered = rings[ring] == bvLowered;
            const TColor topLeft = Plain(lowered ? clBtnShadow : clBtnHighlight);
            const TColor bottomRight = Plain(lowered ? clBtnHighlight : clBtnShadow);
            const int l = ring, t = ring, r = w - 1 - ring, bt = h - 1 - ring;
            for (const QPoint p : {QPoint(l, t), QPoint(l, bt - 1), QPoint(r - 1, t), QPoint(l, (t + bt) / 2)})
                QCOMPARE(At(scanner, p.x(), p.y()), topLeft);
            for (const QPoint p : {QPoint(r, t), QPoint(l, bt), QPoint(r, bt), QPoint((l + r) / 2, bt)})
                QCOMPARE(At(scanner, p.x(), p.y()), bottomRight);
        }
        const int b = scanner.BevelTotal();
        QCOMPARE(At(scanner, b, b), clTeal);
        QCOMPARE(At(scanner, w - 1 - b, h - 1 - b), clTeal);
    }

    void lampColours_data()
    {
        QTest::addColumn<int>("scanColor");
        QTest::addColumn<TColor>("unlit");
        QTest::addColumn<TColor>("lit");
        QTest::newRow("blue") << int(scBlue) << TColor(0x800000) << TColor(0xFF0000);
        QTest::newRow("green") << int(scGreen) << TColor(0x008000) << TColor(0x00FF00);
        QTest::newRow("red") << int(scRed) << TColor(0x000080) << TColor(0x0000FF);
        QTest::newRow("yellow") << int(scYellow) << TColor(0x008080) << TColor(0x00FFFF);
    }

    void lampColours()
    {
        QFETCH(int, scanColor);
        QFETCH(TColor, unlit);
        QFETCH(TColor, lit);

        TKITScanner scanner;
        scanner.resize(122, 25);
        scanner.SetScanColor(TScanColor(scanColor));
        scanner.Paint();
        QCOMPARE(scanner.UnlitColor(), unlit);
        QCOMPARE(scanner.LitColor(), lit);
        QCOMPARE(LampsIn(scanner, unlit), AllLamps(7));
        scanner.ScanTick();
        QCOMPARE(LampsIn(scanner, lit), QList<int>{2});
    }

    void scanSequences_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("leds");
        QTest::addColumn<QList<int>>("positions");
        QTest::addColumn<QList<int>>("directions");

        // From position 1 moving right, one entry per tick.
        QTest::newRow("both, 7 lamps") << int(smBoth) << 7
                                       << QList<int>{2, 3, 4, 5, 6, 7, 8, 8, 7, 6, 5, 4, 3, 2, 1, 0, 0, 1, 2, 3}
                                       << QList<int>{1, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1};
        QTest::newRow("left to right, 7 lamps") << int(smLeftToRight) << 7
                                                << QList<int>{2, 3, 4, 5, 6, 7, 8, 0, 1, 2, 3, 4, 5, 6, 7, 8, 0, 1}
                                                << QList<int>(18, 1);
        QTest::newRow("right to left, 7 lamps") << int(smRightToLeft) << 7
                                                << QList<int>{0, 8, 7, 6, 5, 4, 3, 2, 1, 0, 8, 7} << QList<int>(12, 0);
        QTest::newRow("both, 1 lamp") << int(smBoth) << 1 << QList<int>{2, 2, 1, 0, 0, 1, 2, 2}
                                      << QList<int>{1, 0, 0, 0, 1, 1, 1, 0};
        QTest::newRow("right to left, 100 lamps") << int(smRightToLeft) << 100 << QList<int>{0, 101, 100, 99}
                                                  << QList<int>(4, 0);
    }

    void scanSequences()
    {
        QFETCH(int, mode);
        QFETCH(int, leds);
        QFETCH(QList<int>, positions);
        QFETCH(QList<int>, directions);

        TKITScanner scanner;
        scanner.resize(122, 25);
        scanner.SetHowManyLeds(leds);
        scanner.SetScanMode(TScanMode(mode));
        scanner.Paint();
        VerifyShows(scanner, 0);
        for (int tick = 0; tick < positions.size(); ++tick) {
            scanner.ScanTick();
            QCOMPARE(int(scanner.ScanPosition()), positions[tick]);
            QCOMPARE(int(scanner.ScanDirection()), directions[tick]);
            VerifyShows(scanner, positions[tick]);
        }
    }

    void fewerLampsBringThePositionBack_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QList<int>>("positions");

        // Lamp 6 of 7 was lit; then only 3 lamps are left.
        QTest::newRow("left to right: off the end at once") << int(smLeftToRight) << QList<int>{0, 1, 2};
        QTest::newRow("right to left: counts down") << int(smRightToLeft) << QList<int>{5, 4, 3, 2};
        QTest::newRow("both: turns, then counts down") << int(smBoth) << QList<int>{6, 5, 4, 3, 2, 1, 0, 0, 1};
    }

    void fewerLampsBringThePositionBack()
    {
        QFETCH(int, mode);
        QFETCH(QList<int>, positions);

        TKITScanner scanner;
        scanner.resize(122, 25);
        scanner.Paint();
        for (int tick = 0; tick < 5; ++tick)
            scanner.ScanTick();
        scanner.SetScanMode(TScanMode(mode));
        scanner.SetHowManyLeds(3);
        QCOMPARE(scanner.ScanPosition(), 6);
        VerifyShows(scanner, 0);
        for (const int expected : positions) {
            scanner.ScanTick();
            QCOMPARE(int(scanner.ScanPosition()), expected);
            VerifyShows(scanner, expected);
        }
    }

    // A changed value repaints at once with every lamp dark; an unchanged
    // one (after clamping) leaves the lit lamp alone, and so does ScanMode.
    void settersRepaintOnlyOnChange()
    {
        TKITScanner scanner;
        scanner.resize(203, 25);
        scanner.SetHowManyLeds(100);
        scanner.Paint();
        scanner.ScanTick();
        VerifyShows(scanner, 2);
        scanner.SetScanColor(scRed);
        scanner.SetBevelInner(bvNone);
        scanner.SetBevelOuter(bvRaised);
        scanner.SetBevelWidth(1);
        scanner.SetHowManyLeds(150);
        scanner.SetAlign(alNone);
        scanner.SetScanMode(smRightToLeft);
        VerifyShows(scanner, 2);

        scanner.ScanTick();
        QCOMPARE(scanner.ScanPosition(), 1); // the new mode at the next tick
        scanner.SetScanColor(scBlue);
        QCOMPARE(LampsIn(scanner, clNavy), AllLamps(100));
        scanner.SetScanMode(smLeftToRight);
        scanner.ScanTick();
        QCOMPARE(LampsIn(scanner, clBlue), QList<int>{2});

        const std::function<void()> changes[] = {
            [&] { scanner.SetBevelWidth(2); },      [&] { scanner.SetBevelInner(bvLowered); },
            [&] { scanner.SetBevelOuter(bvNone); }, [&] { scanner.SetColor(clOlive); },
            [&] { scanner.SetAlign(alTop); },       [&] { scanner.SetHowManyLeds(0); },
        };
        for (const auto& change : changes) {
            scanner.ScanTick();
            change();
            VerifyShows(scanner, 0);
        }
        QCOMPARE(scanner.BevelTotal(), 2);
        QCOMPARE(At(scanner, 0, 0), Plain(clBtnShadow));
    }

    void tickTouchesOnlyTheLamps()
    {
        TKITScanner scanner;
        scanner.resize(122, 25);
        scanner.Paint();
        // Marks on the frame, a gap and the background must survive a tick.
        QImage& image = const_cast<QImage&>(scanner.Image());
        const QPoint marks[] = {{0, 0}, {18, 5}, {1, 12}, {121, 24}};
        for (const QPoint p : marks)
            image.setPixel(p, qRgb(1, 2, 3));
        scanner.ScanTick();
        for (const QPoint p : marks)
            QCOMPARE(image.pixel(p), qRgb(1, 2, 3));
        VerifyShows(scanner, 2);
    }

    // A tick repaints the lamp that goes dark and the one that lights up,
    // nothing else; a tick that changes no lamp repaints nothing.
    void tickRepaintsOnlyTheLampsThatChange_data()
    {
        QTest::addColumn<int>("mode");
        QTest::newRow("both ways") << int(smBoth);
        QTest::newRow("left to right") << int(smLeftToRight);
        QTest::newRow("right to left") << int(smRightToLeft);
    }
    void tickRepaintsOnlyTheLampsThatChange()
    {
        QFETCH(int, mode);
        QWidget window;
        window.resize(200, 60);
        auto* scanner = new TKITScanner(&window);
        scanner->setGeometry(10, 10, 122, 25);
        scanner->SetScanMode(TScanMode(mode));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QRegion painted;
        TEventSpy spy(scanner, [&](QEvent* event) {
            if (event->type() == QEvent::Paint)
                painted += static_cast<QPaintEvent*>(event)->region();
        });
        int litBefore = 0; // a full paint shows every lamp dark
        for (int tick = 0; tick < 40; ++tick) {
            painted = QRegion();
            scanner->ScanTick();
            QCoreApplication::sendPostedEvents();
            const int position = scanner->ScanPosition();
            const int lit = position >= 1 && position <= 7 ? position : 0;
            QRegion expected;
            for (const int lamp : {litBefore, lit})
                if (lamp != 0 && litBefore != lit)
                    expected += scanner->LedRect(lamp);
            QCOMPARE(painted, expected);
            VerifyShows(*scanner, position);
            litBefore = lit;
        }
        QCOMPARE(scanner->grab().toImage().convertToFormat(QImage::Format_RGB32), scanner->Image());
    }

    void timerLifeCycle()
    {
        TKITScanner scanner;
        scanner.resize(122, 25);
        scanner.Paint();
        scanner.SetScanning(true);
        scanner.SetScanning(true);
        QCOMPARE(scanner.findChildren<QTimer*>().size(), 1);
        const QTimer* timer = scanner.ScanTimer();
        QCOMPARE(timer->interval(), 100);
        QVERIFY(timer->isActive());
        // Scanning comes before ScanSpeed when a form loads: re-timed.
        scanner.SetScanSpeed(10);
        QCOMPARE(scanner.ScanTimer(), timer);
        QCOMPARE(timer->interval(), 10);

        // Stopping keeps position and direction.
        for (int tick = 0; tick < 8; ++tick)
            scanner.ScanTick();
        scanner.SetScanning(false);
        QVERIFY(scanner.findChildren<QTimer*>().isEmpty());
        QCOMPARE(scanner.ScanPosition(), 8);
        scanner.SetScanSpeed(25);
        QVERIFY(!scanner.HasTimer());
        scanner.SetScanning(true);
        QCOMPARE(scanner.ScanTimer()->interval(), 25);
        QCOMPARE(scanner.ScanDirection(), 0);
        scanner.ScanTick();
        QCOMPARE(scanner.ScanPosition(), 7);
    }

    void timerDrivesTheScanUnlessTheSpeedIsZero()
    {
        TKITScanner scanner;
        scanner.resize(122, 25);
        scanner.Paint();
        for (const int still : {0, -20}) {
            scanner.SetScanSpeed(still);
            scanner.SetScanning(true);
            QVERIFY(!scanner.ScanTimer()->isActive());
            const int position = scanner.ScanPosition();
            QTest::qWait(50);
            QCOMPARE(int(scanner.ScanPosition()), position);
            scanner.SetScanning(false);
        }
        scanner.SetScanning(true);
        scanner.SetScanSpeed(5);
        QTRY_VERIFY_WITH_TIMEOUT(scanner.ScanPosition() >= 4, 5000);
        scanner.SetScanSpeed(0);
        QVERIFY(scanner.Scanning());
        QVERIFY(!scanner.ScanTimer()->isActive());
    }

    // Nobody sees the lamps of a minimised window: the scan rests and
    // resumes where it stopped, at its speed, when the window comes back.
    void scanRestsWhileTheWindowIsMinimised()
    {
        QWidget window;
        window.resize(200, 60);
        auto* panel = new QWidget(&window);
        auto* scanner = new TKITScanner(panel);
        scanner->resize(122, 25);
        scanner->SetScanning(true);
        scanner->SetScanSpeed(5);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTRY_VERIFY_WITH_TIMEOUT(scanner->ScanPosition() >= 3, 5000);

        window.setWindowState(Qt::WindowMinimized);
        QVERIFY(scanner->HasTimer());
        QVERIFY(!scanner->ScanTimer()->isActive());
        const int position = scanner->ScanPosition();
        scanner->SetScanSpeed(4); // a new speed does not wake it either
        QTest::qWait(40);
        QCOMPARE(int(scanner->ScanPosition()), position);

        window.setWindowState(Qt::WindowNoState);
        QVERIFY(scanner->ScanTimer()->isActive());
        QCOMPARE(scanner->ScanTimer()->interval(), 4);
        QTRY_VERIFY_WITH_TIMEOUT(scanner->ScanPosition() != position, 5000);
    }

    void timerGoesBeforeTheControl()
    {
        QStringList order;
        auto* scanner = new TKITScanner;
        scanner->SetScanning(true);
        connect(scanner->ScanTimer(), &QObject::destroyed, this, [&] { order << "timer"; });
        connect(scanner, &QObject::destroyed, this, [&] { order << "scanner"; });
        delete scanner;
        QCOMPARE(order, (QStringList{"timer", "scanner"}));
    }

    void colourFollowsTheParentUntilSet()
    {
        QWidget parent;
        auto* scanner = new TKITScanner(&parent);
        scanner->Paint();
        QCOMPARE(scanner->Color(), clBtnFace);
        QCOMPARE(At(*scanner, 1, 1), Plain(clBtnFace));

        QPalette palette = parent.palette();
        palette.setColor(QPalette::Window, ColorToQColor(clTeal));
        parent.setPalette(palette);
        QCOMPARE(At(*scanner, 1, 1), clTeal);

        scanner->SetColor(clOlive);
        palette.setColor(QPalette::Window, ColorToQColor(clPurple));
        parent.setPalette(palette);
        QCOMPARE(scanner->Color(), clOlive);
        QCOMPARE(At(*scanner, 1, 1), clOlive);

        scanner->SetParentColor(true);
        QCOMPARE(At(*scanner, 1, 1), clPurple);
    }

    void alignFollowsTheParent()
    {
        // A visible parent, so its resizes reach the control as they happen.
        QWidget window;
        window.resize(500, 300);
        auto* parent = new QWidget(&window);
        parent->resize(300, 100);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        auto* scanner = new TKITScanner;
        scanner->SetAlign(alTop);
        scanner->setParent(parent);
        QCOMPARE(scanner->geometry(), QRect(0, 0, 300, 12));
        scanner->show();
        // 290 / 7 = 41 wide lamps; 297 < 300 leaves three background pixels.
        QCOMPARE(scanner->LedWidth(), 41);

        parent->resize(200, 80);
        QCOMPARE(scanner->geometry(), QRect(0, 0, 200, 12));
        scanner->SetAlign(alBottom);
        QCOMPARE(scanner->geometry(), QRect(0, 68, 200, 12));
        // Full height, and a width that fits the lamps: 2 + 1 + 7 x 28.
        scanner->SetAlign(alLeft);
        QCOMPARE(scanner->geometry(), QRect(0, 0, 199, 80));
        scanner->SetAlign(alRight);
        QCOMPARE(scanner->geometry(), QRect(1, 0, 199, 80));
        scanner->SetAlign(alClient);
        QCOMPARE(scanner->geometry(), QRect(0, 0, 200, 80));
        QCOMPARE(scanner->Image().size(), QSize(200, 80));
        scanner->SetAlign(alNone);
        parent->resize(400, 200);
        QCOMPARE(scanner->geometry(), QRect(0, 0, 199, 80));
    }

    void parentThatForbidsGrowingIsNoTrap_data()
    {
        QTest::addColumn<int>("align");
        QTest::addColumn<QSize>("parentSize");
        QTest::addColumn<QSize>("expectedSize");

        // The parent fixes the size the lamps would need: the control keeps
        // it instead of resizing without end. A free width still fits.
        QTest::newRow("alClient too low") << int(alClient) << QSize(200, 3) << QSize(200, 3);
        QTest::newRow("alClient tiny") << int(alClient) << QSize(2, 2) << QSize(2, 2);
        QTest::newRow("alTop too narrow") << int(alTop) << QSize(12, 40) << QSize(12, 12);
        QTest::newRow("alLeft too low") << int(alLeft) << QSize(200, 3) << QSize(80, 3);
    }

    void parentThatForbidsGrowingIsNoTrap()
    {
        QFETCH(int, align);
        QFETCH(QSize, parentSize);
        QFETCH(QSize, expectedSize);

        QWidget parent;
        parent.resize(parentSize);
        auto* scanner = new TKITScanner(&parent);
        scanner->SetAlign(TAlign(align));
        QCOMPARE(scanner->size(), expectedSize);
        QCOMPARE(scanner->Image().size(), expectedSize);
        QVERIFY(scanner->LedWidth() == 0 || scanner->LedHeight() == 0);
        const QImage before = scanner->Image();
        for (int tick = 0; tick < 10; ++tick)
            scanner->ScanTick();
        QCOMPARE(scanner->Image(), before);
    }

    void firstPaintOnScreen()
    {
        QWidget window;
        window.resize(300, 100);
        auto* scanner = new TKITScanner(&window);
        scanner->SetScanning(true);
        scanner->SetScanSpeed(10);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(scanner->size(), QSize(80, 12));
        scanner->SetScanning(false);
        // What reaches the screen is the image.
        QCOMPARE(scanner->grab().toImage().convertToFormat(QImage::Format_RGB32), scanner->Image());

        // Resized from outside: laid out and drawn again for the new size.
        scanner->resize(122, 25);
        QCOMPARE(scanner->Image().size(), QSize(122, 25));
        QCOMPARE(scanner->LedWidth(), 16);
    }
};

QTEST_MAIN(UKITScanTest)
#include "UKITScanTest.moc"
