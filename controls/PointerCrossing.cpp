// Crossings during a press (see PointerCrossing.h).
#include "controls/PointerCrossing.h"

#include <QWidget>

TCrossing CrossingWhilePressed(const QWidget& widget, QPoint at, bool pointerInside)
{
    const bool over = widget.rect().contains(at);
    if (pointerInside && !over)
        return TCrossing::crLeft;
    if (!pointerInside && over)
        return TCrossing::crEntered;
    return TCrossing::crNone;
}
