// The LED scanner: layout, drawing, the scan steps and the scan timer.
#include "controls/UKITScan.h"

#include "shell/Canvas.h"

#include <QEvent>
#include <QPainter>
#include <QPalette>
#include <QRegion>
#include <QScreen>
#include <QTimer>

#include <algorithm>

namespace {

struct TLampColors {
    TColor Unlit;
    TColor Lit;
};

constexpr TLampColors LampColors[] = {
    {clNavy, clBlue},     // scBlue
    {clGreen, clLime},    // scGreen
    {clMaroon, clRed},    // scRed
    {clOlive, clYellow},  // scYellow
};

TColor TopLeftOf(TBevelCut cut)
{
    return cut == bvLowered ? clBtnShadow : clBtnHighlight;
}

TColor BottomRightOf(TBevelCut cut)
{
    return cut == bvLowered ? clBtnHighlight : clBtnShadow;
}

bool WidthFollowsParent(TAlign align)
{
    return align == alTop || align == alBottom || align == alClient;
}

bool HeightFollowsParent(TAlign align)
{
    return align == alLeft || align == alRight || align == alClient;
}

} // namespace

TKITScanner::TKITScanner(QWidget* parent)
    : QWidget(parent)
{
    // Every pixel comes from the off-screen image.
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(82, 12);
    WatchParent();
}

TKITScanner::~TKITScanner()
{
    // The timer goes first, so no tick can reach a half-destroyed control.
    SetScanning(false);
}

void TKITScanner::SetBevelInner(TBevelCut value)
{
    if (value == bevelInner_)
        return;
    bevelInner_ = value;
    Paint();
}

void TKITScanner::SetBevelOuter(TBevelCut value)
{
    if (value == bevelOuter_)
        return;
    bevelOuter_ = value;
    Paint();
}

void TKITScanner::SetBevelWidth(std::uint8_t value)
{
    if (value == bevelWidth_)
        return;
    bevelWidth_ = value;
    Paint();
}

void TKITScanner::SetHowManyLeds(int value)
{
    const auto clamped = std::uint8_t(std::clamp(value, 1, MaxLeds));
    if (clamped == howManyLeds_)
        return;
    howManyLeds_ = clamped;
    Paint();
}

void TKITScanner::SetScanColor(TScanColor value)
{
    if (value == scanColor_)
        return;
    scanColor_ = value;
    Paint();
}

void TKITScanner::SetScanning(bool value)
{
    if (value == Scanning())
        return;
    if (value) {
        scanTimer_ = new QTimer(this);
        connect(scanTimer_, &QTimer::timeout, this, &TKITScanner::ScanTimerFired);
        scanTimer_->setInterval(TimerInterval());
        RunTimer();
    } else {
        delete scanTimer_;
        scanTimer_ = nullptr;
    }
}

void TKITScanner::SetScanSpeed(std::int32_t value)
{
    scanSpeed_ = value;
    if (!scanTimer_)
        return;
    scanTimer_->stop();
    scanTimer_->setInterval(TimerInterval());
    RunTimer();
}

int TKITScanner::TimerInterval() const
{
    // Qt fires a zero interval continuously; here it stands the scan still.
    // A step shorter than a display frame is never seen on its own: the
    // timer wakes once a frame and takes the steps due by then, so the scan
    // keeps its speed and what the screen shows at each frame is the same.
    const QScreen* shown = screen();
    const double hertz = shown && shown->refreshRate() > 1 ? shown->refreshRate() : 60.0;
    const int frameMs = std::max(1, static_cast<int>(1000.0 / hertz));
    return scanSpeed_ > 0 ? std::max(scanSpeed_, frameMs) : 0;
}

void TKITScanner::ScanTimerFired()
{
    if (scanSpeed_ <= 0)
        return;
    const std::int64_t due = scanClock_.elapsed() / scanSpeed_;
    // After a stall (a long handler, a suspended machine) the scan goes on
    // from where it is rather than racing through the missed steps.
    const std::int64_t steps = std::clamp<std::int64_t>(due - stepsDone_, 1, 2 * (howManyLeds_ + 2));
    stepsDone_ = std::max(due, stepsDone_ + 1);
    for (std::int64_t i = 0; i < steps; ++i)
        Step();
    ShowStep();
}

void TKITScanner::RunTimer()
{
    if (!scanTimer_)
        return;
    // A minimised window shows no lamps: the scan rests, and resumes from
    // where it stopped, rather than waking the processor a hundred times a
    // second for nothing.
    const bool run = scanSpeed_ > 0 && !(window()->windowState() & Qt::WindowMinimized);
    if (!run)
        scanTimer_->stop();
    else if (!scanTimer_->isActive()) {
        scanTimer_->start();
        scanClock_.start();
        stepsDone_ = 0;
    }
}

void TKITScanner::SetAlign(TAlign value)
{
    if (value == align_)
        return;
    align_ = value;
    ApplyAlign();
    Paint();
}

TColor TKITScanner::Color() const
{
    if (!parentColor_)
        return color_;
    const QWidget* parent = parentWidget();
    if (parent && parent->testAttribute(Qt::WA_SetPalette))
        return QRgbToColor(parent->palette().color(QPalette::Window).rgb());
    return clBtnFace;
}

void TKITScanner::SetColor(TColor value)
{
    if (!parentColor_ && value == color_)
        return;
    color_ = value;
    parentColor_ = false;
    Paint();
}

void TKITScanner::SetParentColor(bool value)
{
    if (value == parentColor_)
        return;
    parentColor_ = value;
    Paint();
}

std::int32_t TKITScanner::LedLeft(int i) const
{
    return i >= 1 && i <= MaxLeds ? ledLeft_[i - 1] : 0;
}

QRect TKITScanner::LedRect(int i) const
{
    const int top = bevelTotal_ + 1;
    return QRect(LedLeft(i), top, ledWidth_, ledHeight_);
}

void TKITScanner::Paint()
{
    LayOut(true);
    DrawAll();
    repaint();
}

// Works out the lamp geometry for the present size, first resizing the
// control where its lamps do not fit. A size the control cannot take (its
// parent dictates it through Align, or size limits forbid it) is kept, and
// the lamps shrink to nothing rather than turn negative.
void TKITScanner::LayOut(bool mayResize)
{
    const int n = howManyLeds_;
    // Each pass either settles or resizes once; the bound only guards
    // against a size the windowing system keeps changing back.
    for (int pass = 0; pass < 8; ++pass) {
        bevelTotal_ = (bevelInner_ != bvNone ? bevelWidth_ : 0) + (bevelOuter_ != bvNone ? bevelWidth_ : 0);
        const int b = bevelTotal_;

        ledHeight_ = height() - 2 * b - 2;
        if (ledHeight_ < 1) {
            if (mayResize && ResizeTo(width(), 2 * b + 3))
                continue;
            ledHeight_ = 0;
        }

        ledWidth_ = (width() - 2 * b - 1 - n) / n;
        if (ledWidth_ < 1) {
            if (mayResize && ResizeTo(2 * b + 1 + 2 * n, height()))
                continue;
            ledWidth_ = 0;
        }

        const int fitted = 2 * b + 1 + n * (ledWidth_ + 1);
        const bool exactWidth = align_ == alNone || align_ == alLeft || align_ == alRight;
        if (fitted != width() && exactWidth && mayResize && ResizeTo(fitted, height()))
            continue;
        break;
    }

    unlitColor_ = LampColors[scanColor_].Unlit;
    litColor_ = LampColors[scanColor_].Lit;
    ledLeft_[0] = bevelTotal_ + 1;
    for (int i = 1; i < n; ++i)
        ledLeft_[i] = ledLeft_[i - 1] + ledWidth_ + 1;
}

bool TKITScanner::ResizeTo(int width, int height)
{
    if (parentWidget()) {
        if (WidthFollowsParent(align_))
            width = this->width();
        if (HeightFollowsParent(align_))
            height = this->height();
    }
    const QSize before = size();
    if (QSize(width, height) == before)
        return false;
    layingOut_ = true;
    resize(width, height);
    ApplyAlign();
    layingOut_ = false;
    return size() != before;
}

void TKITScanner::DrawAll()
{
    if (size().isEmpty()) {
        image_ = QImage();
        litLamp_ = 0;
        return;
    }
    // At the screen's own resolution, so the lamps and bevels stay sharp on
    // a dense screen.
    if (!ImageFits())
        image_ = DeviceImage(size(), devicePixelRatioF(), QImage::Format_RGB32);
    TCanvas canvas(image_);

    QRect frame = rect();
    if (bevelOuter_ != bvNone)
        DrawBevelFrame(canvas, frame, TopLeftOf(bevelOuter_), BottomRightOf(bevelOuter_), bevelWidth_);
    if (bevelInner_ != bvNone)
        DrawBevelFrame(canvas, frame, TopLeftOf(bevelInner_), BottomRightOf(bevelInner_), bevelWidth_);

    const int b = bevelTotal_;
    const QRect background = rect().adjusted(b, b, -b, -b);
    if (background.isValid()) {
        canvas.Brush = TBrush{Color(), TBrushStyle::bsSolid};
        canvas.FillRect(background);
    }
    FillLamps(unlitColor_);
}

bool TKITScanner::LampsDrawable() const
{
    return !image_.isNull() && ledWidth_ > 0 && ledHeight_ > 0;
}

void TKITScanner::FillLamps(TColor color)
{
    litLamp_ = 0;
    if (!LampsDrawable())
        return;
    TCanvas canvas(image_);
    canvas.Brush = TBrush{color, TBrushStyle::bsSolid};
    for (int i = 1; i <= howManyLeds_; ++i)
        canvas.FillRect(LedRect(i));
}

void TKITScanner::FillLamp(TCanvas& canvas, int i, TColor color)
{
    canvas.Brush = TBrush{color, TBrushStyle::bsSolid};
    canvas.FillRect(LedRect(i));
}

void TKITScanner::ScanTick()
{
    Step();
    ShowStep();
}

void TKITScanner::Step()
{
    const int n = howManyLeds_;
    switch (scanMode_) {
    case smLeftToRight:
        scanDirection_ = 1;
        scanPosition_ = scanPosition_ <= n ? scanPosition_ + 1 : 0;
        break;
    case smRightToLeft:
        scanDirection_ = 0;
        scanPosition_ = scanPosition_ >= 1 ? scanPosition_ - 1 : n + 1;
        break;
    case smBoth:
        // At each end the direction turns on a tick of its own, so the row
        // stays dark for two ticks there.
        if (scanDirection_ == 1) {
            if (scanPosition_ > n)
                scanDirection_ = 0;
            else
                ++scanPosition_;
        } else {
            if (scanPosition_ < 1)
                scanDirection_ = 1;
            else
                --scanPosition_;
        }
        break;
    }
}

void TKITScanner::ShowStep()
{
    // The row shows one lit lamp at most, all others dark: only the lamp
    // that goes dark and the one that lights up are drawn and repainted, at
    // up to a hundred steps a second.
    const int lit = scanPosition_ >= 1 && scanPosition_ <= howManyLeds_ && LampsDrawable() ? scanPosition_ : 0;
    if (lit == litLamp_)
        return;
    QRegion changed;
    TCanvas canvas(image_);
    if (litLamp_ != 0) {
        FillLamp(canvas, litLamp_, unlitColor_);
        changed += LedRect(litLamp_);
    }
    if (lit != 0) {
        FillLamp(canvas, lit, litColor_);
        changed += LedRect(lit);
    }
    litLamp_ = static_cast<std::uint8_t>(lit);
    // Painted from within the tick: a posted update would cost the event
    // loop a second wake-up per tick. Nothing is painted while the control
    // is hidden or its window is unmapped (minimised); what it shows then
    // comes from the image.
    repaint(changed);
}

void TKITScanner::ApplyAlign()
{
    QWidget* parent = parentWidget();
    if (!parent || align_ == alNone)
        return;
    const QRect area = parent->rect();
    QRect placed = geometry();
    switch (align_) {
    case alTop:
        placed = QRect(area.left(), area.top(), area.width(), height());
        break;
    case alBottom:
        placed = QRect(area.left(), area.top() + area.height() - height(), area.width(), height());
        break;
    case alLeft:
        placed = QRect(area.left(), area.top(), width(), area.height());
        break;
    case alRight:
        placed = QRect(area.left() + area.width() - width(), area.top(), width(), area.height());
        break;
    case alClient:
        placed = area;
        break;
    case alNone:
        break;
    }
    if (placed != geometry())
        setGeometry(placed);
}

void TKITScanner::WatchParent()
{
    // The parent for its size (Align), the window for being minimised.
    for (QWidget* old : {watchedParent_, watchedWindow_.data()})
        if (old)
            old->removeEventFilter(this);
    watchedParent_ = parentWidget();
    watchedWindow_ = window() != this ? window() : nullptr;
    for (QWidget* watched : {watchedParent_, watchedWindow_.data()})
        if (watched)
            watched->installEventFilter(this);
}

bool TKITScanner::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == watchedParent_ && event->type() == QEvent::Resize)
        ApplyAlign();
    if (watched == watchedWindow_ && event->type() == QEvent::WindowStateChange)
        RunTimer();
    return QWidget::eventFilter(watched, event);
}

bool TKITScanner::ImageFits() const
{
    // A move to a screen of another density counts as a new size.
    return image_.deviceIndependentSize().toSize() == size() && image_.devicePixelRatio() == devicePixelRatioF();
}

void TKITScanner::paintEvent(QPaintEvent* /*event*/)
{
    // The image always follows the size; this only covers a paint that
    // somehow comes before it, without resizing from inside a paint.
    if (!ImageFits()) {
        LayOut(false);
        DrawAll();
    }
    QPainter painter(this);
    painter.drawImage(0, 0, image_);
}

void TKITScanner::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (layingOut_)
        return;
    LayOut(true);
    DrawAll();
}

void TKITScanner::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    switch (event->type()) {
    case QEvent::ParentChange:
        WatchParent();
        ApplyAlign();
        Paint();
        RunTimer();
        break;
    case QEvent::WindowStateChange: // a scanner that is a window itself
        RunTimer();
        break;
    case QEvent::PaletteChange:
        // The bevels and a parent's colour come from the palette.
        Paint();
        break;
    default:
        break;
    }
}
