#pragma once

#include "ZelvorCore/Foundation/Geometry.h"

#include <optional>
#include <string>
#include <vector>

namespace brisklet {

/// Where the selection's action bar goes: centred below the selection, else beside it.
struct OverlayAccessoryLayout {
    static constexpr double gap = 12;
    static Rect frame(const Rect& anchor, const Rect& container, Size contentSize);
};

/// Where the pixel magnifier goes: down-right of the pointer, flipped away from the edges.
struct MagnifierLayout {
    static constexpr Size panelSize{136, 176};
    static constexpr double offset = 16;
    static constexpr double margin = 12;
    static Rect frame(Point near, const Rect& container);
};

/// Where the "Window" / "Area" badge of a previewed snap target goes: near its top-left corner,
/// kept on screen.
struct SnapBadgeLayout {
    static constexpr double height = 22;
    static constexpr double horizontalPadding = 8;
    static Rect frame(const Rect& candidate, const Rect& bounds, double textWidth);
};

/// Of the screen frames, the one sharing most area with `rect` (the earlier on a tie).
struct SelectionOverlayTargetScreenPolicy {
    static std::optional<Rect> bestFrame(const Rect& rect, const std::vector<Rect>& frames);
};

enum class MagnifierColorFormat { hex, rgb };

struct MagnifierColorSample {
    int red = 0;
    int green = 0;
    int blue = 0;

    /// "RGB(r, g, b)".
    std::string rgbString() const;
    /// "#RRGGBB" for hex, "r g b" for rgb.
    std::string compactFormattedValue(MagnifierColorFormat format) const;
    /// What a copy puts on the clipboard: "#RRGGBB", or the rgb string.
    std::string clipboardText(MagnifierColorFormat format) const;
    bool operator==(const MagnifierColorSample&) const = default;
};

} // namespace brisklet
