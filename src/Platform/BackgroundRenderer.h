#pragma once

#include "ZelvorApp/Background/BackgroundLayout.h"
#include "ZelvorApp/Background/BackgroundRenderError.h"
#include "ZelvorCore/Foundation/Image.h"
#include "ZelvorCore/Foundation/Result.h"
#include "ZelvorCore/Models/BackgroundComposition.h"

namespace brisklet {

/// Draws screenshots and animation frames on their decorative canvas. One drawing routine serves
/// the editor's preview, saved files and GIF exports. Safe to call from several threads.
class BackgroundRenderer {
public:
    virtual ~BackgroundRenderer() = default;

    /// The finished picture at the layout's canvas size: background, shadow, device or browser
    /// chrome, and `content` in its rounded rectangle. `context` decides the corner of a bare
    /// window capture. A picture background that cannot be read falls back to the window colour.
    virtual Result<Image, BackgroundRenderError> compose(const Image& content, const BackgroundComposition& composition,
                                                         BackgroundCaptureContext context) const = 0;

    /// The background alone (the source with its image adjustment) over a canvas of
    /// `canvasSize`; transparent where the source draws nothing.
    virtual Result<Image, BackgroundRenderError> renderBackground(const BackgroundComposition& composition,
                                                                  Size canvasSize) const = 0;

    /// For animations: `background` with the shadow the layout's content rectangle casts. Made
    /// once per export; every frame is then drawn onto it with `composeFrame`.
    virtual Result<Image, BackgroundRenderError> renderFrameStage(const Image& background,
                                                                  const BackgroundLayout& layout,
                                                                  const BackgroundComposition& composition) const = 0;

    /// One animation frame: a copy of `stage` with `frame` drawn into the layout's content
    /// rectangle, clipped to the composition's rounded corners (scaled when its size differs).
    virtual Result<Image, BackgroundRenderError> composeFrame(const Image& stage, const BackgroundLayout& layout,
                                                              const BackgroundComposition& composition,
                                                              const Image& frame) const = 0;
};

} // namespace brisklet
