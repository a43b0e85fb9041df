#include "ZelvorApp/Editor/CircularColorWheel.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace brisklet::CircularColorWheel {

namespace {

constexpr double maximumSide = 8192;

double hueOf(double x, double y) {
    const double turns = std::atan2(y, x) / (2 * std::numbers::pi) + 1;
    return turns - std::floor(turns);
}

std::uint8_t channel(double v) {
    return static_cast<std::uint8_t>(std::lround(std::clamp(v, 0.0, 1.0) * 255));
}

} // namespace

std::optional<Image> makeWheelImage(Size size, double brightness) {
    if (!std::isfinite(size.width) || !std::isfinite(size.height) || size.width > maximumSide ||
        size.height > maximumSide) {
        return std::nullopt;
    }
    const int width = std::max(1, static_cast<int>(std::lround(size.width)));
    const int height = std::max(1, static_cast<int>(std::lround(size.height)));
    const double cx = width / 2.0;
    const double cy = height / 2.0;
    const double radius = std::min(cx, cy);
    const double b = std::isfinite(brightness) ? std::clamp(brightness, 0.0, 1.0) : 1.0;
    Image image(width, height);
    for (int row = 0; row < height; ++row) {
        // The wheel is defined with y growing upward; image rows run top to bottom.
        const double y = (height - row - 0.5) - cy;
        std::uint8_t* pixel = image.row(row);
        for (int i = 0; i < width; ++i, pixel += 4) {
            const double x = i + 0.5 - cx;
            const double d = std::hypot(x, y);
            if (d > radius) {
                continue;
            }
            const StoredColor c = HSBComponents{hueOf(x, y), d / radius, b}.color();
            pixel[0] = channel(c.red);
            pixel[1] = channel(c.green);
            pixel[2] = channel(c.blue);
            pixel[3] = 255;
        }
    }
    return image;
}

HSBComponents selection(Point point, Size viewSize, double brightness) {
    const double cx = viewSize.width / 2;
    const double cy = viewSize.height / 2;
    const double radius = std::min(cx, cy);
    const double x = point.x - cx;
    const double y = cy - point.y;
    const double d = std::hypot(x, y);
    HSBComponents hsb;
    hsb.brightness = std::clamp(brightness, 0.0, 1.0);
    if (radius <= 0 || d <= 0) {
        return hsb;
    }
    hsb.hue = hueOf(x, y);
    hsb.saturation = std::min(d / radius, 1.0);
    return hsb;
}

Point markerPosition(double hue, double saturation, Size viewSize) {
    const double cx = viewSize.width / 2;
    const double cy = viewSize.height / 2;
    const double radius = std::min(cx, cy) * std::clamp(saturation, 0.0, 1.0);
    const double angle = hue * 2 * std::numbers::pi;
    return {cx + radius * std::cos(angle), cy - radius * std::sin(angle)};
}

} // namespace brisklet::CircularColorWheel
