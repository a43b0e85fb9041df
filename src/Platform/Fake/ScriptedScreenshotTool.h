#pragma once

#include "Platform/ImageCodec.h"
#include "Platform/ScreenCaptureBackend.h"

#include <optional>

namespace brisklet {

/// A command-line screenshot tool whose outcome the test chooses: it writes `image` (when set)
/// to the output file with the given codec and reports `run`.
class ScriptedScreenshotTool final : public ScreenshotTool {
public:
    struct Call {
        std::optional<Rect> toolRect;
        std::optional<std::uint32_t> windowID;
        bool includeDecorations = false;
        std::filesystem::path output;
        double timeoutSeconds = 0;
    };

    explicit ScriptedScreenshotTool(const ImageCodec& codec) : codec_(codec) {}

    ScreenshotToolRun captureRectangle(const Rect& toolRect, const std::filesystem::path& output,
                                       double timeoutSeconds) override;
    ScreenshotToolRun captureWindow(std::uint32_t windowID, bool includeDecorations,
                                    const std::filesystem::path& output, double timeoutSeconds) override;

    /// What the next runs report; a successful run by default.
    void setOutcome(ScreenshotToolRun run) { outcome_ = std::move(run); }
    /// What the next runs write; nothing means no file is written.
    void setImage(std::optional<Image> image) { image_ = std::move(image); }
    const std::vector<Call>& calls() const { return calls_; }

private:
    ScreenshotToolRun finish(Call call);

    const ImageCodec& codec_;
    ScreenshotToolRun outcome_{true, {}, false, 0, {}, {}};
    std::optional<Image> image_;
    std::vector<Call> calls_;
};

} // namespace brisklet
