#pragma once

#include "ZelvorApp/Background/GIFRenderContext.h"
#include "ZelvorApp/Recording/GIFAnnotationTimeline.h"
#include "ZelvorApp/Recording/GIFFileWriter.h"
#include "ZelvorApp/Recording/GIFPostProcessor.h"
#include "ZelvorApp/Recording/GIFRecordingDraft.h"
#include "ZelvorCore/Foundation/Image.h"
#include "ZelvorCore/Foundation/Result.h"
#include "ZelvorCore/Models/BackgroundComposition.h"

#include <optional>
#include <string>

namespace brisklet {

class BackgroundRenderer;
class GIFAnnotationFrameRenderer;

/// Draws one export frame as it appears in the GIF: first the annotations active at the frame's
/// recording time, then the background around the annotated frame. The background (with the
/// frame's shadow) is drawn once, on the first frame, for that frame's size, and reused for every
/// later frame of the export; a background that cannot be drawn fails the frame.
class GIFExportFrameRenderer {
public:
    /// Annotations are drawn when there is both a plan and a renderer. A composition without a
    /// background renderer cannot be honoured and fails every frame rather than being dropped.
    /// The renderers must outlive this object and every function made from it.
    GIFExportFrameRenderer(std::optional<GIFAnnotationExportPlan> plan, const GIFAnnotationFrameRenderer* annotations,
                           std::optional<BackgroundComposition> composition, const BackgroundRenderer* background);

    /// True when frames come out exactly as they go in.
    bool drawsNothing() const;

    /// `frame` annotated for `time` and put on the background; the text of the failure otherwise.
    Result<Image, std::string> render(const Image& frame, double time);

    /// `frame` with the annotations of `plan` active at `time` drawn on it, in the order they were
    /// added (the frame itself when none is active).
    static Image annotatedFrame(const Image& frame, double time, const GIFAnnotationExportPlan& plan,
                                const GIFAnnotationFrameRenderer& renderer);

    /// How many times this export set out to make its background context (once, at the first
    /// frame, whether or not that worked).
    int contextsMade() const { return contextsMade_; }

    /// `renderer` as the GIF writer's frame renderer; an empty function when it draws nothing, so
    /// the writer encodes the captured frames without copying them.
    static GIFFileWriter::FrameRenderer writerRenderer(GIFExportFrameRenderer renderer);

    /// The editing window's export in one call: the draft trimmed to the options' segments, with
    /// its annotations drawn and, when the options carry one, on their background. Either renderer
    /// may be null (annotations are then left out; a background cannot be drawn and fails).
    static Status<GIFExportFailure> writePostProcessed(const GIFFileWriter& writer, const GIFRecordingDraft& draft,
                                                       const GIFPostProcessingOptions& options,
                                                       const std::filesystem::path& file,
                                                       const GIFFileWriter::Progress& progress,
                                                       const GIFAnnotationFrameRenderer* annotations,
                                                       const BackgroundRenderer* background);

private:
    Result<Image, std::string> onBackground(const Image& frame);

    std::optional<GIFAnnotationExportPlan> plan_;
    const GIFAnnotationFrameRenderer* annotations_;
    std::optional<BackgroundComposition> composition_;
    const BackgroundRenderer* background_;
    std::optional<GIFRenderContext> context_;
    int contextsMade_ = 0;
};

} // namespace brisklet
