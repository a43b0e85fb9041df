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
};

} // namespace brisklet
