#pragma once

#include "Platform/DisplayServer.h"
#include "Platform/ScreenCaptureBackend.h"

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

namespace brisklet {

class ImageCodec;
class LocalizationStore;

/// Turns a rectangle of the desktop, a window or a whole screen into a still image. Rectangles
/// are in the global desktop space (points, origin bottom-left of the primary screen, y up);
/// images are in pixels with a top-left origin.
///
/// Mechanisms, in order: the platform capture backend (fast, in-process) and then the
/// command-line screenshot tool, which is slow but reads the screen the way the user sees it.
/// Every method blocks the calling thread; callers run them off the main thread.
class ScreenCaptureService {
public:
    /// How long the command-line tool may run before it is killed.
    static constexpr double toolTimeoutSeconds = 8.0;

    /// `temporaryDirectory` receives the command-line tool's output files (removed right away);
    /// `localization` words the errors in log lines.
    ScreenCaptureService(ScreenCaptureBackend& backend, ScreenshotTool& tool, const ImageCodec& codec,
                         std::filesystem::path temporaryDirectory, const LocalizationStore& localization);

    /// The context of one capture run on `screen`: its number, its frame and the union of the
    /// frames of `allScreens`. Fails with missingScreen when the screen has no number or no
    /// screen is connected.
    static Result<ScreenCaptureContext, ScreenCaptureError> makeContext(const DisplayScreen& screen,
                                                                        const std::vector<DisplayScreen>& allScreens);

    /// `rect` of the context's screen: the whole screen is captured and cropped.
    Result<Image, ScreenCaptureError> capture(const Rect& rect, const ScreenCaptureContext& context,
                                              bool allowsFastSingleFrameCapture);
    /// Like `capture`, leaving our own windows `excludingWindowIDs` out of the picture; an empty
    /// list is the plain capture.
    Result<Image, ScreenCaptureError> capture(const Rect& rect, const ScreenCaptureContext& context,
                                              const std::vector<std::uint32_t>& excludingWindowIDs);
    /// One GIF frame: only `rect` is captured and returned as it comes.
    Result<Image, ScreenCaptureError> captureForGIF(const Rect& rect, const ScreenCaptureContext& context);
    /// The window numbered `windowID` through the command-line tool; its frame is included when
    /// `includeShadow` (X11 windows have no shadow, but their decorations play that part).
    Result<Image, ScreenCaptureError> captureWindow(std::uint32_t windowID, bool includeShadow);
    /// The whole screen of `context` without the windows `excludingWindowIDs`; nothing on any
    /// failure.
    std::optional<Image> captureDisplayImage(const ScreenCaptureContext& context,
                                             const std::vector<std::uint32_t>& excludingWindowIDs);
    /// `rect` through the mechanism chain: the backend when `allowsFastSingleFrameCapture`, then
    /// the command-line tool.
    Result<Image, ScreenCaptureError> captureWithSystemTool(const Rect& rect, const ScreenCaptureContext& context,
                                                            bool allowsFastSingleFrameCapture);

private:
    Result<Image, ScreenCaptureError>
    captureSystemImage(const std::function<ScreenshotToolRun(const std::filesystem::path&)>& run,
                       const std::string& logContext);
    std::string describe(ScreenCaptureError error) const;

    ScreenCaptureBackend& backend_;
    ScreenshotTool& tool_;
    const ImageCodec& codec_;
    std::filesystem::path temporaryDirectory_;
    const LocalizationStore& localization_;
};

} // namespace brisklet
