#pragma once

#include "ZelvorCore/Foundation/EnumTable.h"
#include "ZelvorCore/Foundation/Geometry.h"
#include "ZelvorCore/Foundation/Image.h"
#include "ZelvorCore/Foundation/Result.h"

#include <cstdint>
#include <filesystem>
#include <string>
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

/// What one run of the command-line screenshot tool produced.
struct ScreenshotToolRun {
    /// False when the tool could not be started at all; `launchError` says why.
    bool launched = false;
    std::string launchError;
    /// The tool was still running when the time ran out and has been killed.
    bool timedOut = false;
    /// The exit status; -1 when the tool did not exit normally.
    int exitStatus = -1;
    std::string standardOutput;
    std::string standardError;

    bool operator==(const ScreenshotToolRun&) const = default;
};

/// The last-resort capture mechanism: a command-line tool that writes a PNG file.
class ScreenshotTool {
public:
    virtual ~ScreenshotTool() = default;

    /// Writes `toolRect` (whole pixels, origin at the top-left of the whole desktop, y down) to
    /// the PNG file `output`, giving up after `timeoutSeconds`. Blocks the calling thread.
    virtual ScreenshotToolRun captureRectangle(const Rect& toolRect, const std::filesystem::path& output,
                                               double timeoutSeconds) = 0;
    /// Writes the window numbered `windowID` to the PNG file `output`, with its frame when
    /// `includeDecorations`, giving up after `timeoutSeconds`. Blocks the calling thread.
    virtual ScreenshotToolRun captureWindow(std::uint32_t windowID, bool includeDecorations,
                                            const std::filesystem::path& output, double timeoutSeconds) = 0;
};

} // namespace brisklet
