#pragma once

// The point types of the gesture arguments: Qt's in the library. The Windows
// test program decodes gesture messages without Qt (ZENTAR_WITHOUT_QT) and
// gets two structs with the part of Qt's interface the decoding uses.

#ifndef ZENTAR_WITHOUT_QT

#include <QPoint>
#include <QPointF>

namespace Zentar::App::GestureArgument
{
using Point = QPoint;
using PointF = QPointF;
} // namespace Zentar::App::GestureArgument

#else

namespace Zentar::App::GestureArgument
{

struct Point {
    constexpr Point() = default;
    constexpr Point(int x, int y)
        : xp(x)
        , yp(y)
    {
    }
    constexpr int x() const { return xp; }
    constexpr int y() const { return yp; }
    friend constexpr Point operator+(Point a, Point b) { return Point(a.xp + b.xp, a.yp + b.yp); }
    friend constexpr bool operator==(Point a, Point b) { return a.xp == b.xp && a.yp == b.yp; }
    friend constexpr bool operator!=(Point a, Point b) { return !(a == b); }

    int xp = 0;
    int yp = 0;
};

struct PointF {
    constexpr PointF(double x, double y)
        : xp(x)
        , yp(y)
    {
    }
    constexpr double x() const { return xp; }
    constexpr double y() const { return yp; }

    double xp;
    double yp;
};

} // namespace Zentar::App::GestureArgument

#endif
