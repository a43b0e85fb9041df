#pragma once

#include "ZelvorApp/Background/BackgroundWindowModes.h"
#include "ZelvorApp/Editor/ScreenshotEditorError.h"
#include "ZelvorCore/Foundation/Image.h"
#include "ZelvorCore/Foundation/Result.h"
#include "ZelvorCore/Models/BackgroundComposition.h"

#include <functional>
#include <optional>

namespace brisklet {

class BackgroundRenderer;

/// Connects the editor's background hook to the background renderer, so Save, Copy and Pin put
/// the flattened screenshot on whatever background the editor shows at that moment.
class EditorBackgroundComposer {
public:
    /// The editor's current background; nothing when the background is switched off.
    using CompositionProvider = std::function<std::optional<BackgroundComposition>()>;

    /// `renderer` must outlive the composer and every hook made from it.
    EditorBackgroundComposer(CompositionProvider composition, BackgroundCaptureContext context,
                             const BackgroundRenderer& renderer);

    /// The flattened image on the current background, the image itself when there is none, and
    /// `renderFailed` (with a log line saying why) when the background cannot be drawn.
    Result<Image, ScreenshotEditorError> compose(const Image& flattened) const;

    /// `compose` in the shape of `ScreenshotEditorHooks::composeBackground`.
    std::function<Result<Image, ScreenshotEditorError>(const Image&)> hook() const;

private:
    CompositionProvider composition_;
    BackgroundCaptureContext context_;
    const BackgroundRenderer* renderer_;
};

} // namespace brisklet
