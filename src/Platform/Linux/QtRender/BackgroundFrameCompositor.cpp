#include "Platform/Linux/QtRender/BackgroundFrameCompositor.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace brisklet {

namespace {

/// Straight-alpha "source over" of one pixel with an extra coverage factor.
void blendPixel(std::uint8_t* dst, const std::uint8_t* src, double coverage) {
    const double sa = src[3] / 255.0 * coverage;
    if (sa <= 0) {
        return;
    }
    const double da = dst[3] / 255.0;
    const double outA = sa + da * (1 - sa);
    for (int c = 0; c < 3; ++c) {
        const double value = (src[c] * sa + dst[c] * da * (1 - sa)) / outA;
        dst[c] = static_cast<std::uint8_t>(std::clamp(std::lround(value), 0L, 255L));
    }
    dst[3] = static_cast<std::uint8_t>(std::clamp(std::lround(outA * 255), 0L, 255L));
}

/// Coverage of the pixel at (x, y) of a w × h rectangle with corners of radius r: 1 outside the
/// corner squares, else the share of the pixel inside the quarter circle (by distance, which
/// is what antialiased edges look like).
double cornerCoverage(int x, int y, int w, int h, double r) {
    const double px = x + 0.5;
    const double py = y + 0.5;
    double cx = 0;
    double cy = 0;
    if (px < r) {
        cx = r;
    } else if (px > w - r) {
        cx = w - r;
    } else {
        return 1;
    }
    if (py < r) {
        cy = r;
    } else if (py > h - r) {
        cy = h - r;
    } else {
        return 1;
    }
    const double distance = std::hypot(px - cx, py - cy);
    return std::clamp(r - distance + 0.5, 0.0, 1.0);
}

} // namespace

void drawFrameRounded(Image& canvas, const Image& frame, const Rect& rect, double cornerRadius) {
    const int x0 = static_cast<int>(std::lround(rect.minX()));
    const int y0 = static_cast<int>(std::lround(rect.minY()));
    const int w = frame.width();
    const int h = frame.height();
    const double r = std::clamp(cornerRadius, 0.0, std::min(w, h) / 2.0);
    const int cornerRows = static_cast<int>(std::ceil(r));
    const bool opaque = frame.isOpaque();
    const int firstX = std::max(0, -x0);
    const int lastX = std::min(w, canvas.width() - x0);
    if (firstX >= lastX) {
        return;
    }
    for (int y = std::max(0, -y0); y < std::min(h, canvas.height() - y0); ++y) {
        const std::uint8_t* src = frame.row(y);
        std::uint8_t* dst = canvas.row(y0 + y);
        const bool cornerRow = y < cornerRows || y >= h - cornerRows;
        const auto blendSpan = [&](int from, int to) {
            for (int x = from; x < to; ++x) {
                blendPixel(dst + static_cast<std::size_t>(x0 + x) * 4, src + static_cast<std::size_t>(x) * 4,
                           cornerRow ? cornerCoverage(x, y, w, h, r) : 1.0);
            }
        };
        if (!opaque) {
            blendSpan(firstX, lastX);
            continue;
        }
        // Opaque rows are copied; only the rounded ends of the corner rows are blended.
        const int edge = cornerRow ? cornerRows : 0;
        const int copyFrom = std::clamp(edge, firstX, lastX);
        const int copyTo = std::clamp(w - edge, copyFrom, lastX);
        std::memcpy(dst + static_cast<std::size_t>(x0 + copyFrom) * 4, src + static_cast<std::size_t>(copyFrom) * 4,
                    static_cast<std::size_t>(copyTo - copyFrom) * 4);
        blendSpan(firstX, copyFrom);
        blendSpan(copyTo, lastX);
    }
}

} // namespace brisklet
