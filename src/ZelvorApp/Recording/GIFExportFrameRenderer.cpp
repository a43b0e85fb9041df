#include "ZelvorApp/Recording/GIFExportFrameRenderer.h"

#include "ZelvorApp/Recording/GIFAnnotationFrameRenderer.h"

#include <memory>

namespace brisklet {

GIFExportFrameRenderer::GIFExportFrameRenderer(std::optional<GIFAnnotationExportPlan> plan,
                                               const GIFAnnotationFrameRenderer* annotations,
                                               std::optional<BackgroundComposition> composition,
                                               const BackgroundRenderer* background)
    : plan_(std::move(plan)), annotations_(annotations), composition_(std::move(composition)), background_(background) {
}

bool GIFExportFrameRenderer::drawsNothing() const {
    return !(plan_ && annotations_) && !composition_;
}

Result<Image, std::string> GIFExportFrameRenderer::render(const Image& frame, double time) {
    Image annotated = plan_ && annotations_ ? annotatedFrame(frame, time, *plan_, *annotations_) : frame;
    if (!composition_) {
        return Result<Image, std::string>::success(std::move(annotated));
    }
    return onBackground(annotated);
}

Image GIFExportFrameRenderer::annotatedFrame(const Image& frame, double time, const GIFAnnotationExportPlan& plan,
                                             const GIFAnnotationFrameRenderer& renderer) {
    const auto active = plan.timeline.activeAnnotations(time);
    return active.empty() ? frame : renderer.render(frame, active, plan.canvasSize);
}

Result<Image, std::string> GIFExportFrameRenderer::onBackground(const Image& frame) {
    using R = Result<Image, std::string>;
    if (!background_) {
        return R::failure("background: no background renderer");
    }
    if (!context_) {
        auto made = GIFRenderContext::make({static_cast<double>(frame.width()), static_cast<double>(frame.height())},
                                           *composition_, *background_);
        ++contextsMade_;
        if (!made) {
            return R::failure("background: " + std::string(toString(made.error())));
        }
        context_.emplace(std::move(made).value());
    }
    auto composed = context_->render(frame);
    if (!composed) {
        return R::failure("background: " + std::string(toString(composed.error())));
    }
    return R::success(std::move(composed).value());
}

GIFFileWriter::FrameRenderer GIFExportFrameRenderer::writerRenderer(GIFExportFrameRenderer renderer) {
    if (renderer.drawsNothing()) {
        return {};
    }
    // The writer copies its renderer function; the context made on the first frame must be
    // shared by every copy, so the state lives behind one pointer.
    auto shared = std::make_shared<GIFExportFrameRenderer>(std::move(renderer));
    return [shared](const Image& frame, double time) { return shared->render(frame, time); };
}

Status<GIFExportFailure> GIFExportFrameRenderer::writePostProcessed(
    const GIFFileWriter& writer, const GIFRecordingDraft& draft, const GIFPostProcessingOptions& options,
    const std::filesystem::path& file, const GIFFileWriter::Progress& progress,
    const GIFAnnotationFrameRenderer* annotations, const BackgroundRenderer* background) {
    return writer.writeGIFFile(draft.frames, draft.fps, draft.recordingDuration, file, progress,
                               GIFPostProcessor::planner(options),
                               writerRenderer(GIFExportFrameRenderer(draft.annotationExportPlan, annotations,
                                                                     options.backgroundComposition, background)));
}

} // namespace brisklet
