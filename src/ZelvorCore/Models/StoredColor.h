#pragma once

#include "ZelvorCore/Foundation/Json.h"

namespace brisklet {

/// An RGBA colour with components in 0...1.
struct StoredColor {
    double red = 0;
    double green = 0;
    double blue = 0;
    double alpha = 1;

    static StoredColor white() { return {1, 1, 1, 1}; }
    static StoredColor slate() { return {0.118, 0.141, 0.192, 1}; }

    bool operator==(const StoredColor&) const = default;
};

void read(const Json& j, StoredColor& out);
Json write(const StoredColor& value);

} // namespace brisklet
