#pragma once

#include "ZelvorCore/Foundation/Geometry.h"

#include <cstdint>
#include <vector>

namespace brisklet {

/// Where the control bar of a scrolling capture goes, and which of our windows must leave the
/// picture while a frame is captured. Global desktop space (y up). Stateless.
class LongshotWindowLayout {
public:
    /// Between the region and the bar.
    static constexpr double controlBarSpacing = 12;
    /// The bar never comes closer to the edges of the visible frame.
    static constexpr double screenMargin = 8;

    /// Centred under the region; above it when there is no room below; inside the region's
    /// bottom edge when there is room on neither side. Always kept inside the visible frame.
    static Rect controlBarFrame(const Rect& selection, const Rect& visibleFrame, Size size);

    struct Window {
        std::uint32_t number = 0;
        Rect frame;
    };
    /// The windows that would appear in a capture of `region`. Windows beside the region are
    /// left alone: taking them away for every frame would make them flicker.
    static std::vector<std::uint32_t> windowsToHide(const Rect& region, const std::vector<Window>& windows);
};

} // namespace brisklet
