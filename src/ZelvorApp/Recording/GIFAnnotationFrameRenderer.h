#pragma once

#include "ZelvorApp/Recording/GIFAnnotationTimeline.h"
#include "ZelvorApp/Recording/GIFFileWriter.h"
#include "ZelvorCore/Foundation/Image.h"

#include <vector>

namespace brisklet {

/// Draws recording annotations into GIF frames (a graphics toolkit does the drawing).
class GIFAnnotationFrameRenderer {
public:
    virtual ~GIFAnnotationFrameRenderer() = default;

    /// `frame` with `annotations` drawn on it in order. Canvas coordinates are scaled by
    /// (frame width / canvas width, frame height / canvas height) and lengths by the smaller of the
    /// two; redactions process the pixels of `frame` under them.
    virtual Image render(const Image& frame, const std::vector<GIFPrototypeAnnotation>& annotations,
                         Size canvasSize) const = 0;
};

/// The GIF writer's frame renderer for an annotated recording: each frame gets the annotations
/// active at its recording time. `renderer` must outlive the returned function.
inline GIFFileWriter::FrameRenderer makeAnnotationFrameRenderer(GIFAnnotationExportPlan plan,
                                                                const GIFAnnotationFrameRenderer& renderer) {
    return [plan = std::move(plan), &renderer](const Image& frame, double time) {
        const auto active = plan.timeline.activeAnnotations(time);
        return Result<Image, std::string>::success(active.empty() ? frame
                                                                  : renderer.render(frame, active, plan.canvasSize));
    };
}

} // namespace brisklet
