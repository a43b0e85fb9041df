#pragma once

#include "Platform/DisplayServer.h"
#include "Platform/Linux/Accessibility/AccessibleTree.h"

#include <algorithm>
#include <optional>
#include <vector>

namespace brisklet {

/// From the X screen's coordinates (the root window's top-left, y down), which accessibility
/// extents use, into the desktop space (the primary screen's bottom-left, y up).
struct ScreenToDesktop {
    /// Where the X screen's left and top edges lie in the desktop space.
    double left = 0;
    double top = 0;

    /// Nothing for extents that say the element is not on screen (toolkits answer zero or
    /// negative sizes for those).
    std::optional<Rect> convert(const ScreenExtents& extents) const {
        if (extents.width <= 0 || extents.height <= 0) {
            return std::nullopt;
        }
        return Rect{{left + extents.x, top - extents.y - extents.height},
                    {static_cast<double>(extents.width), static_cast<double>(extents.height)}};
    }

    /// The root window spans the screens' bounding box from its top-left corner.
    static std::optional<ScreenToDesktop> fromScreens(const std::vector<DisplayScreen>& screens) {
        if (screens.empty()) {
            return std::nullopt;
        }
        ScreenToDesktop mapping{screens.front().frame.minX(), screens.front().frame.maxY()};
        for (const DisplayScreen& screen : screens) {
            mapping.left = std::min(mapping.left, screen.frame.minX());
            mapping.top = std::max(mapping.top, screen.frame.maxY());
        }
        return mapping;
    }
};

} // namespace brisklet
