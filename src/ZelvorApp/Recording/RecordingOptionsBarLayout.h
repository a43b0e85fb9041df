#pragma once

#include "ZelvorCore/Foundation/Geometry.h"

namespace brisklet {

/// Where the bars of a recording go: centred under the region, or above it when there is no room
/// below, always inside the screen. Global points, y growing upwards.
class RecordingOptionsBarLayout {
public:
    static constexpr double barHeight = 48;
    static constexpr double maximumWidth = 720;
    static constexpr double screenMargin = 16;
    static constexpr double regionGap = 10;

    /// The options bar's frame.
    static Rect windowRect(const Rect& selectionRect, const Rect& screenFrame);
    /// A bar of `size` placed by the same rules (the control bars, which are narrower).
    static Rect barRect(const Rect& selectionRect, const Rect& screenFrame, Size size);
};

} // namespace brisklet
