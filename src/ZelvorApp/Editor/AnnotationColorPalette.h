#pragma once

#include "ZelvorCore/Models/StoredColor.h"

#include <array>

namespace brisklet {

/// The colours the style toolbar always offers, in order: red, yellow, green, blue, white.
struct AnnotationColorPalette {
    static constexpr std::array<StoredColor, 5> fixedColors{{
        {1.0, 0.231, 0.188, 1},
        {1.0, 0.8, 0.0, 1},
        {0.204, 0.78, 0.349, 1},
        {0.039, 0.518, 1.0, 1},
        {1.0, 1.0, 1.0, 1},
    }};
};

} // namespace brisklet
