#include "ZelvorApp/Background/GIFBackgroundRenderer.h"

#include "Platform/BackgroundRenderer.h"
#include "ZelvorApp/Background/BackgroundLayout.h"
#include "ZelvorApp/Background/GIFRenderContext.h"

#include <algorithm>

namespace brisklet {

Result<Image, BackgroundRenderError> GIFBackgroundRenderer::render(const Image& content,
                                                                   const BackgroundComposition& composition,
                                                                   const BackgroundRenderer& renderer) {
    using R = Result<Image, BackgroundRenderError>;
    if (content.isEmpty()) {
        return R::failure(BackgroundRenderError::emptyContent);
    }
    const auto context = GIFRenderContext::make(
        {static_cast<double>(content.width()), static_cast<double>(content.height())}, composition, renderer);
    if (!context) {
        return R::failure(context.error());
    }
    return context.value().render(content);
}

Result<Image, BackgroundRenderError> GIFBackgroundRenderer::makeBackgroundBase(Size canvasSize,
                                                                               const BackgroundComposition& composition,
                                                                               const BackgroundRenderer& renderer) {
    if (!BackgroundCanvasLimits::allows(canvasSize.width, canvasSize.height)) {
        return Result<Image, BackgroundRenderError>::failure(BackgroundRenderError::canvasTooLarge);
    }
    return renderer.renderBackground(composition, canvasSize);
}

std::optional<BackgroundComposition> GIFBackgroundChoice::composition(Size contentSize) const {
    if (!presetID) {
        return std::nullopt;
    }
    BackgroundComposition base;
    base.source = {BackgroundSource::Preset{*presetID}};
    BackgroundComposition balanced =
        BackgroundLayout::balancedComposition(base, contentSize, BackgroundCaptureContext::region);
    balanced.padding = std::max(balanced.padding, minimumPadding);
    return balanced;
}

} // namespace brisklet
