#include "ZelvorCore/Models/HSBComponents.h"

#include <algorithm>
#include <cmath>

namespace brisklet {

StoredColor HSBComponents::color() const {
    double h = std::isfinite(hue) ? hue - std::floor(hue) : 0;
    if (h >= 1) {
        h = 0; // a hue a hair below a whole number wraps to exactly 1 in floating point
    }
    const double s = std::isfinite(saturation) ? std::clamp(saturation, 0.0, 1.0) : 0;
    const double v = std::isfinite(brightness) ? std::clamp(brightness, 0.0, 1.0) : 0;
    const double sector = h * 6;
    const int i = static_cast<int>(std::floor(sector)) % 6;
    const double f = sector - std::floor(sector);
    const double p = v * (1 - s);
    const double q = v * (1 - s * f);
    const double t = v * (1 - s * (1 - f));
    switch (i) {
    case 0:
        return {v, t, p, 1};
    case 1:
        return {q, v, p, 1};
    case 2:
        return {p, v, t, 1};
    case 3:
        return {p, q, v, 1};
    case 4:
        return {t, p, v, 1};
    default:
        return {v, p, q, 1};
    }
}

} // namespace brisklet
