#include "ZelvorCore/Foundation/Geometry.h"

#include <algorithm>
#include <charconv>

namespace brisklet {

Rect Rect::intersection(const Rect& other) const {
    const double x0 = std::max(minX(), other.minX());
    const double y0 = std::max(minY(), other.minY());
    const double x1 = std::min(maxX(), other.maxX());
    const double y1 = std::min(maxY(), other.maxY());
    if (x1 <= x0 || y1 <= y0) {
        return Rect{};
    }
    return Rect{{x0, y0}, {x1 - x0, y1 - y0}};
}

std::string formatNumber(double value) {
    if (value == 0) {
        return "0"; // also folds -0 so logs never print "-0"
    }
    char buffer[64];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
    if (ec != std::errc{}) {
        return "nan";
    }
    return std::string(buffer, end);
}

std::string toString(Point p) {
    return "{" + formatNumber(p.x) + ", " + formatNumber(p.y) + "}";
}

std::string toString(Size s) {
    return "{" + formatNumber(s.width) + ", " + formatNumber(s.height) + "}";
}

std::string toString(const Rect& r) {
    return "{" + toString(r.origin) + ", " + toString(r.size) + "}";
}

} // namespace brisklet
