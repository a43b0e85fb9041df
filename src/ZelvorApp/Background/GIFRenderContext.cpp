#include "ZelvorApp/Background/GIFRenderContext.h"

#include "Platform/BackgroundRenderer.h"

namespace brisklet {

GIFRenderContext::GIFRenderContext(const BackgroundRenderer& renderer, BackgroundComposition composition,
                                   BackgroundLayout layout, Image baseImage, Image stage)
    : renderer_(&renderer), composition_(std::move(composition)), layout_(layout), baseImage_(std::move(baseImage)),
      stage_(std::move(stage)) {}

Result<GIFRenderContext, BackgroundRenderError>
GIFRenderContext::make(Size contentSize, const BackgroundComposition& composition, const BackgroundRenderer& renderer) {
    using R = Result<GIFRenderContext, BackgroundRenderError>;
    if (contentSize.width < 1 || contentSize.height < 1) {
        return R::failure(BackgroundRenderError::emptyContent);
    }
    const BackgroundLayout layout = BackgroundLayout::make(contentSize, composition);
    if (!BackgroundCanvasLimits::allows(layout.canvasSize.width, layout.canvasSize.height)) {
        return R::failure(BackgroundRenderError::canvasTooLarge);
    }
    auto base = renderer.renderBackground(composition, layout.canvasSize);
    if (!base) {
        return R::failure(base.error());
    }
    auto stage = renderer.renderFrameStage(base.value(), layout, composition);
    if (!stage) {
        return R::failure(stage.error());
    }
    return R::success(
        GIFRenderContext(renderer, composition, layout, std::move(base).value(), std::move(stage).value()));
}

Result<Image, BackgroundRenderError> GIFRenderContext::render(const Image& content) const {
    if (content.isEmpty()) {
        return Result<Image, BackgroundRenderError>::failure(BackgroundRenderError::emptyContent);
    }
    return renderer_->composeFrame(stage_, layout_, composition_, content);
}

} // namespace brisklet
