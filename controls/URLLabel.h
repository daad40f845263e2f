// A text label that behaves like a hyperlink: its text colour follows the
// pointer and the mouse buttons, and a release over it asks the desktop to
// open its address. It shows its state through the font colour only.
#pragma once

#include "shell/Colors.h"

#include <QLabel>
#include <QString>

class TURLLabel : public QLabel {
    Q_OBJECT

public:
    // The address a new label opens until it is given its own.
    static const QString DefaultURL;

    explicit TURLLabel(QWidget* parent = nullptr);

    // Plain stored values: they show at the next pointer event.
    TColor ColorNormal() const { return colorNormal_; }
    void SetColorNormal(TColor color) { colorNormal_ = color; }
    TColor ColorMoveOver() const { return colorMoveOver_; }
    void SetColorMoveOver(TColor color) { colorMoveOver_ = color; }
    TColor ColorClick() const { return colorClick_; }
    void SetColorClick(TColor color) { colorClick_ = color; }
    // Opened on release; when empty, the caption is opened instead.
    QString URL() const { return url_; }
    void SetURL(const QString& url) { url_ = url; }

    bool LinkPressed() const { return linkPressed_; }

    // The text colour, shown through the palette's WindowText.
    TColor FontColor() const { return fontColor_; }
    void SetFontColor(TColor color);

signals:
    // A left-button press and release inside the label.
    void clicked();

protected:
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void Press(QMouseEvent* event, bool mayClick);
    void PointerEntered();
    void PointerLeft();

    TColor colorNormal_ = clBlue;
    TColor colorMoveOver_ = clBlue;
    TColor colorClick_ = clRed;
    QString url_;
    bool linkPressed_ = false;
    TColor fontColor_ = clBlack;

    // Where the label believes the pointer is; during a press the crossings
    // are made up from the moves (controls/PointerCrossing.h).
    bool pointerInside_ = false;
    // A left press that may still become a click.
    bool clickPending_ = false;
};
