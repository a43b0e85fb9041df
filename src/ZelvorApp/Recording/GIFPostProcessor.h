#pragma once

#include "ZelvorApp/Recording/CapturedGIFFrame.h"
#include "ZelvorApp/Recording/GIFFileWriter.h"
#include "ZelvorApp/Recording/GIFFrameTiming.h"
#include "ZelvorApp/Recording/GIFTrimSegment.h"
#include "ZelvorCore/Models/BackgroundComposition.h"

#include <optional>
#include <vector>

namespace brisklet {

/// What the editing window asks of an export.
struct GIFPostProcessingOptions {
    std::vector<GIFTrimSegment> segments;
    /// Composed behind every frame when set — not by the processor but while the file is written:
    /// exports go through `GIFExportFrameRenderer::writePostProcessed`, which honours both fields.
    std::optional<BackgroundComposition> backgroundComposition;

    static GIFPostProcessingOptions none() { return {}; }
    bool operator==(const GIFPostProcessingOptions&) const = default;
};

/// One frame as it will be written.
struct GIFProcessedFrame {
    std::shared_ptr<const Image> image;
    double delay = 0;
    /// The frame's time on the recording's uniform grid.
    double originalTimestamp = 0;

    bool operator==(const GIFProcessedFrame&) const = default;
};

/// Trimming: the uniform export grid cut down to the kept segments.
class GIFPostProcessor {
public:
    /// Segments clamped into 0…duration, each ordered start ≤ end, those of 0.01 s or less
    /// dropped, the rest sorted by start.
    static std::vector<GIFTrimSegment> normalizedSegments(std::vector<GIFTrimSegment> segments, double duration);

    /// The export grid of `frames` (see `GIFFrameTiming`), restricted to the frames inside the
    /// segments, segment after segment. All frames when there are no segments or none of them
    /// holds a frame, so an export is never empty because of a selection.
    static std::vector<GIFProcessedFrame> processedFrames(const std::vector<CapturedGIFFrame>& frames, int fps,
                                                          double recordingDuration,
                                                          const GIFPostProcessingOptions& options);

    /// A planner for `GIFFileWriter::writeGIFFile` that trims to `options`' segments.
    static GIFFileWriter::FramePlanner planner(GIFPostProcessingOptions options);

    /// `processedFrames` in the shape the GIF file writer plans with.
    static std::vector<GIFFrameTiming::ExportFrame> exportPlan(const std::vector<CapturedGIFFrame>& frames, int fps,
                                                               double recordingDuration,
                                                               const GIFPostProcessingOptions& options);
};

} // namespace brisklet
