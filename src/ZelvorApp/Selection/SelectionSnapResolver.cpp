#include "ZelvorApp/Selection/SelectionSnapResolver.h"

#include <cmath>

namespace brisklet {

namespace {

double area(const Rect& rect) {
    return rect.width() * rect.height();
}

double squaredDistanceToCentre(const Rect& rect, Point point) {
    const double dx = rect.midX() - point.x;
    const double dy = rect.midY() - point.y;
    return dx * dx + dy * dy;
}

bool isBetter(const SelectionSnapCandidate& a, const SelectionSnapCandidate& b, Point point) {
    if (area(a.rect) != area(b.rect)) {
        return area(a.rect) < area(b.rect);
    }
    const double da = squaredDistanceToCentre(a.rect, point);
    const double db = squaredDistanceToCentre(b.rect, point);
    if (da != db) {
        return da < db;
    }
    return a.priority < b.priority;
}

} // namespace

std::optional<SelectionSnapCandidate> SelectionSnapResolver::bestRectangle(
    Point point, const std::vector<SelectionSnapCandidate>& rectangles) {
    std::optional<SelectionSnapCandidate> best;
    for (const SelectionSnapCandidate& candidate : rectangles) {
        if (candidate.rect.contains(point) && (!best || isBetter(candidate, *best, point))) {
            best = candidate;
        }
    }
    return best;
}

bool SelectionSnapResolver::isScreenFilling(const SelectionSnapCandidate& candidate, const Rect& bounds) {
    if (bounds.width() <= 0 || bounds.height() <= 0) {
        return false;
    }
    return area(candidate.rect.intersection(bounds)) / area(bounds) >= screenFillingShare;
}

bool SelectionSnapResolver::outlinesSameArea(const Rect& a, const Rect& b) {
    return std::abs(a.minX() - b.minX()) <= sameOutlineTolerance && std::abs(a.maxX() - b.maxX()) <= sameOutlineTolerance &&
           std::abs(a.minY() - b.minY()) <= sameOutlineTolerance && std::abs(a.maxY() - b.maxY()) <= sameOutlineTolerance;
}

std::optional<SelectionSnapCandidate> SelectionSnapResolver::candidateAt(
    Point point, const std::vector<SelectionSnapCandidate>& windows,
    const std::vector<SelectionSnapCandidate>& rectangles, const Rect& bounds) {
    std::optional<SelectionSnapCandidate> window;
    for (const SelectionSnapCandidate& candidate : windows) {
        if (candidate.rect.contains(point)) {
            window = candidate;
            break;
        }
    }
    const bool windowIsTarget = window && !isScreenFilling(*window, bounds);
    if (auto rectangle = bestRectangle(point, rectangles)) {
        // The detector sees a window's own outline too; that is the window, with its exact
        // bounds, not an area that happens to look like it.
        if (windowIsTarget && outlinesSameArea(rectangle->rect, window->rect)) {
            return window;
        }
        return rectangle;
    }
    if (windowIsTarget) {
        return window;
    }
    return std::nullopt;
}

} // namespace brisklet
