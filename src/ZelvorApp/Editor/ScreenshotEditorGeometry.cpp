#include "ZelvorApp/Editor/ScreenshotEditorGeometry.h"

#include <algorithm>
#include <cmath>

namespace brisklet::ScreenshotEditorGeometry {

Rect insetBy(const Rect& rect, double dx, double dy) {
    return {{rect.origin.x + dx, rect.origin.y + dy}, {rect.size.width - 2 * dx, rect.size.height - 2 * dy}};
}

bool containsInclusive(const Rect& rect, Point p) {
    return p.x >= rect.minX() && p.x <= rect.maxX() && p.y >= rect.minY() && p.y <= rect.maxY();
}

Rect rectFromPoints(Point a, Point b) {
    return {{std::min(a.x, b.x), std::min(a.y, b.y)}, {std::fabs(a.x - b.x), std::fabs(a.y - b.y)}};
}

Rect unionOf(const Rect& a, const Rect& b) {
    const double minX = std::min(a.minX(), b.minX());
    const double minY = std::min(a.minY(), b.minY());
    return {{minX, minY}, {std::max(a.maxX(), b.maxX()) - minX, std::max(a.maxY(), b.maxY()) - minY}};
}

double distance(Point a, Point b) {
    return std::hypot(a.x - b.x, a.y - b.y);
}

double distanceToSegment(Point p, Point a, Point b) {
    const double vx = b.x - a.x;
    const double vy = b.y - a.y;
    const double lengthSquared = vx * vx + vy * vy;
    if (lengthSquared <= 0) {
        return distance(p, a);
    }
    const double t = std::clamp(((p.x - a.x) * vx + (p.y - a.y) * vy) / lengthSquared, 0.0, 1.0);
    return distance(p, {a.x + t * vx, a.y + t * vy});
}

bool polygonContains(std::span<const Point> polygon, Point p) {
    bool inside = false;
    for (std::size_t i = 0, j = polygon.size() - 1; i < polygon.size(); j = i++) {
        const Point& a = polygon[i];
        const Point& b = polygon[j];
        if ((a.y > p.y) != (b.y > p.y) && p.x < (b.x - a.x) * (p.y - a.y) / (b.y - a.y) + a.x) {
            inside = !inside;
        }
    }
    return inside;
}

bool ellipseContains(const Rect& rect, Point p) {
    if (rect.width() <= 0 || rect.height() <= 0) {
        return false;
    }
    const double nx = (p.x - rect.midX()) / (rect.width() / 2);
    const double ny = (p.y - rect.midY()) / (rect.height() / 2);
    return nx * nx + ny * ny <= 1;
}

Rect resizedRectangle(const Rect& rect, ResizeCorner corner, Point point, double minimumEdgeDistance) {
    double minX = rect.minX();
    double maxX = rect.maxX();
    double minY = rect.minY();
    double maxY = rect.maxY();
    if (movesLeftEdge(corner)) {
        minX = std::min(point.x, maxX - minimumEdgeDistance);
    }
    if (movesRightEdge(corner)) {
        maxX = std::max(point.x, minX + minimumEdgeDistance);
    }
    if (movesTopEdge(corner)) {
        minY = std::min(point.y, maxY - minimumEdgeDistance);
    }
    if (movesBottomEdge(corner)) {
        maxY = std::max(point.y, minY + minimumEdgeDistance);
    }
    return {{minX, minY}, {maxX - minX, maxY - minY}};
}

Rect resizedSquare(const Rect& square, ResizeCorner corner, Point point, double minimumSize) {
    const bool left = movesLeftEdge(corner);
    const bool right = movesRightEdge(corner);
    const bool top = movesTopEdge(corner);
    const bool bottom = movesBottomEdge(corner);
    // Distances are measured toward the dragged side, so a pointer that crosses over the fixed
    // corner shrinks the square to its minimum instead of flipping it.
    const double horizontal = left ? square.maxX() - point.x : point.x - square.minX();
    const double vertical = top ? square.maxY() - point.y : point.y - square.minY();
    double side = minimumSize;
    if ((left || right) && (top || bottom)) {
        side = std::max({horizontal, vertical, minimumSize});
    } else if (left || right) {
        side = std::max(horizontal, minimumSize);
    } else {
        side = std::max(vertical, minimumSize);
    }
    double x = left ? square.maxX() - side : square.minX();
    double y = top ? square.maxY() - side : square.minY();
    if (!left && !right) {
        x = square.midX() - side / 2;
    }
    if (!top && !bottom) {
        y = square.midY() - side / 2;
    }
    return {{x, y}, {side, side}};
}

std::array<std::pair<ResizeCorner, Point>, 8> handleAnchors(const Rect& r) {
    return {{
        {ResizeCorner::topLeft, {r.minX(), r.minY()}},
        {ResizeCorner::top, {r.midX(), r.minY()}},
        {ResizeCorner::topRight, {r.maxX(), r.minY()}},
        {ResizeCorner::right, {r.maxX(), r.midY()}},
        {ResizeCorner::bottomLeft, {r.minX(), r.maxY()}},
        {ResizeCorner::bottom, {r.midX(), r.maxY()}},
        {ResizeCorner::bottomRight, {r.maxX(), r.maxY()}},
        {ResizeCorner::left, {r.minX(), r.midY()}},
    }};
}

Rect handleHitRect(Point anchor) {
    const double half = handleSize / 2 + handleHitSlack;
    return {{anchor.x - half, anchor.y - half}, {2 * half, 2 * half}};
}

} // namespace brisklet::ScreenshotEditorGeometry
