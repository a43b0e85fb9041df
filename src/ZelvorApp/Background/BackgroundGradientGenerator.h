#pragma once

#include "ZelvorCore/Models/StoredColor.h"

#include <cstdint>

namespace brisklet {

/// Pleasant random two-colour gradients. The same seed always gives the same pair, on every
/// machine, so a gradient can be shared by its seed.
struct BackgroundGradientGenerator {
    struct Pair {
        StoredColor start;
        StoredColor end;
        bool operator==(const Pair&) const = default;
    };

    static Pair generate(std::uint64_t seed);

    /// Hue, saturation and brightness in 0...1 as sRGB (alpha 1); hue wraps, negative saturation
    /// and brightness count as 0.
    static StoredColor colorFromHSB(double hue, double saturation, double brightness);
};

} // namespace brisklet
