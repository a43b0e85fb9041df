#pragma once

#include "ZelvorApp/Background/BackgroundLayout.h"
#include "ZelvorApp/Background/BackgroundRenderError.h"
#include "ZelvorCore/Foundation/Image.h"
#include "ZelvorCore/Foundation/Result.h"
#include "ZelvorCore/Models/BackgroundComposition.h"

namespace brisklet {

class BackgroundRenderer;

/// Puts the frames of one GIF export on one background. The background (and the shadow under
/// the frame, which is the same for every frame) is drawn once when the context is made; each
/// frame then costs one copy and one clipped draw.
class GIFRenderContext {
public:
    /// Fails when the background cannot be rendered (or the canvas would be too large). The
    /// renderer must outlive the context.
    static Result<GIFRenderContext, BackgroundRenderError>
    make(Size contentSize, const BackgroundComposition& composition, const BackgroundRenderer& renderer);

    /// One frame on the background, at `canvasSize`. Safe to call from one thread at a time per
    /// context (the context itself is not changed).
    Result<Image, BackgroundRenderError> render(const Image& content) const;

    const BackgroundComposition& composition() const { return composition_; }
    const BackgroundLayout& layout() const { return layout_; }
    /// The background of the whole canvas, without any frame or shadow.
    const Image& baseImage() const { return baseImage_; }
    Size canvasSize() const { return layout_.canvasSize; }

private:
    GIFRenderContext(const BackgroundRenderer& renderer, BackgroundComposition composition, BackgroundLayout layout,
                     Image baseImage, Image stage);

    const BackgroundRenderer* renderer_;
    BackgroundComposition composition_;
    BackgroundLayout layout_;
    Image baseImage_;
    Image stage_;
};

} // namespace brisklet
