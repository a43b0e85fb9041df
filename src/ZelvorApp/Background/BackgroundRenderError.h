#pragma once

#include "ZelvorCore/Foundation/EnumTable.h"

#include <array>
#include <string_view>
#include <utility>

namespace brisklet {

/// Why no composed picture could be made.
enum class BackgroundRenderError {
    emptyContent,   ///< nothing to put on the canvas
    canvasTooLarge, ///< the canvas would need more memory than one picture may take
    renderFailed,   ///< no bitmap could be made or drawn (no QGuiApplication, out of memory)
};

template <> struct EnumTraits<BackgroundRenderError> {
    static constexpr std::array<std::pair<BackgroundRenderError, std::string_view>, 3> names{{
        {BackgroundRenderError::emptyContent, "emptyContent"},
        {BackgroundRenderError::canvasTooLarge, "canvasTooLarge"},
        {BackgroundRenderError::renderFailed, "renderFailed"},
    }};
};

/// The largest canvas we draw: 16384 pixels a side and 128 megapixels, beyond which a mistyped
/// padding would only exhaust memory.
struct BackgroundCanvasLimits {
    static constexpr double maximumSide = 16384;
    static constexpr double maximumPixels = 128.0 * 1024 * 1024;
    static bool allows(double width, double height) {
        return width >= 1 && height >= 1 && width <= maximumSide && height <= maximumSide &&
               width * height <= maximumPixels;
    }
};

} // namespace brisklet
