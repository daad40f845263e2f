// Crossings of a widget's edge while a mouse button is held on it. Qt gives
// the widget the mouse to itself from the press to the release and sends it
// no leave or enter meanwhile; the leave comes only after the release. A
// control whose look follows the pointer makes those crossings up from the
// moves it still receives.
#pragma once

#include <QPoint>

class QWidget;

enum class TCrossing { crNone, crLeft, crEntered };

// The crossing a move to `at` (in the widget's coordinates) makes during a
// press, given whether the widget believes the pointer is over it.
TCrossing CrossingWhilePressed(const QWidget& widget, QPoint at, bool pointerInside);
