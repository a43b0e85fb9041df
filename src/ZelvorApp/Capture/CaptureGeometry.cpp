#include "ZelvorApp/Capture/CaptureGeometry.h"

#include "Platform/DisplayServer.h"

#include <algorithm>
#include <cmath>

namespace brisklet::CaptureGeometry {

namespace {

bool isFinite(const Rect& r) {
    return std::isfinite(r.minX()) && std::isfinite(r.minY()) && std::isfinite(r.width()) && std::isfinite(r.height());
}

} // namespace

Rect integral(const Rect& rect) {
    if (rect.isEmpty() || !isFinite(rect)) {
        return rect;
    }
    const double left = std::floor(rect.minX());
    const double bottom = std::floor(rect.minY());
    const double right = std::ceil(rect.maxX());
    const double top = std::ceil(rect.maxY());
    return Rect{{left, bottom}, {right - left, top - bottom}};
}

Rect unite(const Rect& a, const Rect& b) {
    if (a.isEmpty()) {
        return b;
    }
    if (b.isEmpty()) {
        return a;
    }
    const double left = std::min(a.minX(), b.minX());
    const double bottom = std::min(a.minY(), b.minY());
    return Rect{{left, bottom}, {std::max(a.maxX(), b.maxX()) - left, std::max(a.maxY(), b.maxY()) - bottom}};
}

bool intersects(const Rect& a, const Rect& b) {
    return !a.isEmpty() && !b.isEmpty() && std::min(a.maxX(), b.maxX()) > std::max(a.minX(), b.minX()) &&
           std::min(a.maxY(), b.maxY()) > std::max(a.minY(), b.minY());
}

Rect toolRect(const Rect& rect, const Rect& desktop) {
    const Rect whole = integral(rect);
    return integral(Rect{{whole.minX() - desktop.minX(), desktop.maxY() - whole.maxY()}, whole.size});
}

Rect pixelCropRect(const Rect& rect, const Rect& screenFrame, int imageWidth, int imageHeight) {
    const double screenWidth = screenFrame.width() <= 1 ? 1 : screenFrame.width();
    const double screenHeight = screenFrame.height() <= 1 ? 1 : screenFrame.height();
    const double sx = imageWidth / screenWidth;
    const double sy = imageHeight / screenHeight;
    return integral(Rect{{sx * (rect.minX() - screenFrame.minX()), sy * (screenFrame.maxY() - rect.maxY())},
                         {sx * rect.width(), sy * rect.height()}});
}

bool liesInside(const Rect& crop, int imageWidth, int imageHeight) {
    return isFinite(crop) && crop.minX() >= 0 && crop.minY() >= 0 && crop.maxX() <= imageWidth &&
           crop.maxY() <= imageHeight;
}

Rect flippedAtPrimaryScreen(const Rect& rect, const std::vector<DisplayScreen>& screens) {
    double primaryHeight = 0;
    for (const DisplayScreen& screen : screens) {
        if (screen.isPrimary) {
            primaryHeight = screen.frame.height();
        }
    }
    return Rect{{rect.minX(), primaryHeight - rect.maxY()}, rect.size};
}

} // namespace brisklet::CaptureGeometry
