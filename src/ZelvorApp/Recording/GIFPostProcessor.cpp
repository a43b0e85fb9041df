#include "ZelvorApp/Recording/GIFPostProcessor.h"

#include <algorithm>

namespace brisklet {

namespace {

constexpr double kMinimumSegmentLength = 0.01;
/// Grid times are products of decimal fractions (3 × 0.1 = 0.30000000000000004): a slot on a
/// segment's edge belongs to the segment.
constexpr double kEdgeTolerance = 1e-9;

} // namespace

std::vector<GIFTrimSegment> GIFPostProcessor::normalizedSegments(std::vector<GIFTrimSegment> segments,
                                                                 double duration) {
    const double upper = std::max(duration, 0.0);
    std::vector<GIFTrimSegment> result;
    for (auto& segment : segments) {
        const double a = std::clamp(segment.start, 0.0, upper);
        const double b = std::clamp(segment.end, 0.0, upper);
        segment.start = std::min(a, b);
        segment.end = std::max(a, b);
        if (segment.end - segment.start > kMinimumSegmentLength) {
            result.push_back(segment);
        }
    }
    std::stable_sort(result.begin(), result.end(),
                     [](const GIFTrimSegment& x, const GIFTrimSegment& y) { return x.start < y.start; });
    return result;
}

std::vector<GIFProcessedFrame> GIFPostProcessor::processedFrames(const std::vector<CapturedGIFFrame>& frames, int fps,
                                                                 double recordingDuration,
                                                                 const GIFPostProcessingOptions& options) {
    const auto exported = GIFFrameTiming::exportFrames(frames, fps, recordingDuration);
    const auto toProcessed = [](const GIFFrameTiming::ExportFrame& f) {
        return GIFProcessedFrame{f.frame.image, f.delay, f.frame.timestamp};
    };
    std::vector<GIFProcessedFrame> result;
    const auto segments = normalizedSegments(options.segments, recordingDuration);
    for (const auto& segment : segments) {
        for (const auto& frame : exported) {
            const double t = frame.frame.timestamp;
            if (t >= segment.start - kEdgeTolerance && t <= segment.end + kEdgeTolerance) {
                result.push_back(toProcessed(frame));
            }
        }
    }
    if (result.empty()) {
        std::transform(exported.begin(), exported.end(), std::back_inserter(result), toProcessed);
    }
    return result;
}

GIFFileWriter::FramePlanner GIFPostProcessor::planner(GIFPostProcessingOptions options) {
    return [options = std::move(options)](const std::vector<CapturedGIFFrame>& frames, int fps, double duration) {
        return exportPlan(frames, fps, duration, options);
    };
}

std::vector<GIFFrameTiming::ExportFrame> GIFPostProcessor::exportPlan(const std::vector<CapturedGIFFrame>& frames,
                                                                      int fps, double recordingDuration,
                                                                      const GIFPostProcessingOptions& options) {
    std::vector<GIFFrameTiming::ExportFrame> plan;
    for (const auto& frame : processedFrames(frames, fps, recordingDuration, options)) {
        plan.push_back({CapturedGIFFrame{frame.image, frame.originalTimestamp}, frame.delay});
    }
    return plan;
}

} // namespace brisklet
