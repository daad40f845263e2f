// The link label: colours by pointer state, open on release.
#include "controls/URLLabel.h"

#include "controls/PointerCrossing.h"
#include "shell/Canvas.h"
#include "shell/DesktopShell.h"

#include <QEnterEvent>
#include <QMouseEvent>
#include <QPalette>
#include <QPointer>

#include <cmath>

const QString TURLLabel::DefaultURL = QStringLiteral("https://www.example.org/");

TURLLabel::TURLLabel(QWidget* parent)
    : QLabel(parent)
{
    SetFontColor(clBlue);
    QFont underlined = font();
    underlined.setUnderline(true);
    setFont(underlined);
    setText(QStringLiteral("Click me!"));
    url_ = DefaultURL;
}

void TURLLabel::SetFontColor(TColor color)
{
    fontColor_ = color;
    QPalette colors = palette();
    const QColor shown = ColorToQColor(color);
    for (const auto group : {QPalette::Active, QPalette::Inactive})
        colors.setColor(group, QPalette::WindowText, shown);
    setPalette(colors);
}

void TURLLabel::PointerEntered()
{
    pointerInside_ = true;
    SetFontColor(linkPressed_ ? colorClick_ : colorMoveOver_);
}

void TURLLabel::PointerLeft()
{
    pointerInside_ = false;
    SetFontColor(colorNormal_);
}

void TURLLabel::enterEvent(QEnterEvent* /*event*/)
{
    PointerEntered();
}

void TURLLabel::leaveEvent(QEvent* /*event*/)
{
    PointerLeft();
}

void TURLLabel::Press(QMouseEvent* event, bool mayClick)
{
    // Accepted and kept from QLabel: the press belongs to the link alone
    // and goes neither to text selection nor to the parent.
    event->accept();
    pointerInside_ = true;
    if (mayClick && event->button() == Qt::LeftButton)
        clickPending_ = true;
    linkPressed_ = true;
    SetFontColor(colorClick_);
}

void TURLLabel::mousePressEvent(QMouseEvent* event)
{
    Press(event, true);
}

void TURLLabel::mouseDoubleClickEvent(QMouseEvent* event)
{
    // The second press of a double click presses the link again; the
    // toolkit counts it as a double click, not as a second click.
    Press(event, false);
}

void TURLLabel::mouseMoveEvent(QMouseEvent* event)
{
    event->accept();
    if (event->buttons() == Qt::NoButton)
        return;
    switch (CrossingWhilePressed(*this, event->position().toPoint(), pointerInside_)) {
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

void TURLLabel::mouseReleaseEvent(QMouseEvent* event)
{
    event->accept();
    const int x = int(std::floor(event->position().x()));
    const int y = int(std::floor(event->position().y()));

    // The click comes first, as the toolkit delivers it; a handler may
    // close the window and destroy the label.
    if (event->button() == Qt::LeftButton && clickPending_) {
        clickPending_ = false;
        if (rect().contains(x, y)) {
            const QPointer<TURLLabel> alive(this);
            emit clicked();
            if (!alive)
                return;
        }
    }

    // The far edges count as inside.
    if (x < 0 || y < 0 || y > height() || x > width()) {
        SetFontColor(colorNormal_);
    } else {
        if (linkPressed_)
            ShellOpen(url_.isEmpty() ? text() : url_);
        SetFontColor(colorMoveOver_);
    }
    linkPressed_ = false;
}
