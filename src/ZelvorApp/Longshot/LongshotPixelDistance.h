#pragma once

#include <cstdint>
#include <cstdlib>

namespace brisklet {

/// |ΔR| + |ΔG| + |ΔB| of two 8-bit RGBA pixels (0...765); alpha is ignored.
inline int pixelDistance(const std::uint8_t* a, const std::uint8_t* b) {
    return std::abs(int(a[0]) - int(b[0])) + std::abs(int(a[1]) - int(b[1])) + std::abs(int(a[2]) - int(b[2]));
}

} // namespace brisklet
