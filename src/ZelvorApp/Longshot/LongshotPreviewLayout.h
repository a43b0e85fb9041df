#pragma once

#include "ZelvorCore/Foundation/Geometry.h"

#include <optional>

namespace brisklet {

/// Where the live preview window goes during a scrolling capture: beside the recorded region,
/// never over it (it would be captured) and never over the control bar. Stateless.
class LongshotPreviewLayout {
public:
    static constexpr Size contentSize{246, 390};
    static constexpr double spacing = 12;
    static constexpr int windowLevel = 25;

    /// Tries right of the selection, left of it, below it and above it (global desktop space,
    /// y up), each centred on the selection along the other axis and kept inside the visible
    /// frame; the first that fits and overlaps neither the selection nor `avoiding` wins. None
    /// (and a log line) when no side has room.
    static std::optional<Rect> frame(const Rect& selection, const Rect& visibleFrame, Size size = contentSize,
                                     std::optional<Rect> avoiding = std::nullopt);
};

} // namespace brisklet
