// The LED scanner: a row of rectangular lamps in a bevelled frame, at most
// one of them lit, the lit one stepping along the row on a timer. It sizes
// itself to fit its lamps exactly and has no input behaviour of its own.
#pragma once

#include "shell/Colors.h"

#include <QElapsedTimer>
#include <QImage>
#include <QPointer>
#include <QRect>
#include <QWidget>

#include <array>
#include <cstdint>

class QTimer;
class TCanvas;

enum TScanColor : std::uint8_t { scBlue, scGreen, scRed, scYellow };
enum TScanMode : std::uint8_t { smLeftToRight, smRightToLeft, smBoth };
enum TBevelCut : std::uint8_t { bvNone, bvLowered, bvRaised, bvSpace };
// Placement inside the parent: alTop and alBottom take the parent's width,
// alLeft and alRight its height, alClient all of it. Each aligned control is
// placed against the parent's whole client area.
enum TAlign : std::uint8_t { alNone, alTop, alBottom, alLeft, alRight, alClient };

class TKITScanner : public QWidget {
    Q_OBJECT

public:
    static constexpr int MaxLeds = 100;

    explicit TKITScanner(QWidget* parent = nullptr);
    ~TKITScanner() override;

    TBevelCut BevelInner() const { return bevelInner_; }
    void SetBevelInner(TBevelCut value);
    TBevelCut BevelOuter() const { return bevelOuter_; }
    void SetBevelOuter(TBevelCut value);
    std::uint8_t BevelWidth() const { return bevelWidth_; }
    void SetBevelWidth(std::uint8_t value);
    // 1..100; anything outside is brought to the nearer end.
    std::uint8_t HowManyLeds() const { return howManyLeds_; }
    void SetHowManyLeds(int value);
    TScanColor ScanColor() const { return scanColor_; }
    void SetScanColor(TScanColor value);
    // Takes effect at the next tick, without a repaint.
    TScanMode ScanMode() const { return scanMode_; }
    void SetScanMode(TScanMode value) { scanMode_ = value; }
    bool Scanning() const { return scanTimer_ != nullptr; }
    void SetScanning(bool value);
    // Milliseconds per step; 0 or less stands the scan still.
    std::int32_t ScanSpeed() const { return scanSpeed_; }
    void SetScanSpeed(std::int32_t value);

    TAlign Align() const { return align_; }
    void SetAlign(TAlign value);
    // The background between and around the lamps. Until it is set it
    // follows the parent's colour.
    TColor Color() const;
    void SetColor(TColor value);
    bool ParentColor() const { return parentColor_; }
    void SetParentColor(bool value);

    // The state of the latest full paint and tick.
    TColor UnlitColor() const { return unlitColor_; }
    TColor LitColor() const { return litColor_; }
    std::uint8_t ScanPosition() const { return scanPosition_; }
    std::uint8_t ScanDirection() const { return scanDirection_; }
    int BevelTotal() const { return bevelTotal_; }
    std::int32_t LedHeight() const { return ledHeight_; }
    std::int32_t LedWidth() const { return ledWidth_; }
    // Left edge of lamp i, 1..100.
    std::int32_t LedLeft(int i) const;
    // Lamp i as [left, right) x [top, bottom).
    QRect LedRect(int i) const;

    bool HasTimer() const { return scanTimer_ != nullptr; }
    const QTimer* ScanTimer() const { return scanTimer_; }
    // What the control shows.
    const QImage& Image() const { return image_; }

    // The full paint: resizes the control to fit its lamps where it may,
    // draws frame, background and dark lamps, and shows them at once.
    void Paint();
    // Does the image have the control's size at the screen's density?
    bool ImageFits() const;
    // One step of the scan, shown at once.
    void ScanTick();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ScanTimerFired();
    int TimerInterval() const;
    // The next scan position, not yet shown.
    void Step();
    // Draws and repaints the lamps whose state the steps changed.
    void ShowStep();
    void LayOut(bool mayResize);
    bool ResizeTo(int width, int height);
    void DrawAll();
    bool LampsDrawable() const;
    // Every lamp in `color`; none lit.
    void FillLamps(TColor color);
    void FillLamp(TCanvas& canvas, int i, TColor color);
    void ApplyAlign();
    void WatchParent();
    void RunTimer();

    TBevelCut bevelInner_ = bvNone;
    TBevelCut bevelOuter_ = bvRaised;
    std::uint8_t bevelWidth_ = 1;
    std::uint8_t howManyLeds_ = 7;
    TScanColor scanColor_ = scRed;
    TScanMode scanMode_ = smBoth;
    std::int32_t scanSpeed_ = 100;
    TAlign align_ = alNone;
    TColor color_ = clBtnFace;
    bool parentColor_ = true;

    TColor unlitColor_ = clMaroon;
    TColor litColor_ = clRed;
    std::uint8_t scanPosition_ = 1;
    // The lamp lit in the image, 0 for none.
    std::uint8_t litLamp_ = 0;
    std::uint8_t scanDirection_ = 1;
    // Two bevels of up to 255 pixels each: wider than a byte.
    int bevelTotal_ = 0;
    std::int32_t ledHeight_ = 0;
    std::int32_t ledWidth_ = 0;
    std::array<std::int32_t, MaxLeds> ledLeft_{};

    QTimer* scanTimer_ = nullptr;
    // The timer wakes at most once per display frame and catches up on the
    // steps that fell due since the scan (re)started.
    QElapsedTimer scanClock_;
    std::int64_t stepsDone_ = 0;
    QImage image_;
    QWidget* watchedParent_ = nullptr;
    // An ancestor further up may be moved to another window and outlive
    // the watch, or not.
    QPointer<QWidget> watchedWindow_;
    // Set while the full paint resizes the control, so that the resize
    // does not start another one.
    bool layingOut_ = false;
};
