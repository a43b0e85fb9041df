#include "ZelvorApp/Longshot/LongshotPreviewLayout.h"

#include "ZelvorApp/Infrastructure/RuntimeLogger.h"

#include <algorithm>
#include <array>

namespace brisklet {

namespace {

bool overlaps(const Rect& a, const Rect& b) {
    return !a.intersection(b).isEmpty();
}

bool liesInside(const Rect& inner, const Rect& outer) {
    return inner.minX() >= outer.minX() && inner.maxX() <= outer.maxX() && inner.minY() >= outer.minY() &&
           inner.maxY() <= outer.maxY();
}

double clampedOrigin(double origin, double length, double lower, double upper) {
    // A window longer than the frame cannot fit; leave it where it is and let the test reject it.
    return upper - length < lower ? origin : std::clamp(origin, lower, upper - length);
}

} // namespace

std::optional<Rect> LongshotPreviewLayout::frame(const Rect& selection, const Rect& visibleFrame, Size size,
                                                 std::optional<Rect> avoiding) {
    const double w = size.width;
    const double h = size.height;
    const double centredX = selection.midX() - w / 2;
    const double centredY = selection.midY() - h / 2;
    const std::array<Point, 4> origins{{
        {selection.maxX() + spacing, centredY},     // right
        {selection.minX() - spacing - w, centredY}, // left
        {centredX, selection.minY() - spacing - h}, // below (y grows upwards)
        {centredX, selection.maxY() + spacing},     // above
    }};
    for (const Point& origin : origins) {
        const Rect candidate{{clampedOrigin(origin.x, w, visibleFrame.minX(), visibleFrame.maxX()),
                              clampedOrigin(origin.y, h, visibleFrame.minY(), visibleFrame.maxY())},
                             {w, h}};
        if (liesInside(candidate, visibleFrame) && !overlaps(candidate, selection) &&
            !(avoiding && overlaps(candidate, *avoiding))) {
            return candidate;
        }
    }
    RuntimeLogger::log("longshot preview hidden reason=noSafeSpaceOutsideSelection");
    return std::nullopt;
}

} // namespace brisklet
