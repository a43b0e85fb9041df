#include "ZelvorApp/Editor/ArrowGeometry.h"

#include <algorithm>
#include <cmath>

namespace brisklet {

namespace {

Point along(Point p, Point direction, double amount) {
    return {p.x + direction.x * amount, p.y + direction.y * amount};
}

ArrowGeometry brushArrow(Point start, Point end, Point u, Point n, double length, double w) {
    const double h = std::min(std::max(4.8 * w, 14.0), 0.4 * length);
    const double hw = std::max(2.9 * w, 0.72 * h);
    const double nw = std::max(0.5 * w, 0.28 * hw);
    const Point base = along(end, u, -h);
    const double a = std::max(0.14 * w, 0.8);
    const double c = std::max(0.9 * w, 1.2);

    ArrowGeometry g;
    g.outlinePoints = {along(start, u, -c),    along(start, n, -a), along(base, n, -nw), along(base, n, -hw / 2), end,
                       along(base, n, hw / 2), along(base, n, nw),  along(start, n, a)};
    g.shaftStart = start;
    g.shaftEnd = base;
    g.tip = end;
    g.left = along(base, n, hw / 2);
    g.right = along(base, n, -hw / 2);
    g.shaftLineWidth = std::max(w, 2 * nw);
    return g;
}

ArrowGeometry geometricArrow(Point start, Point end, Point u, Point n, double length, double w) {
    const double h = std::min(std::max(4.2 * w, 13.0), 0.34 * length);
    const double k = std::max(3.1 * w, 0.78 * h) / 2;
    const Point base = along(end, u, -h);
    const double d = std::min(std::max(1.7 * w, 5.0), 0.42 * h);
    const Point notch = along(base, u, d);

    ArrowGeometry g;
    g.outlinePoints = {end, along(base, n, k), notch, along(base, n, -k)};
    g.shaftStart = start;
    g.shaftEnd = notch;
    g.tip = end;
    g.left = along(base, n, k);
    g.right = along(base, n, -k);
    g.notch = notch;
    g.shaftLineWidth = std::max(0.92 * w, 1.0);
    return g;
}

} // namespace

ArrowGeometry arrowGeometry(Point start, Point end, ArrowStyle style, double lineWidth) {
    const double dx = end.x - start.x;
    const double dy = end.y - start.y;
    const double rawLength = std::hypot(dx, dy);
    const double length = std::max(rawLength, 0.0001);
    // A zero-length arrow has no direction; any unit vector keeps the outline finite.
    const Point u = rawLength > 0 ? Point{dx / rawLength, dy / rawLength} : Point{1, 0};
    const Point n{-u.y, u.x};
    return style == ArrowStyle::brush ? brushArrow(start, end, u, n, length, lineWidth)
                                      : geometricArrow(start, end, u, n, length, lineWidth);
}

} // namespace brisklet
