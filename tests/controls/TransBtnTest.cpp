// The transparent glyph button: glyph images, frames, layout, mouse sequences.
#include "controls/TransBtn.h"
#include "shell/Canvas.h"

#include <QApplication>
#include <QEnterEvent>
#include <QFontMetrics>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <algorithm>
#include <cstdlib>
#include <set>
#include <utility>
#include <vector>

namespace {

// A pixel nothing was drawn on.
constexpr TColor clNoPixel = 0xFFFFFFFF;

TColor Resolve(TColor color)
{
    if (color == clNoPixel || !IsSystemColor(color))
        return color;
    return QRgbToColor(ColorToQColor(color).rgb());
}

TColor At(const QImage& image, int x, int y)
{
    const QRgb pixel = image.pixel(x, y);
    return qAlpha(pixel) == 0 ? clNoPixel : QRgbToColor(pixel);
}

QRgb Rgb(TColor color)
{
    return qRgb(GetRValue(color), GetGValue(color), GetBValue(color));
}

// Cells of `size` x `size`: a one-pixel ring of `key`, the inside in the cell's colour.
QImage FramedCells(const std::vector<TColor>& fills, int size, TColor key)
{
    QImage glyph(size * int(fills.size()), size, QImage::Format_RGB32);
    glyph.fill(Rgb(key));
    QPainter painter(&glyph);
    for (std::size_t i = 0; i < fills.size(); ++i)
        painter.fillRect(int(i) * size + 1, 1, size - 2, size - 2, QColor(Rgb(fills[i])));
    return glyph;
}

void SendMouse(QWidget& widget, QEvent::Type type, Qt::MouseButton button, QPoint at)
{
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
    QMouseEvent event(type, at, widget.mapToGlobal(at), button, held, Qt::NoModifier);
    QCoreApplication::sendEvent(&widget, &event);
}

void Enter(QWidget& widget)
{
    QEnterEvent event(QPointF(1, 1), QPointF(1, 1), widget.mapToGlobal(QPointF(1, 1)));
    QCoreApplication::sendEvent(&widget, &event);
}

void Leave(QWidget& widget)
{
    QEvent event(QEvent::Leave);
    QCoreApplication::sendEvent(&widget, &event);
}

struct TProbe {
    int X, Y;
    TColor Color;
};

} // namespace

Q_DECLARE_METATYPE(TFrameStyle)
Q_DECLARE_METATYPE(TTextAlign)
Q_DECLARE_METATYPE(std::vector<TProbe>)

class TransBtnTest : public QObject {
    Q_OBJECT

    QStringList log_;

    void Watch(TTransparentButton& button)
    {
        log_.clear();
        const auto name = [](Qt::MouseButton b) { return b == Qt::LeftButton ? "L" : "R"; };
        button.OnMouseDown = [this, name](QObject*, Qt::MouseButton b, Qt::KeyboardModifiers, int x, int y) {
            log_ << QString("down %1 %2,%3").arg(name(b)).arg(x).arg(y);
        };
        button.OnMouseUp = [this, name](QObject*, Qt::MouseButton b, Qt::KeyboardModifiers, int x, int y) {
            log_ << QString("up %1 %2,%3").arg(name(b)).arg(x).arg(y);
        };
        button.OnMouseMove = [this](QObject*, Qt::KeyboardModifiers, int x, int y) {
            log_ << QString("move %1,%2").arg(x).arg(y);
        };
        button.OnClick = [this](QObject*) { log_ << "click"; };
        button.OnMouseEnter = [this](QObject*) { log_ << "enter"; };
        button.OnMouseExit = [this](QObject*) { log_ << "exit"; };
    }

private slots:
    void initTestCase()
    {
        // Distinct theme colours, so a frame in the wrong colour shows.
        QPalette palette = QApplication::palette();
        palette.setColor(QPalette::Button, QColor(212, 208, 200));
        palette.setColor(QPalette::Mid, QColor(128, 128, 136));
        palette.setColor(QPalette::Light, QColor(250, 250, 240));
        palette.setColor(QPalette::Shadow, QColor(40, 44, 48));
        palette.setColor(QPalette::WindowText, QColor(0, 0, 0));
        QApplication::setPalette(palette);
    }

    void numGlyphsFollowsSquareCells_data()
    {
        QTest::addColumn<int>("before");
        QTest::addColumn<QSize>("glyph");
        QTest::addColumn<int>("after");
        QTest::newRow("32x16: two cells") << 1 << QSize(32, 16) << 2;
        QTest::newRow("50x20: not square cells") << 3 << QSize(50, 20) << 3;
        QTest::newRow("100x20: five cells is one picture") << 2 << QSize(100, 20) << 1;
        QTest::newRow("64x16: four cells") << 1 << QSize(64, 16) << 4;
        QTest::newRow("16x16: one cell") << 3 << QSize(16, 16) << 1;
        QTest::newRow("10x20: taller than wide") << 4 << QSize(10, 20) << 4;
    }
    void numGlyphsFollowsSquareCells()
    {
        QFETCH(int, before);
        QFETCH(QSize, glyph);
        QFETCH(int, after);
        TTransparentButton button;
        button.SetNumGlyphs(before);
        QImage picture(glyph, QImage::Format_RGB32);
        picture.fill(Qt::red);
        button.SetGlyph(picture);
        QCOMPARE(button.NumGlyphs(), after);
        // Cells, grey, embossed; each glyph width div NumGlyphs wide.
        QCOMPARE(int(button.GlyphImages().size()), after + 2);
        const int cellWidth = glyph.width() / after > 0 ? glyph.width() / after : glyph.width();
        for (const TMaskedImage& image : button.GlyphImages())
            QCOMPARE(image.Image.size(), QSize(cellWidth, glyph.height()));
    }

    void numGlyphsLaterKeepsTheCells()
    {
        TTransparentButton button;
        button.SetNumGlyphs(2);
        QImage picture(50, 20, QImage::Format_RGB32);
        picture.fill(Qt::blue);
        button.SetGlyph(picture);
        QCOMPARE(button.GlyphImages().front().Image.width(), 25);

        button.SetNumGlyphs(1);
        QCOMPARE(int(button.GlyphImages().size()), 4);
        QCOMPARE(button.GlyphImages().front().Image.width(), 25);
        QCOMPARE(button.GlyphBox().width(), 50); // the layout follows at once

        button.SetGlyph(picture);
        QCOMPARE(int(button.GlyphImages().size()), 3);
        QCOMPARE(button.GlyphImages().front().Image.width(), 50);

        button.SetNumGlyphs(0);
        QCOMPARE(button.NumGlyphs(), 1);
        button.SetNumGlyphs(9);
        QCOMPARE(button.NumGlyphs(), 4);

        // An empty glyph leaves the images as they were and draws nothing.
        button.SetGlyph(QImage());
        QCOMPARE(int(button.GlyphImages().size()), 3);
        button.SetFrameStyle(TFrameStyle::fsNone);
        button.Paint();
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 40; ++x)
                QCOMPARE(At(button.Image(), x, y), clNoPixel);
    }

    void grayImageAndItsKey()
    {
        // Magenta key; one pixel of a grey that greys to the key's own grey.
        const int keyLevel = (11 * 255 + 30 * 255) / 100;
        QImage cell(8, 6, QImage::Format_RGB32);
        for (int y = 0; y < 6; ++y)
            for (int x = 0; x < 8; ++x)
                cell.setPixel(x, y, qRgb(x * 37 % 256, y * 51 % 256, (x * y * 29 + 7) % 256));
        cell.setPixel(0, 5, qRgb(255, 0, 255));
        cell.setPixel(3, 2, qRgb(keyLevel, keyLevel, keyLevel));
        cell.setPixel(4, 2, qRgb(255, 0, 0));
        cell.setPixel(5, 2, qRgb(0, 0, 255));

        const QImage gray = TTransparentButton::MakeGrayBitmap(cell);
        QCOMPARE(gray.size(), cell.size());
        for (int y = 0; y < 6; ++y)
            for (int x = 0; x < 8; ++x) {
                const QRgb c = cell.pixel(x, y);
                const int level = (11 * qRed(c) + 59 * qGreen(c) + 30 * qBlue(c)) / 100;
                QCOMPARE(QRgbToColor(gray.pixel(x, y)), RGBToColor(level, level, level));
            }
        QCOMPARE(qRed(gray.pixel(4, 2)), 28); // red weighs 11, not 30
        QCOMPARE(qRed(gray.pixel(5, 2)), 76); // blue weighs 30, not 11

        TTransparentButton button;
        button.resize(12, 10);
        button.SetFrameStyle(TFrameStyle::fsExplorer); // outside: grey picture
        button.SetGlyph(cell);
        QCOMPARE(button.GrayGlyph(), gray);
        QCOMPARE(button.GlyphImages()[1].KeyColor, RGBToColor(keyLevel, keyLevel, keyLevel));
        button.Paint();
        const QPoint at = button.GlyphBox().topLeft();
        QCOMPARE(At(button.Image(), at.x() + 0, at.y() + 5), clNoPixel);
        QCOMPARE(At(button.Image(), at.x() + 3, at.y() + 2), clNoPixel);
        QCOMPARE(At(button.Image(), at.x() + 4, at.y() + 2), RGBToColor(28, 28, 28));
    }

    void embossedImage_data()
    {
        QTest::addColumn<TColor>("background");
        QTest::newRow("grey background") << clSilver;
        QTest::newRow("white background") << clWhite;
        QTest::newRow("black background: all ink") << clBlack;
    }
    void embossedImage()
    {
        QFETCH(TColor, background);
        QImage cell(9, 7, QImage::Format_RGB32);
        for (int y = 0; y < 7; ++y)
            for (int x = 0; x < 9; ++x) {
                const int pick = (x * 5 + y * 3) % 4;
                const TColor colors[] = {background, clWhite, clRed, clNavy};
                cell.setPixel(x, y, Rgb(colors[pick]));
            }
        cell.setPixel(0, 0, Rgb(background));

        const auto ink = [&](int x, int y) {
            if (x < 0 || y < 0)
                return false;
            const TColor c = QRgbToColor(cell.pixel(x, y));
            return c != clWhite && c != background;
        };
        const QImage disabled = TTransparentButton::MakeDisabledBitmap(cell);
        QCOMPARE(disabled.size(), cell.size());
        for (int y = 0; y < 7; ++y)
            for (int x = 0; x < 9; ++x) {
                const TColor expected = ink(x, y) ? clBtnShadow : ink(x - 1, y - 1) ? clBtnHighlight : clBtnFace;
                QCOMPARE(QRgbToColor(disabled.pixel(x, y)), Resolve(expected));
            }
    }

    void frames_data()
    {
        QTest::addColumn<TFrameStyle>("style");
        QTest::addColumn<bool>("transparent");
        QTest::addColumn<int>("borderWidth");
        QTest::addColumn<bool>("showPressed");
        QTest::addColumn<QString>("state"); // i: pointer inside, p: pressed by the mouse, d: Down
        QTest::addColumn<std::vector<TProbe>>("probes");
        using enum TFrameStyle;
        const TColor hl = clBtnHighlight, sh = clBtnShadow, face = clBtnFace, dk = cl3DDkShadow, no = clNoPixel;
        // A 20 x 20 button without glyph or caption.
        QTest::newRow("regular raised")
            << fsRegular << true << 1 << true << ""
            << std::vector<TProbe>{{0, 10, hl}, {10, 0, hl}, {19, 10, clBlack}, {10, 19, clBlack}, {19, 0, clBlack},
                                   {0, 19, clBlack}, {0, 0, hl}, {1, 10, face}, {18, 10, sh}, {18, 1, sh}, {10, 10, no}};
        QTest::newRow("regular raised, border 2")
            << fsRegular << true << 2 << true << ""
            << std::vector<TProbe>{{1, 10, hl}, {2, 10, face}, {3, 10, face}, {4, 10, no}, {18, 10, clBlack},
                                   {17, 10, sh}, {16, 10, sh}, {15, 10, no}};
        QTest::newRow("regular pressed")
            << fsRegular << true << 1 << true << "p"
            << std::vector<TProbe>{{0, 10, clBlack}, {19, 10, hl}, {19, 0, hl}, {1, 10, sh}, {18, 10, face}, {10, 10, no}};
        QTest::newRow("regular pressed, ShowPressed off: the outline only")
            << fsRegular << true << 1 << false << "p"
            << std::vector<TProbe>{{0, 10, no}, {0, 0, no}, {1, 10, clBlack}, {10, 1, clBlack}, {19, 10, clBlack},
                                   {10, 19, clBlack}, {2, 10, no}};
        QTest::newRow("regular opaque, ShowPressed off")
            << fsRegular << false << 1 << false << "p"
            << std::vector<TProbe>{{0, 10, no}, {1, 10, clBlack}, {19, 10, clBlack}, {10, 10, face}, {2, 2, face}};
        QTest::newRow("indent raised")
            << fsIndent << true << 1 << true << ""
            << std::vector<TProbe>{{0, 10, sh}, {1, 10, hl}, {18, 10, sh}, {19, 10, hl}, {10, 0, sh}, {10, 1, hl},
                                   {10, 18, sh}, {10, 19, hl}, {0, 19, hl}, {10, 10, no}};
        QTest::newRow("indent pressed")
            << fsIndent << true << 1 << true << "p"
            << std::vector<TProbe>{{0, 10, clBlack}, {1, 10, sh}, {19, 10, hl}, {18, 10, face}};
        QTest::newRow("indent opaque") << fsIndent << false << 1 << true << ""
                                       << std::vector<TProbe>{{0, 10, sh}, {18, 10, sh}, {10, 10, face}};
        QTest::newRow("explorer, pointer outside") << fsExplorer << true << 1 << true << ""
                                                   << std::vector<TProbe>{{0, 10, no}, {19, 19, no}, {10, 10, no}};
        QTest::newRow("explorer, pointer inside") << fsExplorer << true << 1 << true << "i"
                                                  << std::vector<TProbe>{{0, 10, hl}, {19, 10, sh}, {1, 10, no}};
        QTest::newRow("explorer pressed") << fsExplorer << true << 1 << true << "ip"
                                          << std::vector<TProbe>{{0, 10, sh}, {19, 10, hl}};
        QTest::newRow("explorer pressed, ShowPressed off") << fsExplorer << true << 1 << false << "ip"
                                                           << std::vector<TProbe>{{0, 10, hl}, {19, 10, sh}};
        QTest::newRow("explorer pressed, pointer never entered") << fsExplorer << true << 1 << true << "p"
                                                                 << std::vector<TProbe>{{0, 10, no}, {19, 10, no}};
        QTest::newRow("explorer Down, pointer outside") << fsExplorer << true << 3 << true << "d"
                                                        << std::vector<TProbe>{{2, 10, sh}, {17, 10, hl}, {3, 10, no}};
        QTest::newRow("explorer opaque") << fsExplorer << false << 1 << true << ""
                                         << std::vector<TProbe>{{0, 0, face}, {19, 19, face}};
        QTest::newRow("none pressed") << fsNone << true << 1 << true << "ip"
                                      << std::vector<TProbe>{{0, 0, no}, {19, 19, no}, {10, 10, no}};
        QTest::newRow("light, thickness 1 whatever the border")
            << fsLight << true << 3 << true << "" << std::vector<TProbe>{{0, 10, hl}, {1, 10, no}, {19, 10, sh}};
        QTest::newRow("light pressed") << fsLight << true << 1 << true << "p"
                                       << std::vector<TProbe>{{0, 10, sh}, {19, 10, hl}};
        QTest::newRow("light pressed, ShowPressed off") << fsLight << true << 1 << false << "p"
                                                        << std::vector<TProbe>{{0, 10, no}, {19, 10, no}};
        QTest::newRow("dark") << fsDark << true << 1 << true << ""
                              << std::vector<TProbe>{{0, 10, face}, {19, 10, dk}, {0, 19, dk}};
        QTest::newRow("dark pressed") << fsDark << true << 1 << true << "p"
                                      << std::vector<TProbe>{{0, 10, dk}, {19, 10, face}};
        QTest::newRow("mono") << fsMono << true << 1 << true << "" << std::vector<TProbe>{{0, 10, hl}, {19, 10, dk}};
        QTest::newRow("mono Down") << fsMono << true << 1 << true << "d"
                                   << std::vector<TProbe>{{0, 10, dk}, {19, 10, hl}, {19, 0, hl}};
    }
    void frames()
    {
        QFETCH(TFrameStyle, style);
        QFETCH(bool, transparent);
        QFETCH(int, borderWidth);
        QFETCH(bool, showPressed);
        QFETCH(QString, state);
        QFETCH(std::vector<TProbe>, probes);
        TTransparentButton button;
        button.resize(20, 20);
        button.SetFrameStyle(style);
        button.SetTransparent(transparent);
        button.SetBorderWidth(std::uint32_t(borderWidth));
        button.SetShowPressed(showPressed);
        if (state.contains('i'))
            Enter(button);
        if (state.contains('p'))
            SendMouse(button, QEvent::MouseButtonPress, Qt::LeftButton, QPoint(10, 10));
        if (state.contains('d'))
            button.SetDown(true);
        button.Paint();
        for (const TProbe& probe : probes) {
            const QByteArray where = QByteArray::number(probe.X) + "," + QByteArray::number(probe.Y);
            QVERIFY2(At(button.Image(), probe.X, probe.Y) == Resolve(probe.Color), where.constData());
        }
    }

    void layout_data()
    {
        QTest::addColumn<TTextAlign>("align");
        QTest::addColumn<QString>("glyphAt"); // l r c: left, right or centre; t b m: top, bottom or middle
        QTest::addColumn<QString>("captionAt");
        using enum TTextAlign;
        QTest::newRow("top left") << ttaTopLeft << "cb" << "l above";
        QTest::newRow("top") << ttaTop << "cb" << "c above";
        QTest::newRow("top right") << ttaTopRight << "cb" << "r above";
        QTest::newRow("right") << ttaRight << "lm" << "r middle";
        QTest::newRow("bottom right") << ttaBottomRight << "ct" << "r below";
        QTest::newRow("bottom") << ttaBottom << "ct" << "c below";
        QTest::newRow("bottom left") << ttaBottomLeft << "ct" << "l below";
        QTest::newRow("left") << ttaLeft << "rm" << "l middle";
        QTest::newRow("center") << ttaCenter << "cm" << "c middle";
    }
    void layout()
    {
        QFETCH(TTextAlign, align);
        QFETCH(QString, glyphAt);
        QFETCH(QString, captionAt);
        TTransparentButton button;
        // An even width with an odd text width: W / 2 - TW / 2 is one more
        // than (W - TW) / 2.
        const QFontMetrics metrics(button.font());
        QString text;
        for (const char* candidate : {"Ok", "Oki", "Okay", "OK!", "Zpet", "Konec", "Dal", "x"})
            if (metrics.horizontalAdvance(candidate) % 2 == 1) {
                text = candidate;
                break;
            }
        QVERIFY(!text.isEmpty());
        const int w = 80, h = 61, sp = 3, cw = 21, gh = 14;
        button.resize(w, h);
        button.SetSpacing(sp);
        button.SetNumGlyphs(3);
        button.SetGlyph(QImage(3 * cw + 2, gh, QImage::Format_RGB32)); // 65 x 14: NumGlyphs stays 3
        button.SetCaption("&" + text);
        button.SetTextAlign(align);
        const int tw = metrics.horizontalAdvance(text), th = metrics.height();

        const int gx = glyphAt[0] == 'l' ? sp : glyphAt[0] == 'r' ? w - cw - sp : (w - cw) / 2;
        const int gy = glyphAt[1] == 'b' ? h - gh - sp : glyphAt[1] == 't' ? sp : (h - gh) / 2;
        QCOMPARE(button.GlyphBox(), QRect(gx, gy, cw, gh));

        const QStringList where = captionAt.split(' ');
        const int left = where[0] == "l" ? sp : where[0] == "r" ? w - tw - sp : w / 2 - tw / 2;
        const int top = where[1] == "above" ? gy - th - sp : where[1] == "below" ? gy + gh + sp : h / 2 - th / 2;
        QCOMPARE(button.CaptionBox(), QRect(left, top, tw, th));
    }

    void glyphBoxHalvesTowardZero()
    {
        TTransparentButton button;
        button.resize(20, 20);
        button.SetGlyph(QImage(27, 25, QImage::Format_RGB32));
        QCOMPARE(button.GlyphBox().topLeft(), QPoint(-3, -2)); // (20 - 27) / 2, (20 - 25) / 2
    }

    void wordWrapMeasuresInTheButtonWidth()
    {
        TTransparentButton button;
        button.resize(30, 60);
        button.SetCaption("Konec hry");
        const QFontMetrics metrics(button.font());
        QCOMPARE(button.CaptionBox().size(), QSize(metrics.horizontalAdvance("Konec hry"), metrics.height()));
        button.SetWordWrap(true);
        const QRect box = button.CaptionBox();
        // Two lines, as wide as the longer word even where that overflows
        // (within the rounding of fractional advances).
        const int longer = std::max(metrics.horizontalAdvance("Konec"), metrics.horizontalAdvance("hry"));
        QVERIFY(std::abs(box.width() - longer) <= 1);
        QVERIFY(box.height() >= 2 * metrics.height() && box.height() < 3 * metrics.height());
    }

    void captionPixels()
    {
        TTransparentButton button;
        QFont font = button.font();
        font.setStyleStrategy(QFont::NoAntialias);
        font.setPixelSize(14);
        button.setFont(font);
        button.resize(70, 30);
        button.SetFrameStyle(TFrameStyle::fsNone);
        button.SetCaption("&Hex");

        const auto inked = [&] {
            std::set<std::pair<int, int>> pixels;
            for (int y = 0; y < 30; ++y)
                for (int x = 0; x < 70; ++x)
                    if (At(button.Image(), x, y) != clNoPixel)
                        pixels.insert({x, y});
            return pixels;
        };
        button.Paint();
        const auto normal = inked();
        QVERIFY(!normal.empty());
        const QRect box = button.CaptionBox().adjusted(-1, -1, 1, 1);
        for (const auto& [x, y] : normal)
            QVERIFY(box.contains(x, y));

        // The pressed look moves the caption by one pixel both ways.
        button.SetDown(true);
        button.Paint();
        std::set<std::pair<int, int>> shifted;
        for (const auto& [x, y] : normal)
            shifted.insert({x + 1, y + 1});
        QCOMPARE(inked(), shifted);
        button.SetDown(false);

        // Disabled: highlight one pixel down-right, shadow on top at the box.
        button.setEnabled(false);
        button.Paint();
        const TColor shadow = Resolve(clBtnShadow), highlight = Resolve(clBtnHighlight);
        int highlights = 0;
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 70; ++x) {
                const TColor c = At(button.Image(), x, y);
                QVERIFY(c == clNoPixel || c == shadow || c == highlight);
                QCOMPARE(c == shadow, normal.count({x, y}) == 1);
                if (c == highlight) {
                    ++highlights;
                    QVERIFY(normal.count({x - 1, y - 1}) == 1);
                }
            }
        QVERIFY(highlights > 0);
    }

    void glyphChoice_data()
    {
        QTest::addColumn<int>("cells");
        QTest::addColumn<TFrameStyle>("style");
        QTest::addColumn<bool>("autoGray");
        QTest::addColumn<QString>("state"); // i: inside, p: pressed, x: disabled
        QTest::addColumn<QString>("shown");  // 0..2: that cell, g: grey, e: embossed
        using enum TFrameStyle;
        QTest::newRow("1 explorer outside") << 1 << fsExplorer << true << "" << "g";
        QTest::newRow("1 explorer inside") << 1 << fsExplorer << true << "i" << "0";
        QTest::newRow("1 explorer no AutoGray") << 1 << fsExplorer << false << "" << "0";
        QTest::newRow("1 explorer disabled: embossed wins") << 1 << fsExplorer << true << "x" << "e";
        QTest::newRow("1 regular disabled") << 1 << fsRegular << true << "x" << "e";
        QTest::newRow("1 regular pressed") << 1 << fsRegular << true << "p" << "0";
        QTest::newRow("2 regular") << 2 << fsRegular << true << "" << "0";
        QTest::newRow("2 regular pressed") << 2 << fsRegular << true << "p" << "0";
        QTest::newRow("2 regular disabled") << 2 << fsRegular << true << "x" << "1";
        QTest::newRow("2 explorer disabled: grey") << 2 << fsExplorer << true << "x" << "g";
        QTest::newRow("3 regular") << 3 << fsRegular << true << "" << "0";
        QTest::newRow("3 regular pressed") << 3 << fsRegular << true << "p" << "2";
        QTest::newRow("3 regular disabled") << 3 << fsRegular << true << "x" << "1";
        QTest::newRow("3 explorer inside pressed") << 3 << fsExplorer << true << "ip" << "2";
        QTest::newRow("3 explorer outside pressed") << 3 << fsExplorer << true << "p" << "g";
        QTest::newRow("4 light pressed") << 4 << fsLight << true << "p" << "2";
    }
    void glyphChoice()
    {
        QFETCH(int, cells);
        QFETCH(TFrameStyle, style);
        QFETCH(bool, autoGray);
        QFETCH(QString, state);
        QFETCH(QString, shown);
        const std::vector<TColor> fills{clMaroon, clGreen, clNavy, clTeal};
        TTransparentButton button;
        button.resize(30, 30);
        button.SetFrameStyle(style);
        button.SetAutoGray(autoGray);
        button.SetGlyph(FramedCells({fills.begin(), fills.begin() + cells}, 10, clFuchsia));
        QCOMPARE(button.NumGlyphs(), cells);
        if (state.contains('i'))
            Enter(button);
        if (state.contains('p'))
            SendMouse(button, QEvent::MouseButtonPress, Qt::LeftButton, QPoint(15, 15));
        if (state.contains('x'))
            button.setEnabled(false);
        button.Paint();

        const int level = (11 * GetRValue(clMaroon) + 59 * GetGValue(clMaroon) + 30 * GetBValue(clMaroon)) / 100;
        const TColor expected = shown == "g"   ? RGBToColor(level, level, level)
                                : shown == "e" ? Resolve(clBtnShadow)
                                               : fills[std::size_t(shown.toInt())];
        const QPoint at = button.GlyphBox().topLeft() + (state.contains('p') ? QPoint(1, 1) : QPoint(0, 0));
        QCOMPARE(At(button.Image(), at.x() + 5, at.y() + 5), expected);
        // The key ring is left out; the embossed picture's key is the face.
        QCOMPARE(At(button.Image(), at.x() + 4, at.y()), clNoPixel);
    }

    void opaqueGlyphShowsKeyAsFace()
    {
        TTransparentButton button;
        button.resize(30, 30);
        button.SetFrameStyle(TFrameStyle::fsNone);
        button.SetGlyph(FramedCells({clMaroon}, 10, clFuchsia));
        button.SetTransparent(false);
        Enter(button);
        button.Paint();
        const QPoint at = button.GlyphBox().topLeft();
        QCOMPARE(At(button.Image(), at.x(), at.y()), Resolve(clBtnFace));
        QCOMPARE(At(button.Image(), at.x() + 5, at.y() + 5), clMaroon);
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 30; ++x)
                QVERIFY(At(button.Image(), x, y) != clFuchsia);
    }

    void mouseSequences_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("events");
        QTest::addColumn<QString>("pressedAfterEachStep");
        // pB:x,y press, rB:x,y release, dB:x,y double click, m:x,y move,
        // in/out pointer, down1/down0 Down, en0/en1 enabled.
        QTest::newRow("left click, dragged out and back")
            << "pL:5,5 m:50,5 m:6,6 rL:6,6" << "down L 5,5|move 50,5|move 6,6|click|up L 6,6" << "1010";
        QTest::newRow("released on the far edge is outside")
            << "pL:5,5 m:40,5 rL:40,5" << "down L 5,5|move 40,5|up L 40,5" << "100";
        QTest::newRow("released on the last pixel is inside")
            << "pL:5,5 m:39,39 rL:39,39" << "down L 5,5|move 39,39|click|up L 39,39" << "110";
        QTest::newRow("right button: pressed look, no click") << "pR:5,5 rR:5,5" << "down R 5,5|up R 5,5" << "10";
        QTest::newRow("press outside does not track")
            << "pR:-3,5 m:5,5 rR:5,5" << "down R -3,5|move 5,5|up R 5,5" << "000";
        QTest::newRow("second press ignored, first release ends the press")
            << "pL:5,5 pR:6,6 rR:6,6 rL:6,6" << "down L 5,5|up R 6,6|click" << "1100";
        QTest::newRow("Down keeps the pressed look")
            << "down1 pL:5,5 rL:5,5 down0" << "down L 5,5|click" << "1110";
        QTest::newRow("pointer in and out") << "in m:3,3 out" << "enter|move 3,3|exit" << "000";
        QTest::newRow("disabled ignores everything") << "en0 in pL:5,5 rL:5,5" << "" << "0000";
        QTest::newRow("disabling ends the press") << "pL:5,5 en0 en1 rL:5,5" << "down L 5,5" << "1000";
        QTest::newRow("double click is a press")
            << "pL:5,5 rL:5,5 dL:5,5 rL:5,5" << "down L 5,5|click|up L 5,5|down L 5,5|click|up L 5,5" << "1010";
    }
    void mouseSequences()
    {
        QFETCH(QString, script);
        QFETCH(QString, events);
        QFETCH(QString, pressedAfterEachStep);
        TTransparentButton button;
        Watch(button);
        QString pressed;
        for (const QString& step : script.split(' ')) {
            const QStringList parts = step.split(':');
            QPoint at;
            if (parts.size() == 2)
                at = QPoint(parts[1].section(',', 0, 0).toInt(), parts[1].section(',', 1, 1).toInt());
            const Qt::MouseButton b = step.size() > 1 && step[1] == 'R' ? Qt::RightButton : Qt::LeftButton;
            if (step.startsWith("in"))
                Enter(button);
            else if (step == "out")
                Leave(button);
            else if (step.startsWith("down"))
                button.SetDown(step.endsWith('1'));
            else if (step.startsWith("en"))
                button.setEnabled(step.endsWith('1'));
            else if (step[0] == 'p')
                SendMouse(button, QEvent::MouseButtonPress, b, at);
            else if (step[0] == 'd')
                SendMouse(button, QEvent::MouseButtonDblClick, b, at);
            else if (step[0] == 'r')
                SendMouse(button, QEvent::MouseButtonRelease, b, at);
            else if (step[0] == 'm')
                SendMouse(button, QEvent::MouseMove, Qt::NoButton, at);
            pressed += button.Pressed() ? '1' : '0';
        }
        QCOMPARE(log_.join('|'), events);
        QCOMPARE(pressed, pressedAfterEachStep);
        QVERIFY(!button.MouseHeld());
        QCOMPARE(button.Tracking(), button.Down());
    }

    void downRepaintsAtOnce()
    {
        QWidget parent;
        parent.resize(100, 100);
        auto* button = new TTransparentButton(&parent);
        button->SetFrameStyle(TFrameStyle::fsMono);
        parent.show();
        QVERIFY(QTest::qWaitForWindowExposed(&parent));
        button->SetDown(true);
        QCOMPARE(At(button->Image(), 0, 5), Resolve(cl3DDkShadow));
        button->SetDown(false);
        QCOMPARE(At(button->Image(), 0, 5), Resolve(clBtnHighlight));
    }

    void captureThroughTheWindowSystem()
    {
        QWidget parent;
        parent.resize(120, 120);
        auto* button = new TTransparentButton(&parent);
        button->move(10, 10);
        Watch(*button);
        parent.show();
        QVERIFY(QTest::qWaitForWindowExposed(&parent));
        QWindow* window = parent.windowHandle();

        QTest::mouseMove(window, QPoint(20, 20));
        QTRY_VERIFY(button->MouseInside());
        QTest::mousePress(window, Qt::LeftButton, {}, QPoint(20, 20));
        QVERIFY(button->Pressed());
        QTest::mouseMove(window, QPoint(100, 100)); // outside, still ours
        QVERIFY(!button->Pressed() && button->Tracking());
        QTest::mouseRelease(window, Qt::LeftButton, {}, QPoint(100, 100));
        QVERIFY(!button->MouseHeld() && !button->Tracking());
        QVERIFY(log_.contains("move 90,90") && log_.contains("up L 90,90") && !log_.contains("click"));

        log_.clear();
        QTest::mouseClick(window, Qt::LeftButton, {}, QPoint(25, 25));
        QCOMPARE(log_.filter("click").size(), 1);
    }

    // Dragged off while pressed, the button shows its normal look, grey
    // glyph and no frame, as soon as the pointer is off it, and its hover
    // look again when it comes back; each crossing is told once, the leave
    // Qt delivers after a release outside included.
    void crossingsWhilePressed_data()
    {
        QTest::addColumn<QString>("releaseInside");
        QTest::addColumn<QString>("events");
        QTest::newRow("released back on it") << "yes" << "enter|exit|enter|click";
        QTest::newRow("released off it") << "no" << "enter|exit|enter|exit";
    }

    void crossingsWhilePressed()
    {
        QFETCH(QString, releaseInside);
        QFETCH(QString, events);
        QWidget parent;
        parent.resize(120, 120);
        auto* button = new TTransparentButton(&parent);
        button->move(10, 10);
        button->SetGlyph(FramedCells({clMaroon}, 10, clFuchsia));
        button->OnMouseEnter = [this](QObject*) { log_ << "enter"; };
        button->OnMouseExit = [this](QObject*) { log_ << "exit"; };
        button->OnClick = [this](QObject*) { log_ << "click"; };
        log_.clear();
        parent.show();
        QVERIFY(QTest::qWaitForWindowExposed(&parent));
        QWindow* window = parent.windowHandle();
        const QPoint glyph = button->GlyphBox().center();
        const auto frame = [&] { return At(button->Image(), 0, 5); };
        const auto glyphColor = [&](int shift) { return At(button->Image(), glyph.x() + shift, glyph.y() + shift); };

        QTest::mouseMove(window, QPoint(30, 30));
        QTRY_VERIFY(button->MouseInside());
        QTest::mousePress(window, Qt::LeftButton, {}, QPoint(30, 30));
        QCOMPARE(frame(), Resolve(clBtnShadow));
        QCOMPARE(glyphColor(1), clMaroon);

        QTest::mouseMove(window, QPoint(100, 100));
        QVERIFY(!button->MouseInside());
        QCOMPARE(frame(), clNoPixel);
        QVERIFY(glyphColor(0) != clMaroon);

        QTest::mouseMove(window, QPoint(25, 25));
        QVERIFY(button->MouseInside());
        QCOMPARE(frame(), Resolve(clBtnShadow));
        QCOMPARE(glyphColor(1), clMaroon);

        const QPoint release = releaseInside == QLatin1String("yes") ? QPoint(25, 25) : QPoint(100, 100);
        if (release != QPoint(25, 25))
            QTest::mouseMove(window, release);
        QTest::mouseRelease(window, Qt::LeftButton, {}, release);
        QTest::mouseMove(window, release + QPoint(1, 1));
        QCOMPARE(log_.join('|'), events);
        QCOMPARE(button->MouseInside(), release == QPoint(25, 25));
        QCOMPARE(frame(), button->MouseInside() ? Resolve(clBtnHighlight) : clNoPixel);
    }

    void movable()
    {
        QWidget parent;
        parent.resize(200, 200);
        auto* button = new TTransparentButton(&parent);
        button->move(10, 10);
        button->SetMovable(true);
        SendMouse(*button, QEvent::MouseButtonPress, Qt::LeftButton, QPoint(5, 5));
        SendMouse(*button, QEvent::MouseMove, Qt::LeftButton, QPoint(15, 25));
        QCOMPARE(button->pos(), QPoint(20, 30));
        QVERIFY(button->Pressed());
        SendMouse(*button, QEvent::MouseButtonRelease, Qt::LeftButton, QPoint(5, 5));

        // Left Down, the button tracks the pointer but only a held press drags.
        button->SetDown(true);
        SendMouse(*button, QEvent::MouseMove, Qt::NoButton, QPoint(30, 30));
        QCOMPARE(button->pos(), QPoint(20, 30));
    }

    void popupMenu()
    {
        QWidget parent;
        parent.resize(200, 200);
        auto* button = new TTransparentButton(&parent);
        button->move(30, 20);
        auto* menu = new QMenu;
        menu->addAction("Jedna");
        button->SetPopUpMenu(menu);
        Watch(*button);
        parent.show();
        QVERIFY(QTest::qWaitForWindowExposed(&parent));

        QPoint shownAt(-1, -1);
        bool pressedWhileShown = false;
        std::function<void()> closeMenu = [&] {
            if (QWidget* popup = QApplication::activePopupWidget()) {
                shownAt = popup->pos();
                pressedWhileShown = button->Pressed();
                popup->close();
            } else {
                QTimer::singleShot(10, closeMenu);
            }
        };
        QTimer::singleShot(10, closeMenu);
        SendMouse(*button, QEvent::MouseButtonPress, Qt::LeftButton, QPoint(7, 8));
        QCOMPARE(shownAt, button->mapToGlobal(QPoint(0, 40)));
        QVERIFY(pressedWhileShown);
        QCOMPARE(log_.join('|'), QString("down L 7,8|up L 7,8"));
        QVERIFY(!button->Pressed() && !button->MouseHeld());
        // The press went to the menu: its late release clicks nothing.
        SendMouse(*button, QEvent::MouseButtonRelease, Qt::LeftButton, QPoint(7, 8));
        QCOMPARE(log_.size(), 2);

        delete menu;
        QCOMPARE(button->PopUpMenu(), nullptr);

        // Input already on its way when the menu closed is dropped; once the
        // event loop has turned, clicks reach the button again.
        QTest::mouseClick(parent.windowHandle(), Qt::LeftButton, {}, QPoint(40, 30));
        QCOMPARE(log_.size(), 2);
        QTest::qWait(50);
        QTest::mouseClick(parent.windowHandle(), Qt::LeftButton, {}, QPoint(40, 30));
        QCOMPARE(log_.join('|'), QString("down L 7,8|up L 7,8|down L 10,10|click|up L 10,10"));
    }

    void accelerator()
    {
        QWidget window;
        window.resize(100, 100);
        auto* button = new TTransparentButton(&window);
        button->SetCaption("&Ok");
        Watch(*button);
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));

        const auto clicks = [this] { return log_.filter("click").size(); };
        QTest::keyClick(&window, Qt::Key_O, Qt::AltModifier);
        QCOMPARE(clicks(), 1);
        button->setEnabled(false);
        QTest::keyClick(&window, Qt::Key_O, Qt::AltModifier);
        button->setEnabled(true);
        button->SetCaption("&Go");
        QTest::keyClick(&window, Qt::Key_O, Qt::AltModifier);
        QCOMPARE(clicks(), 1);
        QTest::keyClick(&window, Qt::Key_G, Qt::AltModifier);
        QCOMPARE(clicks(), 2);
    }
};

QTEST_MAIN(TransBtnTest)
#include "TransBtnTest.moc"
