#include "ZelvorApp/Capture/FullDisplayCaptureGeometry.h"

#include <algorithm>
#include <cmath>

namespace brisklet {

namespace {

double atLeastOne(double value) {
    return std::isfinite(value) ? std::max(value, 1.0) : 1.0;
}

} // namespace

FullDisplayCaptureGeometry FullDisplayCaptureGeometry::make(double widthPoints, double heightPoints,
                                                            double pointPixelScale) {
    const double width = atLeastOne(widthPoints);
    const double height = atLeastOne(heightPoints);
    const double scale = atLeastOne(pointPixelScale);
    FullDisplayCaptureGeometry geometry;
    geometry.pointRect = Rect{{0, 0}, {width, height}};
    geometry.pixelWidth = std::max(1, static_cast<int>(std::lround(width * scale)));
    geometry.pixelHeight = std::max(1, static_cast<int>(std::lround(height * scale)));
    geometry.pixelRect =
        Rect{{0, 0}, {static_cast<double>(geometry.pixelWidth), static_cast<double>(geometry.pixelHeight)}};
    return geometry;
}

} // namespace brisklet
