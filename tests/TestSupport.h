// Small helpers shared by the tests: readable failure output for our types.
#pragma once

#include "hexmap/HexGeometry.h"

#include <QByteArray>
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
