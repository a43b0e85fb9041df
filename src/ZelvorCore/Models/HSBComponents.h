#pragma once

#include "ZelvorCore/Models/StoredColor.h"

namespace brisklet {

/// Hue, saturation and brightness, each 0...1.
struct HSBComponents {
    double hue = 0;
    double saturation = 0;
    double brightness = 0;
    bool operator==(const HSBComponents&) const = default;

    /// The opaque colour with these components. The hue wraps around (-0.25 is 0.75), saturation and
    /// brightness are clamped into 0...1, and a component that is not a number counts as 0.
    StoredColor color() const;
};

} // namespace brisklet
