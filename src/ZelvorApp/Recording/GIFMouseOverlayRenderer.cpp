#include "ZelvorApp/Recording/GIFMouseOverlayRenderer.h"

#include <algorithm>
#include <cmath>

namespace brisklet {

namespace {

/// The desktop's accent blue, used for the dot and the ripples.
constexpr double kBlue[3] = {0, 122, 255};

bool contains(const Rect& rect, Point p) {
    return p.x >= rect.minX() && p.x <= rect.maxX() && p.y >= rect.minY() && p.y <= rect.maxY();
}

void blend(Image& image, int x, int y, double alpha) {
    if (alpha <= 0)
        return;
    std::uint8_t* p = image.row(y) + static_cast<std::size_t>(x) * 4;
    for (int c = 0; c < 3; ++c) {
        p[c] = static_cast<std::uint8_t>(std::lround(p[c] + (kBlue[c] - p[c]) * alpha));
    }
    p[3] = static_cast<std::uint8_t>(std::lround(p[3] + (255 - p[3]) * alpha));
}

/// Paints pixels whose centre lies within `halfWidth` of the circle of radius `radius` (a filled
/// disc when `filled`), with a one-pixel soft edge.
void paintCircle(Image& image, double cx, double cy, double radius, double halfWidth, bool filled, double alpha) {
    const double reach = radius + halfWidth + 1;
    const int x0 = std::max(0, static_cast<int>(std::floor(cx - reach)));
    const int x1 = std::min(image.width() - 1, static_cast<int>(std::ceil(cx + reach)));
    const int y0 = std::max(0, static_cast<int>(std::floor(cy - reach)));
    const int y1 = std::min(image.height() - 1, static_cast<int>(std::ceil(cy + reach)));
    for (int y = y0; y <= y1; ++y) {
        for (int x = x0; x <= x1; ++x) {
            const double d = std::hypot(x + 0.5 - cx, y + 0.5 - cy);
            const double distance = filled ? d - radius : std::abs(d - radius) - halfWidth;
            blend(image, x, y, alpha * std::clamp(0.5 - distance, 0.0, 1.0));
        }
    }
}

} // namespace

void GIFMouseOverlayRenderer::draw(Image& frame, const MouseSnapshot& snapshot, const GIFMouseOverlayOptions& options,
                                   const Rect& region, const Rect& mappingRect, double now) {
    if (frame.isEmpty() || region.isEmpty() || mappingRect.isEmpty()) {
        return;
    }
    const double s = frame.width() / region.width();
    // Image rows run top to bottom, the desktop's y axis bottom to top.
    const auto toPixel = [&](Point p) { return Point{(p.x - mappingRect.minX()) * s, (mappingRect.maxY() - p.y) * s}; };
    if (options.showsClickEffects) {
        for (const ClickRipple& ripple : snapshot.ripples) {
            if (!contains(region, ripple.globalPoint))
                continue;
            const double progress =
                std::min(std::max(now - ripple.timestamp, 0.0) / MouseTrackingService::kRippleLifetime, 1.0);
            const Point c = toPixel(ripple.globalPoint);
            paintCircle(frame, c.x, c.y, (10 + 22 * progress) * s, std::max(2 * s, 1.0) / 2, false,
                        std::max(0.7 - progress, 0.1));
        }
    }
    if (options.showsCursor && contains(region, snapshot.globalLocation)) {
        const Point c = toPixel(snapshot.globalLocation);
        paintCircle(frame, c.x, c.y, 5 * s, 0, true, 1.0);
    }
}

} // namespace brisklet
