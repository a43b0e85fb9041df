#pragma once

#include "ZelvorCore/Foundation/EnumTable.h"
#include "ZelvorCore/Foundation/Geometry.h"
#include "ZelvorCore/Foundation/Image.h"
#include "ZelvorCore/Foundation/Result.h"

#include <cstdint>
#include <vector>

namespace brisklet {

/// One capture run's display, built once and reused for every frame of the run.
struct ScreenCaptureContext {
    /// The platform display number of the target screen.
    std::uint32_t displayID = 0;
    /// The target screen's frame, in points of the global desktop space (origin bottom-left).
    Rect screenFrame;
    /// The union of the frames of all screens connected when the context was made.
    Rect virtualDesktopFrame;

    bool operator==(const ScreenCaptureContext&) const = default;
};

enum class ScreenCaptureError {
    missingScreen, ///< the target screen has no display number, or no screen is connected
    captureFailed, ///< no mechanism returned an image, or cropping failed
    invalidCrop,   ///< the rectangle is degenerate, off the screen or outside the captured image
};

template <> struct EnumTraits<ScreenCaptureError> {
    static constexpr std::array<std::pair<ScreenCaptureError, std::string_view>, 3> names{{
        {ScreenCaptureError::missingScreen, "missingScreen"},
        {ScreenCaptureError::captureFailed, "captureFailed"},
        {ScreenCaptureError::invalidCrop, "invalidCrop"},
    }};
};

/// Still captures of the screen.
class ScreenCaptureBackend {
public:
    virtual ~ScreenCaptureBackend() = default;

    /// Captures `rect` (points, global desktop space, origin bottom-left) of the context's screen
    /// as an image in pixels, leaving out the windows listed in `excludingWindowIDs`. Blocks the
    /// calling thread; callers run it on a background queue.
    virtual Result<Image, ScreenCaptureError> capture(const Rect& rect, const ScreenCaptureContext& context,
                                                      const std::vector<std::uint32_t>& excludingWindowIDs) = 0;
};

} // namespace brisklet
