// Small helpers shared by the tests: readable failure output for our types,
// and a wait that looks at its condition often.
#pragma once

#include "hexmap/HexGeometry.h"

#include <QByteArray>
#include <QDeadlineTimer>
#include <QTest>

#include <vector>

inline char* toString(const TPoint& point)
{
    return qstrdup(QByteArray("(" + QByteArray::number(point.X) + ", " + QByteArray::number(point.Y) + ")").constData());
}

inline char* toString(const std::vector<TPoint>& points)
{
    QByteArray text = "[";
    for (const TPoint& p : points)
        text += " (" + QByteArray::number(p.X) + "," + QByteArray::number(p.Y) + ")";
    return qstrdup((text + " ]").constData());
}

// QTest::qWaitFor hands its whole timeout to processEvents, which goes on as
// long as events are pending. While the program plays on by itself on a
// loaded machine they always are, so the condition may go unchecked for a
// whole game (and a podium then waits for a click nobody gives). This one
// checks it every few milliseconds, between events.
template <typename Condition>
bool WaitUntil(Condition condition, int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QTest::qWait(2);
    }
    return true;
}
