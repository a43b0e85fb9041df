#include "ZelvorApp/Editor/EditorBackgroundComposer.h"

#include "Platform/BackgroundRenderer.h"
#include "ZelvorApp/Infrastructure/RuntimeLogger.h"
#include "ZelvorCore/Foundation/EnumTable.h"

namespace brisklet {

EditorBackgroundComposer::EditorBackgroundComposer(CompositionProvider composition, BackgroundCaptureContext context,
                                                   const BackgroundRenderer& renderer)
    : composition_(std::move(composition)), context_(context), renderer_(&renderer) {}

Result<Image, ScreenshotEditorError> EditorBackgroundComposer::compose(const Image& flattened) const {
    const std::optional<BackgroundComposition> composition = composition_ ? composition_() : std::nullopt;
    if (!composition) {
        return Result<Image, ScreenshotEditorError>::success(flattened);
    }
    auto composed = renderer_->compose(flattened, *composition, context_);
    if (!composed) {
        RuntimeLogger::log("screenshot editor background failed error=" + std::string(toString(composed.error())));
        return Result<Image, ScreenshotEditorError>::failure(ScreenshotEditorError::renderFailed);
    }
    return Result<Image, ScreenshotEditorError>::success(std::move(composed).value());
}

std::function<Result<Image, ScreenshotEditorError>(const Image&)> EditorBackgroundComposer::hook() const {
    return [composer = *this](const Image& flattened) { return composer.compose(flattened); };
}

} // namespace brisklet
