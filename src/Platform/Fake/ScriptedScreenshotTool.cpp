#include "Platform/Fake/ScriptedScreenshotTool.h"

namespace brisklet {

ScreenshotToolRun ScriptedScreenshotTool::captureRectangle(const Rect& toolRect, const std::filesystem::path& output,
                                                           double timeoutSeconds) {
    return finish({toolRect, std::nullopt, false, output, timeoutSeconds});
}

ScreenshotToolRun ScriptedScreenshotTool::captureWindow(std::uint32_t windowID, bool includeDecorations,
                                                        const std::filesystem::path& output, double timeoutSeconds) {
    return finish({std::nullopt, windowID, includeDecorations, output, timeoutSeconds});
}

ScreenshotToolRun ScriptedScreenshotTool::finish(Call call) {
    // Like a real tool, a file may be left behind even when the run fails.
    if (image_) {
        (void)codec_.writeFile(*image_, call.output, ImageFormat::png);
    }
    calls_.push_back(std::move(call));
    return outcome_;
}

} // namespace brisklet
