#pragma once

#include "Platform/ScreenCaptureBackend.h"
#include "ZelvorCore/Foundation/Geometry.h"

#include <iosfwd>
#include <optional>
#include <string>

namespace brisklet {

/// The region a `record` command names (root pixels from the top-left of the X screen), in the
/// desktop space, with the capture context of the one screen that holds it.
struct RecordingRegion {
    Rect rect;
    ScreenCaptureContext context;

    /// Prints why not to `err` when the display cannot be opened or the region spans screens.
    static std::optional<RecordingRegion> locate(const Rect& rootPixels, const std::string& display, std::ostream& err);
};

} // namespace brisklet
