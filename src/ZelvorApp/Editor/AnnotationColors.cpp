#include "ZelvorApp/Editor/AnnotationColors.h"

#include <algorithm>
#include <cmath>

namespace brisklet::AnnotationColors {

StoredColor safeRGBAComponents(const StoredColor& c) {
    if (!std::isfinite(c.red) || !std::isfinite(c.green) || !std::isfinite(c.blue) || !std::isfinite(c.alpha)) {
        return {0, 0, 0, 1};
    }
    return {std::clamp(c.red, 0.0, 1.0), std::clamp(c.green, 0.0, 1.0), std::clamp(c.blue, 0.0, 1.0),
            std::clamp(c.alpha, 0.0, 1.0)};
}

StoredColor haloColor(const StoredColor& color) {
    const StoredColor c = safeRGBAComponents(color);
    return {1, 1, 1, std::clamp(c.alpha * 0.58, 0.0, 0.58)};
}

StoredColor depthColor(const StoredColor& color) {
    const StoredColor c = safeRGBAComponents(color);
    constexpr double towardBlack = 0.42;
    return {c.red * (1 - towardBlack), c.green * (1 - towardBlack), c.blue * (1 - towardBlack),
            std::clamp(c.alpha * 0.42, 0.0, 0.42)};
}

StoredColor lightenedColor(const StoredColor& color) {
    const StoredColor c = safeRGBAComponents(color);
    // Near-white colours would wash out completely with the full lift.
    const double amount = (c.red > 0.86 && c.green > 0.86 && c.blue > 0.86) ? 0.02 : 0.12;
    const auto lift = [amount](double v) { return v + (1 - v) * amount; };
    return {lift(c.red), lift(c.green), lift(c.blue), c.alpha};
}

StoredColor highlighterColor(const StoredColor& color) {
    StoredColor c = safeRGBAComponents(color);
    c.alpha = 0.28;
    return c;
}

} // namespace brisklet::AnnotationColors
