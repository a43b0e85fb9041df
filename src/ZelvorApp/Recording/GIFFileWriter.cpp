#include "ZelvorApp/Recording/GIFFileWriter.h"

#include "Platform/Clock.h"
#include "Platform/GIFEncoder.h"
#include "ZelvorApp/Infrastructure/RuntimeLogger.h"
#include "ZelvorApp/Recording/GIFPerformancePolicy.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace brisklet {

namespace {

using WriteStatus = Status<GIFExportFailure>;

WriteStatus exportFailed(std::string detail) {
    return WriteStatus::failure(GIFExportFailure{GIFRecorderError::exportFailed, std::move(detail)});
}

std::string secondsText(double seconds) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.2f", seconds);
    return buffer;
}

std::string frameSizeText(const std::vector<CapturedGIFFrame>& frames) {
    if (frames.empty() || !frames.front().image) {
        return "unknown";
    }
    return std::to_string(frames.front().image->width()) + "x" + std::to_string(frames.front().image->height());
}

std::string describe(const GIFEncoderError& error) {
    return std::string(toString(error.kind)) + (error.detail.empty() ? "" : ": " + error.detail);
}

} // namespace

GIFFileWriter::GIFFileWriter(GIFEncoder& encoder, const Clock& clock, int quality)
    : encoder_(encoder), clock_(clock),
      quality_(std::clamp(quality, GIFEncodingQuality::minimum, GIFEncodingQuality::maximum)) {}

WriteStatus GIFFileWriter::writeGIFFile(const std::vector<CapturedGIFFrame>& frames, int fps, double recordingDuration,
                                        const std::filesystem::path& file, const Progress& progress,
                                        const FramePlanner& planner, const FrameRenderer& renderer) const {
    const int effectiveFPS = GIFPerformancePolicy::effectiveExportFPS(fps, recordingDuration);
    const auto exported = planner ? planner(frames, effectiveFPS, recordingDuration)
                                  : GIFFrameTiming::exportFrames(frames, effectiveFPS, recordingDuration);
    RuntimeLogger::log("GIF export stats captured=" + std::to_string(frames.size()) +
                       " exported=" + std::to_string(exported.size()) + " requestedFps=" + std::to_string(fps) +
                       " effectiveFps=" + std::to_string(effectiveFPS) + " duration=" + secondsText(recordingDuration) +
                       " frameSize=" + frameSizeText(frames));
    if (exported.empty()) {
        return WriteStatus::failure(GIFExportFailure{GIFRecorderError::noFrames, "nothing to write"});
    }

    const double renderStart = clock_.monotonicSeconds();
    std::unique_ptr<GIFEncoderSession> session;
    for (std::size_t index = 0; index < exported.size(); ++index) {
        const auto& item = exported[index];
        if (!item.frame.image || item.frame.image->isEmpty()) {
            return exportFailed("frame " + std::to_string(index) + " has no image");
        }
        // Rendered frames live only for this iteration, so memory does not grow with the length.
        Image rendered;
        if (renderer) {
            auto result = renderer(*item.frame.image, item.frame.timestamp);
            if (!result) {
                return exportFailed("frame " + std::to_string(index) + " could not be drawn: " + result.error());
            }
            rendered = std::move(result).value();
        }
        const Image& image = renderer ? rendered : *item.frame.image;
        if (!session) {
            auto begun = encoder_.begin(file, image.width(), image.height(), 0, quality_);
            if (!begun) {
                return exportFailed(describe(begun.error()));
            }
            session = std::move(begun).value();
        }
        const int delay = static_cast<int>(std::lround(item.delay * 100.0));
        if (auto added = session->addFrame(image, delay); !added) {
            return exportFailed("frame " + std::to_string(index) + ": " + describe(added.error()));
        }
        if (progress) {
            progress(0.95 * static_cast<double>(index + 1) / static_cast<double>(exported.size()));
        }
    }
    const double finalizeStart = clock_.monotonicSeconds();
    if (auto finished = session->finish(); !finished) {
        return exportFailed(describe(finished.error()));
    }
    const double finalizeEnd = clock_.monotonicSeconds();
    if (progress) {
        progress(1.0);
    }
    RuntimeLogger::log("GIF export completed rendered=" + std::to_string(exported.size()) +
                       " renderMs=" + std::to_string(std::lround((finalizeStart - renderStart) * 1000.0)) +
                       " finalizeMs=" + std::to_string(std::lround((finalizeEnd - finalizeStart) * 1000.0)));
    return succeeded<GIFExportFailure>();
}

} // namespace brisklet
