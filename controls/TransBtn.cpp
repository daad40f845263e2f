// The transparent glyph button: image building, painting and mouse handling.
#include "controls/TransBtn.h"

#include "controls/PointerCrossing.h"
#include "shell/Canvas.h"

#include <QApplication>
#include <QColor>
#include <QEnterEvent>
#include <QFocusEvent>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QShortcutEvent>
#include <QStyle>
#include <QStyleOptionFocusRect>
#include <QTimer>

#include <algorithm>
#include <climits>

namespace {

QRect Bounds(int left, int top, int right, int bottom)
{
    return QRect(left, top, right - left, bottom - top);
}

TColor PlainColor(TColor color)
{
    return QRgbToColor(ColorToQColor(color).rgb());
}

TColor PixelColor(const QImage& image, int x, int y)
{
    return QRgbToColor(image.pixel(x, y));
}

// Swallows the mouse input that was queued while a popup menu was open (the
// click that closed it, its release), so it does not reach whatever lies
// under the pointer. It stays until no mouse button is down any more.
class TPendingMouseDiscarder : public QObject {
public:
    explicit TPendingMouseDiscarder(QObject* parent)
        : QObject(parent)
    {
        timer_.setInterval(10);
        connect(&timer_, &QTimer::timeout, this, [this] {
            if (QGuiApplication::mouseButtons() == Qt::NoButton) {
                timer_.stop();
                qApp->removeEventFilter(this);
                deleteLater();
            }
        });
        timer_.start();
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
            // Only input from the window system; events sent by code pass.
            if (event->spontaneous())
                return true;
            break;
        default:
            break;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QTimer timer_;
};

void DiscardPendingMouseEvents()
{
    for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease,
                                    QEvent::MouseButtonDblClick, QEvent::MouseMove})
        QCoreApplication::removePostedEvents(nullptr, type);
    qApp->installEventFilter(new TPendingMouseDiscarder(qApp));
}

} // namespace

TTransparentButton::TTransparentButton(QWidget* owner)
    : QWidget(owner)
{
    setGeometry(0, 0, 40, 40);
    // Moves arrive without a button held too, for OnMouseMove and hover.
    setMouseTracking(true);
    // Reachable by Tab like any button; a click does not take the focus.
    setFocusPolicy(Qt::TabFocus);
}

TTransparentButton::~TTransparentButton()
{
    if (acceleratorId_ != 0)
        releaseShortcut(acceleratorId_);
}

void TTransparentButton::SetBorderWidth(std::uint32_t value)
{
    if (value == borderWidth_)
        return;
    borderWidth_ = value;
    update();
}

void TTransparentButton::SetCaption(const QString& value)
{
    if (value == caption_)
        return;
    caption_ = value;
    GrabAccelerator();
    update();
}

void TTransparentButton::SetDown(bool value)
{
    if (value == down_)
        return;
    down_ = value;
    tracking_ = value;
    pressed_ = value;
    repaint();
}

void TTransparentButton::SetFrameStyle(TFrameStyle value)
{
    if (value == frameStyle_)
        return;
    frameStyle_ = value;
    update();
}

void TTransparentButton::SetGlyph(const QImage& value)
{
    // A bitmap has no alpha channel: whatever comes in is drawn opaque.
    glyph_ = value.isNull() ? QImage() : value.convertToFormat(QImage::Format_RGB32);
    GlyphChanged();
    update();
}

void TTransparentButton::SetNumGlyphs(TNumGlyphs value)
{
    value = std::clamp(value, 1, 4);
    if (value == numGlyphs_)
        return;
    numGlyphs_ = value;
    update();
}

void TTransparentButton::SetSpacing(std::int32_t value)
{
    if (value == spacing_)
        return;
    spacing_ = value;
    update();
}

void TTransparentButton::SetTextAlign(TTextAlign value)
{
    if (value == textAlign_)
        return;
    textAlign_ = value;
    update();
}

void TTransparentButton::SetTransparent(bool value)
{
    if (value == transparent_)
        return;
    transparent_ = value;
    update();
}

void TTransparentButton::SetWordWrap(bool value)
{
    if (value == wordWrap_)
        return;
    wordWrap_ = value;
    update();
}

void TTransparentButton::GrabAccelerator()
{
    if (acceleratorId_ != 0)
        releaseShortcut(acceleratorId_);
    acceleratorId_ = 0;
    const QKeySequence accelerator = QKeySequence::mnemonic(caption_);
    if (!accelerator.isEmpty())
        acceleratorId_ = grabShortcut(accelerator);
}

// ---------------------------------------------------------------------------
// The glyph's images

void TTransparentButton::GlyphChanged()
{
    update();
    if (glyph_.height() == 0)
        return;
    if (glyph_.width() % glyph_.height() == 0) {
        const int cells = glyph_.width() / glyph_.height();
        SetNumGlyphs(cells > 4 ? 1 : cells);
    }
    BuildGlyphImages();
}

void TTransparentButton::BuildGlyphImages()
{
    if (glyph_.isNull())
        return;
    glyphImages_.clear();
    // A glyph narrower than its cell count is shown whole in every state
    // rather than as empty pictures.
    int cellWidth = glyph_.width() / numGlyphs_;
    if (cellWidth <= 0)
        cellWidth = glyph_.width();
    const int height = glyph_.height();
    const auto add = [this](const QImage& image) {
        glyphImages_.push_back({image, PixelColor(image, 0, image.height() - 1)});
    };
    for (int i = 0; i < numGlyphs_; ++i) {
        const int left = (i + 1) * cellWidth <= glyph_.width() ? i * cellWidth : 0;
        const QImage cell = glyph_.copy(left, 0, cellWidth, height);
        if (i == 0) {
            grayGlyph_ = MakeGrayBitmap(cell);
            disabledGlyph_ = MakeDisabledBitmap(cell);
        }
        add(cell);
    }
    add(grayGlyph_);
    add(disabledGlyph_);
    update();
}

QImage TTransparentButton::MakeGrayBitmap(const QImage& cell)
{
    QImage gray = cell.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < gray.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(gray.scanLine(y));
        for (int x = 0; x < gray.width(); ++x) {
            // Red and blue weights are swapped against the usual luma on purpose.
            const int level = (11 * qRed(line[x]) + 59 * qGreen(line[x]) + 30 * qBlue(line[x])) / 100;
            line[x] = qRgb(level, level, level);
        }
    }
    return gray;
}

QImage TTransparentButton::MakeDisabledBitmap(const QImage& cell)
{
    const QImage source = cell.convertToFormat(QImage::Format_RGB32);
    const int width = source.width(), height = source.height();
    QImage result(width, height, QImage::Format_RGB32);
    if (result.isNull())
        return result;
    // Two tones: white and the background (the top-left colour) against
    // everything else, which is what gets embossed.
    const TColor background = PixelColor(source, 0, 0);
    std::vector<bool> ink(std::size_t(width) * std::size_t(height));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const TColor color = PixelColor(source, x, y);
            ink[std::size_t(y) * width + x] = color != clWhite && color != background;
        }

    result.fill(ColorToQColor(clBtnFace));
    TCanvas canvas(result);
    const TColor highlight = PlainColor(clBtnHighlight), shadow = PlainColor(clBtnShadow);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (ink[std::size_t(y) * width + x])
                canvas.SetPixel(x + 1, y + 1, highlight);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (ink[std::size_t(y) * width + x])
                canvas.SetPixel(x, y, shadow);
    return result;
}

// ---------------------------------------------------------------------------
// Painting

int TTransparentButton::PenWidth() const
{
    return borderWidth_ > unsigned(INT_MAX) ? INT_MAX : int(borderWidth_);
}

int TTransparentButton::CaptionFlags() const
{
    return Qt::TextShowMnemonic | (wordWrap_ ? Qt::TextWordWrap : Qt::TextSingleLine);
}

QRect TTransparentButton::GlyphBox() const
{
    const int w = width(), h = height();
    int cw = glyph_.width() / numGlyphs_;
    if (cw <= 0)
        cw = glyph_.width();
    const int gh = glyph_.height();
    int gy, gx;
    switch (textAlign_) {
    case TTextAlign::ttaBottomRight:
    case TTextAlign::ttaBottom:
    case TTextAlign::ttaBottomLeft:
        gy = spacing_;
        break;
    case TTextAlign::ttaTopLeft:
    case TTextAlign::ttaTop:
    case TTextAlign::ttaTopRight:
        gy = h - gh - spacing_;
        break;
    default:
        gy = (h - gh) / 2;
        break;
    }
    switch (textAlign_) {
    case TTextAlign::ttaLeft:
        gx = w - cw - spacing_;
        break;
    case TTextAlign::ttaRight:
        gx = spacing_;
        break;
    default:
        gx = (w - cw) / 2;
        break;
    }
    return QRect(gx, gy, cw, gh);
}

QRect TTransparentButton::CaptionBox() const
{
    if (caption_.isEmpty())
        return QRect();
    const int w = width(), h = height(), spacing = spacing_;
    const QSize text = QFontMetrics(font()).boundingRect(QRect(0, 0, w, h), CaptionFlags(), caption_).size();
    const int tw = text.width(), th = text.height();
    const QRect glyph = GlyphBox();
    const int above = glyph.top() - th - spacing;
    const int below = glyph.top() + glyph.height() + spacing;
    const int right = w - tw - spacing;
    // Each half is cut on its own, which can place the box one pixel left
    // of or above the exact centre.
    const int centreX = w / 2 - tw / 2, centreY = h / 2 - th / 2;
    QPoint at;
    switch (textAlign_) {
    case TTextAlign::ttaTopLeft: at = {spacing, above}; break;
    case TTextAlign::ttaTop: at = {centreX, above}; break;
    case TTextAlign::ttaTopRight: at = {right, above}; break;
    case TTextAlign::ttaRight: at = {right, centreY}; break;
    case TTextAlign::ttaBottomRight: at = {right, below}; break;
    case TTextAlign::ttaBottom: at = {centreX, below}; break;
    case TTextAlign::ttaBottomLeft: at = {spacing, below}; break;
    case TTextAlign::ttaLeft: at = {spacing, centreY}; break;
    case TTextAlign::ttaCenter: at = {centreX, centreY}; break;
    }
    return QRect(at, QSize(tw, th));
}

void TTransparentButton::Paint()
{
    if (width() <= 0 || height() <= 0) {
        image_ = QImage();
        return;
    }
    // At the screen's own resolution: frames and caption are drawn in its
    // pixels, not enlarged from a small picture.
    image_ = DeviceImage(size(), devicePixelRatioF(), QImage::Format_ARGB32_Premultiplied);
    image_.fill(Qt::transparent);
    TCanvas canvas(image_);
    canvas.Brush.Color = clBtnFace;
    canvas.Pen.Color = clBlack;
    canvas.Pen.Width = PenWidth();
    DrawFrames(canvas);
    if (!glyph_.isNull())
        DrawGlyph(canvas);
    if (!caption_.isEmpty())
        DrawCaption(canvas);
}

void TTransparentButton::DrawFrames(TCanvas& canvas)
{
    const int w = width(), h = height(), bw = PenWidth();
    QRect rect;
    switch (frameStyle_) {
    case TFrameStyle::fsRegular:
        if (!transparent_) {
            canvas.Rectangle(1, 1, w, h);
        } else {
            rect = Bounds(1, 1, w, h);
            DrawBevelFrame(canvas, rect, clBlack, clBlack, bw);
        }
        break;
    case TFrameStyle::fsIndent:
        canvas.Pen.Color = clBtnShadow;
        if (!transparent_) {
            canvas.Rectangle(0, 0, w - 1, h - 1);
        } else {
            rect = Bounds(0, 0, w - 1, h - 1);
            DrawBevelFrame(canvas, rect, clBtnShadow, clBtnShadow, bw);
        }
        rect = Bounds(1, 1, w, h);
        DrawBevelFrame(canvas, rect, clBtnHighlight, clBtnHighlight, bw);
        break;
    default:
        if (!transparent_)
            canvas.FillRect(Bounds(0, 0, w, h));
        break;
    }

    rect = Bounds(0, 0, w, h);
    const auto frame = [&](TColor topLeft, TColor bottomRight, int thickness) {
        DrawBevelFrame(canvas, rect, topLeft, bottomRight, thickness);
    };
    switch (frameStyle_) {
    case TFrameStyle::fsRegular:
    case TFrameStyle::fsIndent:
        if (pressed_) {
            if (showPressed_) {
                frame(clBlack, clBtnHighlight, bw);
                frame(clBtnShadow, clBtnFace, bw);
            }
        } else if (frameStyle_ == TFrameStyle::fsRegular) {
            frame(clBtnHighlight, clBlack, bw);
            frame(clBtnFace, clBtnShadow, bw);
        } else {
            frame(clBtnShadow, clBtnHighlight, bw);
        }
        break;
    case TFrameStyle::fsExplorer:
        if (pressed_) {
            if (mouseInside_ || down_) {
                if (showPressed_)
                    frame(clBtnShadow, clBtnHighlight, bw);
                else
                    frame(clBtnHighlight, clBtnShadow, bw);
            }
        } else if (mouseInside_) {
            frame(clBtnHighlight, clBtnShadow, bw);
        }
        break;
    case TFrameStyle::fsNone:
        break;
    case TFrameStyle::fsLight:
        if (!pressed_)
            frame(clBtnHighlight, clBtnShadow, 1);
        else if (showPressed_)
            frame(clBtnShadow, clBtnHighlight, 1);
        break;
    case TFrameStyle::fsDark:
        if (!pressed_)
            frame(clBtnFace, cl3DDkShadow, 1);
        else if (showPressed_)
            frame(cl3DDkShadow, clBtnFace, 1);
        break;
    case TFrameStyle::fsMono:
        if (!pressed_)
            frame(clBtnHighlight, cl3DDkShadow, 1);
        else if (showPressed_)
            frame(cl3DDkShadow, clBtnHighlight, 1);
        break;
    }
}

void TTransparentButton::DrawGlyph(TCanvas& canvas)
{
    if (glyphImages_.size() < 3)
        return;
    int index = 0;
    if (numGlyphs_ == 2)
        index = isEnabled() ? 0 : 1;
    else if (numGlyphs_ >= 3)
        index = !isEnabled() ? 1 : pressed_ ? 2 : 0;
    const TMaskedImage* image = &glyphImages_[std::size_t(index)];
    // The grey and embossed pictures always sit at the end of the list.
    if (frameStyle_ == TFrameStyle::fsExplorer && autoGray_ && !mouseInside_)
        image = &glyphImages_[glyphImages_.size() - 2];
    if (!isEnabled() && numGlyphs_ == 1)
        image = &glyphImages_.back();

    QPoint at = GlyphBox().topLeft();
    if (pressed_ && showPressed_)
        at += QPoint(1, 1);
    DrawMasked(canvas, at.x(), at.y(), *image);
}

void TTransparentButton::DrawMasked(TCanvas& canvas, int x, int y, const TMaskedImage& image)
{
    if (transparent_) {
        canvas.DrawTransparent(x, y, image.Image, image.KeyColor);
        return;
    }
    const TColor face = PlainColor(clBtnFace);
    for (int row = 0; row < image.Image.height(); ++row)
        for (int column = 0; column < image.Image.width(); ++column) {
            const TColor color = PixelColor(image.Image, column, row);
            canvas.SetPixel(x + column, y + row, color == image.KeyColor ? face : color);
        }
}

void TTransparentButton::DrawCaption(TCanvas& canvas)
{
    QRect box = CaptionBox();
    if (pressed_ && showPressed_)
        box.translate(1, 1);
    QPainter painter(&canvas.Image());
    painter.setFont(font());
    const int flags = Qt::AlignHCenter | Qt::AlignTop | Qt::TextDontClip | CaptionFlags();
    if (isEnabled()) {
        painter.setPen(palette().color(QPalette::Active, foregroundRole()));
        painter.drawText(box, flags, caption_);
    } else {
        painter.setPen(ColorToQColor(clBtnHighlight));
        painter.drawText(box.translated(1, 1), flags, caption_);
        painter.setPen(ColorToQColor(clBtnShadow));
        painter.drawText(box, flags, caption_);
    }
}

void TTransparentButton::paintEvent(QPaintEvent*)
{
    Paint();
    if (image_.isNull())
        return;
    QPainter painter(this);
    painter.drawImage(0, 0, image_);
    if (focusMarked_ && hasFocus()) {
        QStyleOptionFocusRect option;
        option.initFrom(this);
        option.rect = rect().adjusted(3, 3, -3, -3);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
    }
}

// ---------------------------------------------------------------------------
// Mouse, pointer, enabled state and accelerator

void TTransparentButton::MouseDown(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y)
{
    if (!isEnabled() || mouseHeld_)
        return;
    mouseHeld_ = true;
    followCrossings_ = mouseInside_;
    const QPointer<TTransparentButton> alive(this);
    if (OnMouseDown) {
        OnMouseDown(this, Button, Shift, X, Y);
        if (!alive)
            return;
    }
    if (movable_) {
        dragX_ = X;
        dragY_ = Y;
    }
    if (Inside(X, Y)) {
        tracking_ = true;
        pressed_ = true;
        repaint();
    }
    if (QMenu* menu = popUpMenu_) {
        menu->exec(mapToGlobal(QPoint(0, height())));
        if (!alive)
            return;
        // The menu has had the press; it must not also click the button.
        DiscardPendingMouseEvents();
        clickPending_ = false;
        MouseUp(Button, Shift, X, Y);
    }
}

void TTransparentButton::MouseMove(Qt::KeyboardModifiers Shift, int X, int Y)
{
    if (!isEnabled())
        return;
    const QPointer<TTransparentButton> alive(this);
    if (OnMouseMove) {
        OnMouseMove(this, Shift, X, Y);
        if (!alive)
            return;
    }
    if (!tracking_)
        return;
    // Only a held press drags: a button left Down also tracks, and would
    // otherwise chase the pointer around the window.
    if (movable_ && mouseHeld_)
        move(x() + X - dragX_, y() + Y - dragY_);
    if (Inside(X, Y) && !pressed_) {
        pressed_ = true;
        repaint();
    } else if (!Inside(X, Y) && pressed_) {
        pressed_ = false;
        repaint();
    }
}

void TTransparentButton::MouseUp(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y)
{
    if (!isEnabled() || !mouseHeld_)
        return;
    mouseHeld_ = false;
    if (down_)
        return;
    const QPointer<TTransparentButton> alive(this);
    if (OnMouseUp) {
        OnMouseUp(this, Button, Shift, X, Y);
        if (!alive)
            return;
    }
    tracking_ = false;
    pressed_ = false;
    repaint();
}

void TTransparentButton::Click()
{
    if (OnClick)
        OnClick(this);
}

void TTransparentButton::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // A press from the keyboard is a whole click; a held mouse press
        // or a toggle left down keeps its own course.
        if (isEnabled() && !mouseHeld_ && !event->isAutoRepeat()) {
            event->accept();
            focusMarked_ = true;
            update();
            Click();
        }
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}

void TTransparentButton::focusInEvent(QFocusEvent* event)
{
    QWidget::focusInEvent(event);
    focusMarked_ = event->reason() == Qt::TabFocusReason || event->reason() == Qt::BacktabFocusReason;
    update();
}

void TTransparentButton::focusOutEvent(QFocusEvent* event)
{
    QWidget::focusOutEvent(event);
    focusMarked_ = false;
    update();
}

void TTransparentButton::mousePressEvent(QMouseEvent* event)
{
    event->accept();
    if (!isEnabled())
        return;
    if (event->button() == Qt::LeftButton)
        clickPending_ = true;
    const QPoint at = event->position().toPoint();
    MouseDown(event->button(), event->modifiers(), at.x(), at.y());
}

void TTransparentButton::mouseMoveEvent(QMouseEvent* event)
{
    event->accept();
    const QPoint at = event->position().toPoint();
    const QPointer<TTransparentButton> alive(this);
    MouseMove(event->modifiers(), at.x(), at.y());
    if (!alive || !mouseHeld_ || !followCrossings_ || !isEnabled())
        return;
    switch (CrossingWhilePressed(*this, at, mouseInside_)) {
    case TCrossing::crEntered:
        PointerEntered();
        break;
    case TCrossing::crLeft:
        PointerLeft();
        break;
    case TCrossing::crNone:
        break;
    }
}

void TTransparentButton::mouseReleaseEvent(QMouseEvent* event)
{
    event->accept();
    if (!isEnabled())
        return;
    const QPoint at = event->position().toPoint();
    if (event->button() == Qt::LeftButton && clickPending_) {
        clickPending_ = false;
        if (Inside(at.x(), at.y())) {
            const QPointer<TTransparentButton> alive(this);
            Click();
            if (!alive)
                return;
        }
    }
    MouseUp(event->button(), event->modifiers(), at.x(), at.y());
}

void TTransparentButton::enterEvent(QEnterEvent* event)
{
    QWidget::enterEvent(event);
    // Already known when a press made the crossing up.
    if (isEnabled() && !mouseInside_)
        PointerEntered();
}

void TTransparentButton::leaveEvent(QEvent* event)
{
    QWidget::leaveEvent(event);
    // The leave Qt delivers after a release outside was made up already.
    if (isEnabled() && mouseInside_)
        PointerLeft();
}

void TTransparentButton::PointerEntered()
{
    mouseInside_ = true;
    const QPointer<TTransparentButton> alive(this);
    if (OnMouseEnter) {
        OnMouseEnter(this);
        if (!alive)
            return;
    }
    if (frameStyle_ == TFrameStyle::fsExplorer)
        repaint();
}

void TTransparentButton::PointerLeft()
{
    mouseInside_ = false;
    const QPointer<TTransparentButton> alive(this);
    if (OnMouseExit) {
        OnMouseExit(this);
        if (!alive)
            return;
    }
    if (frameStyle_ == TFrameStyle::fsExplorer)
        repaint();
}

void TTransparentButton::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::EnabledChange) {
        if (!isEnabled()) {
            pressed_ = false;
            tracking_ = false;
            mouseHeld_ = false;
            mouseInside_ = false;
            clickPending_ = false;
        }
        repaint();
    }
    QWidget::changeEvent(event);
}

bool TTransparentButton::event(QEvent* event)
{
    if (event->type() == QEvent::Shortcut) {
        const auto* shortcut = static_cast<QShortcutEvent*>(event);
        if (acceleratorId_ != 0 && shortcut->shortcutId() == acceleratorId_ && isEnabled()) {
            Click();
            return true;
        }
    }
    return QWidget::event(event);
}
