#pragma once

#include "Platform/ScreenCaptureBackend.h"

#include <string>

namespace brisklet {

/// ImageMagick's `import` as the last-resort capture: it reads the X server itself, so it works
/// where our own GetImage path cannot (unusual pixel formats, for one).
class X11ImportScreenshotTool final : public ScreenshotTool {
public:
    /// `displayName` is passed as -display when not empty; otherwise `import` uses $DISPLAY.
    explicit X11ImportScreenshotTool(std::string displayName = {}, std::string program = "import");

    ScreenshotToolRun captureRectangle(const Rect& toolRect, const std::filesystem::path& output,
                                       double timeoutSeconds) override;
    ScreenshotToolRun captureWindow(std::uint32_t windowID, bool includeDecorations,
                                    const std::filesystem::path& output, double timeoutSeconds) override;

    /// The command line for a rectangle, for logs and tests.
    std::vector<std::string> rectangleArguments(const Rect& toolRect, const std::filesystem::path& output) const;
    /// The command line for a window.
    std::vector<std::string> windowArguments(std::uint32_t windowID, bool includeDecorations,
                                             const std::filesystem::path& output) const;

private:
    ScreenshotToolRun run(const std::vector<std::string>& arguments, double timeoutSeconds) const;

    std::string displayName_;
    std::string program_;
};

} // namespace brisklet
