// The LED bar and the glyph button on a screen of device pixel ratio 2
// (QT_SCALE_FACTOR=2): their pictures have the screen's resolution, what is
// straight is exactly the ordinary picture's pixels doubled, text is drawn
// in the screen's own pixels, and no colour is blended.
#include "controls/TransBtn.h"
#include "controls/UKITScan.h"
#include "shell/Canvas.h"

#include <QApplication>
#include <QEnterEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QTest>

#include <memory>

namespace {

// A control that takes its screen for an ordinary one: the reference.
template <typename Control>
class AtRatioOne : public Control {
public:
    using Control::Control;

protected:
    int metric(QPaintDevice::PaintDeviceMetric metric) const override
    {
        if (metric == QPaintDevice::PdmDevicePixelRatio)
            return 1;
        if (metric == QPaintDevice::PdmDevicePixelRatioScaled)
            return int(QPaintDevice::devicePixelRatioFScale());
        return Control::metric(metric);
    }
};

// Every device pixel of `scaled` equals the pixel of `plain` it lies in.
bool IsDoubled(const QImage& plain, const QImage& scaled, QString& where)
{
    if (scaled.size() != plain.size() * 2) {
        where = QStringLiteral("size %1x%2").arg(scaled.width()).arg(scaled.height());
        return false;
    }
    for (int y = 0; y < scaled.height(); ++y)
        for (int x = 0; x < scaled.width(); ++x)
            if (scaled.pixel(x, y) != plain.pixel(x / 2, y / 2)) {
                where = QStringLiteral("%1,%2").arg(x).arg(y);
                return false;
            }
    return true;
}

// Does some 2 x 2 block inside `area` (logical pixels) hold more than one
// colour? An enlarged small picture never does.
bool FinerThanBlocks(const QImage& scaled, const QRect& area)
{
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            const QRgb corner = scaled.pixel(2 * x, 2 * y);
            if (scaled.pixel(2 * x + 1, 2 * y) != corner || scaled.pixel(2 * x, 2 * y + 1) != corner ||
                scaled.pixel(2 * x + 1, 2 * y + 1) != corner)
                return true;
        }
    return false;
}

// Cells of 16 x 16: a key-coloured ring around a filled square.
QImage Glyph()
{
    QImage glyph(32, 16, QImage::Format_RGB32);
    glyph.fill(qRgb(255, 0, 255));
    QPainter painter(&glyph);
    painter.fillRect(3, 2, 10, 11, QColor(200, 0, 0));
    painter.fillRect(19, 2, 10, 11, QColor(90, 90, 90));
    painter.fillRect(6, 5, 3, 3, Qt::white);
    return glyph;
}

void Enter(QWidget& widget)
{
    QEnterEvent event(QPointF(1, 1), QPointF(1, 1), widget.mapToGlobal(QPointF(1, 1)));
    QCoreApplication::sendEvent(&widget, &event);
}

void Press(QWidget& widget)
{
    QMouseEvent event(QEvent::MouseButtonPress, QPointF(5, 5), widget.mapToGlobal(QPointF(5, 5)), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&widget, &event);
}

} // namespace

class HighDpiTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QCOMPARE(QWidget().devicePixelRatioF(), 2.0); }

    void glyphButtonFramesAndGlyphAreSharp_data()
    {
        QTest::addColumn<TFrameStyle>("style");
        QTest::addColumn<bool>("transparent");
        QTest::addColumn<int>("borderWidth");
        QTest::addColumn<QString>("state"); // i: pointer inside, p: pressed
        using enum TFrameStyle;
        QTest::newRow("regular, opaque") << fsRegular << false << 1 << "";
        QTest::newRow("regular pressed, border 2") << fsRegular << true << 2 << "ip";
        QTest::newRow("indent") << fsIndent << true << 1 << "";
        QTest::newRow("explorer, pointer inside") << fsExplorer << true << 1 << "i";
        QTest::newRow("explorer, grey glyph") << fsExplorer << true << 1 << "";
        QTest::newRow("mono, opaque, pressed") << fsMono << false << 1 << "ip";
    }

    void glyphButtonFramesAndGlyphAreSharp()
    {
        QFETCH(TFrameStyle, style);
        QFETCH(bool, transparent);
        QFETCH(int, borderWidth);
        QFETCH(QString, state);
        TTransparentButton scaled;
        AtRatioOne<TTransparentButton> plain;
        for (TTransparentButton* button : {static_cast<TTransparentButton*>(&scaled), static_cast<TTransparentButton*>(&plain)}) {
            button->resize(40, 29);
            button->SetGlyph(Glyph());
            button->SetFrameStyle(style);
            button->SetTransparent(transparent);
            button->SetBorderWidth(std::uint32_t(borderWidth));
            if (state.contains('i'))
                Enter(*button);
            if (state.contains('p'))
                Press(*button);
            button->Paint();
        }
        QCOMPARE(plain.Image().devicePixelRatio(), 1.0);
        QCOMPARE(scaled.Image().devicePixelRatio(), 2.0);
        QString where;
        QVERIFY2(IsDoubled(plain.Image(), scaled.Image(), where), qPrintable(where));
    }

    void glyphButtonCaptionUsesTheScreensPixels()
    {
        TTransparentButton button;
        button.resize(97, 25);
        button.SetCaption(QStringLiteral("Znovu"));
        button.SetFrameStyle(TFrameStyle::fsRegular);
        button.Paint();
        QCOMPARE(button.Image().size(), QSize(194, 50));
        QVERIFY(FinerThanBlocks(button.Image(), button.CaptionBox().intersected(button.rect())));
    }

    void ledBarIsSharp_data()
    {
        QTest::addColumn<int>("leds");
        QTest::addColumn<int>("bevelWidth");
        QTest::addColumn<int>("ticks");
        QTest::newRow("the main window's bar") << 7 << 1 << 3;
        QTest::newRow("wide bevels, many lamps") << 12 << 3 << 5;
    }

    void ledBarIsSharp()
    {
        QFETCH(int, leds);
        QFETCH(int, bevelWidth);
        QFETCH(int, ticks);
        QWidget parent;
        auto* scaled = new TKITScanner(&parent);
        auto* plain = new AtRatioOne<TKITScanner>(&parent);
        for (TKITScanner* bar : {scaled, static_cast<TKITScanner*>(plain)}) {
            bar->setGeometry(0, 0, 122, 25);
            bar->SetBevelInner(bvLowered);
            bar->SetBevelWidth(std::uint8_t(bevelWidth));
            bar->SetHowManyLeds(leds);
            bar->SetScanColor(scBlue);
            bar->Paint();
            for (int tick = 0; tick < ticks; ++tick)
                bar->ScanTick();
        }
        QCOMPARE(scaled->size(), plain->size());
        QCOMPARE(scaled->Image().devicePixelRatio(), 2.0);
        QString where;
        QVERIFY2(IsDoubled(plain->Image(), scaled->Image(), where), qPrintable(where));
    }
};

int main(int argc, char** argv)
{
    // Before the application exists, as a user's environment would set it.
    qputenv("QT_SCALE_FACTOR", "2");
    QApplication app(argc, argv);
    HighDpiTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "HighDpiTest.moc"
