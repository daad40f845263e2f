// The transparent glyph button: a push button that draws its picture and an
// optional caption straight over its parent, inside one of seven frame looks.
// It makes greyed and embossed versions of its picture itself, can stay down
// as a toggle, can be dragged around its parent and can open a popup menu.
#pragma once

#include "shell/Colors.h"

#include <QImage>
#include <QMenu>
#include <QPointer>
#include <QRect>
#include <QString>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <vector>

class TCanvas;

// The order is that of the stored form data.
enum class TFrameStyle : std::uint8_t { fsRegular, fsIndent, fsExplorer, fsNone, fsLight, fsDark, fsMono };
enum class TTextAlign : std::uint8_t {
    ttaTopLeft,
    ttaTop,
    ttaTopRight,
    ttaRight,
    ttaBottomRight,
    ttaBottom,
    ttaBottomLeft,
    ttaLeft,
    ttaCenter
};
using TNumGlyphs = int; // 1..4

// One picture of the button's image list and the colour it leaves out: the
// colour of the picture's own bottom-left pixel.
struct TMaskedImage {
    QImage Image;
    TColor KeyColor = clBlack;
};

class TTransparentButton : public QWidget {
    Q_OBJECT

public:
    using TNotifyEvent = std::function<void(QObject* Sender)>;
    using TMouseEvent =
        std::function<void(QObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y)>;
    using TMouseMoveEvent = std::function<void(QObject* Sender, Qt::KeyboardModifiers Shift, int X, int Y)>;

    explicit TTransparentButton(QWidget* owner = nullptr);
    ~TTransparentButton() override;

    bool AutoGray() const { return autoGray_; }
    void SetAutoGray(bool value) { autoGray_ = value; }
    std::uint32_t BorderWidth() const { return borderWidth_; }
    void SetBorderWidth(std::uint32_t value);
    const QString& Caption() const { return caption_; }
    void SetCaption(const QString& value);
    bool Down() const { return down_; }
    void SetDown(bool value);
    TFrameStyle FrameStyle() const { return frameStyle_; }
    void SetFrameStyle(TFrameStyle value);
    const QImage& Glyph() const { return glyph_; }
    // Copies the picture in (as 24-bit colour) and rebuilds its images.
    void SetGlyph(const QImage& value);
    bool Movable() const { return movable_; }
    void SetMovable(bool value) { movable_ = value; }
    TNumGlyphs NumGlyphs() const { return numGlyphs_; }
    // Values outside 1..4 are brought inside. The images keep the cells they
    // were cut with until the glyph changes.
    void SetNumGlyphs(TNumGlyphs value);
    QMenu* PopUpMenu() const { return popUpMenu_; }
    void SetPopUpMenu(QMenu* value) { popUpMenu_ = value; }
    bool ShowPressed() const { return showPressed_; }
    void SetShowPressed(bool value) { showPressed_ = value; }
    std::int32_t Spacing() const { return spacing_; }
    void SetSpacing(std::int32_t value);
    TTextAlign TextAlign() const { return textAlign_; }
    void SetTextAlign(TTextAlign value);
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool value);
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool value);

    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseExit;
    TNotifyEvent OnClick;
    TMouseEvent OnMouseDown;
    TMouseMoveEvent OnMouseMove;
    TMouseEvent OnMouseUp;

    // The look and the press in progress.
    bool MouseHeld() const { return mouseHeld_; }
    bool Tracking() const { return tracking_; }
    bool Pressed() const { return pressed_; }
    bool MouseInside() const { return mouseInside_; }
    int DragX() const { return dragX_; }
    int DragY() const { return dragY_; }

    const QImage& GrayGlyph() const { return grayGlyph_; }
    const QImage& DisabledGlyph() const { return disabledGlyph_; }
    // The glyph's cells, then the grey and the embossed picture.
    const std::vector<TMaskedImage>& GlyphImages() const { return glyphImages_; }

    void GlyphChanged();
    void BuildGlyphImages();
    static QImage MakeGrayBitmap(const QImage& cell);
    static QImage MakeDisabledBitmap(const QImage& cell);

    // Where the glyph and the caption go for the current size, glyph, caption
    // and TextAlign, before the one-pixel shift of the pressed look.
    QRect GlyphBox() const;
    QRect CaptionBox() const;

    // Draws the button into its off-screen picture, transparent wherever
    // nothing is drawn; paintEvent copies that picture over the parent.
    void Paint();
    const QImage& Image() const { return image_; }

    // The handlers the mouse events run, in control coordinates.
    virtual void MouseDown(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
    virtual void MouseMove(Qt::KeyboardModifiers Shift, int X, int Y);
    virtual void MouseUp(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
    virtual void Click();

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    bool Inside(int x, int y) const { return x >= 0 && y >= 0 && x < width() && y < height(); }
    int PenWidth() const;
    int CaptionFlags() const;
    void DrawFrames(TCanvas& canvas);
    void DrawGlyph(TCanvas& canvas);
    void DrawCaption(TCanvas& canvas);
    void DrawMasked(TCanvas& canvas, int x, int y, const TMaskedImage& image);
    void GrabAccelerator();
    void PointerEntered();
    void PointerLeft();

    // Focus reached by Tab is marked; focus a window hands over on opening
    // is not, so the button looks as it always did until the keyboard is used.
    bool focusMarked_ = false;
    bool autoGray_ = true;
    std::uint32_t borderWidth_ = 1;
    QString caption_;
    bool down_ = false;
    TFrameStyle frameStyle_ = TFrameStyle::fsExplorer;
    QImage glyph_;
    bool movable_ = false;
    TNumGlyphs numGlyphs_ = 1;
    QPointer<QMenu> popUpMenu_;
    bool showPressed_ = true;
    std::int32_t spacing_ = 2;
    TTextAlign textAlign_ = TTextAlign::ttaCenter;
    bool transparent_ = true;
    bool wordWrap_ = false;

    bool mouseHeld_ = false;
    bool tracking_ = false;
    bool pressed_ = false;
    bool mouseInside_ = false;
    int dragX_ = 0;
    int dragY_ = 0;
    // A left press is waiting for its release: the toolkit's click, kept apart
    // from mouseHeld_ because it follows the left button only.
    bool clickPending_ = false;
    // The press began with the pointer known to be over the button: its
    // crossings of the edge during the press are made up from the moves,
    // which Qt sends in place of enter and leave then.
    bool followCrossings_ = false;
    int acceleratorId_ = 0;

    QImage grayGlyph_;
    QImage disabledGlyph_;
    std::vector<TMaskedImage> glyphImages_;
    QImage image_;
};
