#include "ZelvorApp/Selection/SelectionGeometry.h"

#include <algorithm>
#include <cmath>

namespace brisklet {

Rect SelectionGeometry::standardized(const Rect& rect) {
    Rect result = rect;
    if (result.size.width < 0) {
        result.origin.x += result.size.width;
        result.size.width = -result.size.width;
    }
    if (result.size.height < 0) {
        result.origin.y += result.size.height;
        result.size.height = -result.size.height;
    }
    return result;
}

bool SelectionGeometry::isValidSelection(const Rect& rect) {
    const Rect r = standardized(rect);
    const double shorter = std::min(r.width(), r.height());
    const double longer = std::max(r.width(), r.height());
    return shorter >= minimumShortSide && longer >= minimumLongSide;
}

Rect SelectionGeometry::roundedToPoints(const Rect& rect) {
    const Rect r = standardized(rect);
    const double minX = std::round(r.minX());
    const double minY = std::round(r.minY());
    return Rect{{minX, minY}, {std::round(r.maxX()) - minX, std::round(r.maxY()) - minY}};
}

double SelectionGeometry::alignedToPixels(double value, double scale) {
    const double factor = scale > 0 ? scale : 1;
    // std::round rounds half away from zero.
    return std::round(value * factor) / factor;
}

std::array<Rect, 8> SelectionGeometry::handleRects(const Rect& selection, double scale) {
    const Rect r = roundedToPoints(selection);
    const std::array<Point, 8> centres{{{r.minX(), r.minY()},
                                        {r.midX(), r.minY()},
                                        {r.maxX(), r.minY()},
                                        {r.maxX(), r.midY()},
                                        {r.minX(), r.maxY()},
                                        {r.midX(), r.maxY()},
                                        {r.maxX(), r.maxY()},
                                        {r.minX(), r.midY()}}};
    std::array<Rect, 8> squares;
    const double side = alignedToPixels(handleSize, scale);
    for (std::size_t i = 0; i < centres.size(); ++i) {
        squares[i] = Rect{{alignedToPixels(centres[i].x - handleSize / 2, scale),
                           alignedToPixels(centres[i].y - handleSize / 2, scale)},
                          {side, side}};
    }
    return squares;
}

std::optional<SelectionHandle> SelectionGeometry::hitHandle(Point point, const Rect& selection, double scale) {
    if (standardized(selection).isEmpty()) {
        return std::nullopt;
    }
    const auto squares = handleRects(selection, scale);
    for (std::size_t i = 0; i < squares.size(); ++i) {
        const Rect grown{{squares[i].minX() - handleHitSlop, squares[i].minY() - handleHitSlop},
                         {squares[i].width() + 2 * handleHitSlop, squares[i].height() + 2 * handleHitSlop}};
        // Inclusive on every edge: a press on the grown square's border still grabs the handle.
        if (point.x >= grown.minX() && point.x <= grown.maxX() && point.y >= grown.minY() && point.y <= grown.maxY()) {
            return static_cast<SelectionHandle>(i);
        }
    }
    return std::nullopt;
}

Point SelectionGeometry::clamped(Point point, const Rect& bounds) {
    return {std::clamp(point.x, bounds.minX(), bounds.maxX()), std::clamp(point.y, bounds.minY(), bounds.maxY())};
}

Rect SelectionGeometry::created(Point origin, Point point, const Rect& bounds) {
    const Point a = clamped(origin, bounds);
    const Point b = clamped(point, bounds);
    return Rect{{std::min(a.x, b.x), std::min(a.y, b.y)}, {std::abs(b.x - a.x), std::abs(b.y - a.y)}};
}

Rect SelectionGeometry::moved(const Rect& selection, Point point, Point offset, const Rect& bounds) {
    const Rect r = standardized(selection);
    const double x = std::clamp(point.x - offset.x, bounds.minX(), std::max(bounds.minX(), bounds.maxX() - r.width()));
    const double y = std::clamp(point.y - offset.y, bounds.minY(), std::max(bounds.minY(), bounds.maxY() - r.height()));
    return Rect{{x, y}, r.size};
}

Rect SelectionGeometry::resized(const Rect& start, SelectionHandle handle, Point point, const Rect& bounds) {
    const Rect r = standardized(start);
    const Point p = clamped(point, bounds);
    double minX = r.minX();
    double maxX = r.maxX();
    double minY = r.minY();
    double maxY = r.maxY();
    const bool movesMinX = handle == SelectionHandle::topLeft || handle == SelectionHandle::bottomLeft ||
                           handle == SelectionHandle::left;
    const bool movesMaxX = handle == SelectionHandle::topRight || handle == SelectionHandle::bottomRight ||
                           handle == SelectionHandle::right;
    const bool movesMinY = handle == SelectionHandle::topLeft || handle == SelectionHandle::top ||
                           handle == SelectionHandle::topRight;
    const bool movesMaxY = handle == SelectionHandle::bottomLeft || handle == SelectionHandle::bottom ||
                           handle == SelectionHandle::bottomRight;
    if (movesMinX) {
        minX = std::min(p.x, maxX - minimumResizeSide);
    }
    if (movesMaxX) {
        maxX = std::max(p.x, minX + minimumResizeSide);
    }
    if (movesMinY) {
        minY = std::min(p.y, maxY - minimumResizeSide);
    }
    if (movesMaxY) {
        maxY = std::max(p.y, minY + minimumResizeSide);
    }
    return Rect{{minX, minY}, {maxX - minX, maxY - minY}};
}

} // namespace brisklet
