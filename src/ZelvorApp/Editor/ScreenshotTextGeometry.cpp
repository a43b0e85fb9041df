#include "ZelvorApp/Editor/ScreenshotTextGeometry.h"

#include <cmath>
#include <numbers>

namespace brisklet::ScreenshotTextGeometry {

double normalizedAngle(double angle) {
    if (!std::isfinite(angle)) {
        return 0;
    }
    constexpr double twoPi = 2 * std::numbers::pi;
    double a = std::fmod(angle, twoPi);
    if (a <= -std::numbers::pi) {
        a += twoPi;
    } else if (a > std::numbers::pi) {
        a -= twoPi;
    }
    return a;
}

double snappedAngle(double angle, double thresholdDegrees) {
    const double a = normalizedAngle(angle);
    const double threshold = thresholdDegrees * std::numbers::pi / 180;
    constexpr double step = std::numbers::pi / 4;
    // Eight stops a quarter turn apart; −π and π are the same direction and snap to π.
    const double nearest = std::round(a / step) * step;
    if (std::fabs(a - nearest) <= threshold) {
        return nearest <= -std::numbers::pi ? std::numbers::pi : nearest;
    }
    return a;
}

Point rotated(Point p, Point center, double angle) {
    const double c = std::cos(angle);
    const double s = std::sin(angle);
    const double dx = p.x - center.x;
    const double dy = p.y - center.y;
    return {center.x + dx * c - dy * s, center.y + dx * s + dy * c};
}

double angleAround(Point p, Point center) {
    return std::atan2(p.y - center.y, p.x - center.x);
}

} // namespace brisklet::ScreenshotTextGeometry
