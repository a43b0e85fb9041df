#pragma once

#include "Platform/DisplayServer.h"
#include "ZelvorCore/Foundation/Geometry.h"

#include <optional>
#include <string>
#include <vector>

namespace brisklet {

/// Regions typed on the command line the way X11 tools take them: "WxH+X+Y", whole pixels from the
/// top-left corner of the whole X screen.
struct RegionArgument {
    /// The rectangle in root pixels (top-left origin, y down); nothing unless the text has that form
    /// and the region is at least 2 × 2.
    static std::optional<Rect> parse(const std::string& text);
    /// Root pixels into the global desktop space (points, origin bottom-left, y up) of `desktop`,
    /// the union of the screens; nothing when the region does not fit on it.
    static std::optional<Rect> onDesktop(const Rect& rootPixels, const Rect& desktop);
    /// The screen a desktop rectangle lies in completely, if any.
    static const DisplayScreen* screenHolding(const std::vector<DisplayScreen>& screens, const Rect& rect);
    /// Where the primary screen's top-left corner lies in root pixels; window lists report
    /// window bounds relative to it.
    static Point primaryRootOrigin(const std::vector<DisplayScreen>& screens);
};

} // namespace brisklet
