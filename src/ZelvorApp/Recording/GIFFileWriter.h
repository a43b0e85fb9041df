#pragma once

#include "ZelvorApp/Recording/CapturedGIFFrame.h"
#include "ZelvorApp/Recording/GIFFrameTiming.h"
#include "ZelvorApp/Recording/GIFRecorderError.h"
#include "ZelvorCore/Foundation/Result.h"

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace brisklet {

class Clock;
class GIFEncoder;

/// Encodes a recording into a GIF file: timing onto the export grid at the capped frame rate,
/// one frame at a time through the encoder, with the export statistics in the runtime log.
class GIFFileWriter {
public:
    using Progress = std::function<void(double fraction)>;
    /// Draws onto an export frame before it is encoded (annotations active at `time`, a
    /// background); a failure (text for the log) fails the export. Absent = frames are written as
    /// captured.
    using FrameRenderer = std::function<Result<Image, std::string>(const Image& frame, double time)>;
    /// Picks the frames to write for the capped rate; absent = `GIFFrameTiming::exportFrames`.
    /// Post-processing supplies its own (trimming happens before timing).
    using FramePlanner = std::function<std::vector<GIFFrameTiming::ExportFrame>(
        const std::vector<CapturedGIFFrame>& frames, int fps, double recordingDuration)>;

    /// `quality` goes to the encoder (1 … 100, see `GIFEncodingQuality`).
    GIFFileWriter(GIFEncoder& encoder, const Clock& clock, int quality);

    /// Writes `file` directly (callers pass a temporary name and move it into place). Progress
    /// runs from 0 to 0.95 while frames are encoded and reaches 1 once the file is finished.
    Status<GIFExportFailure> writeGIFFile(const std::vector<CapturedGIFFrame>& frames, int fps,
                                          double recordingDuration, const std::filesystem::path& file,
                                          const Progress& progress = {}, const FramePlanner& planner = {},
                                          const FrameRenderer& renderer = {}) const;

private:
    GIFEncoder& encoder_;
    const Clock& clock_;
    int quality_;
};

} // namespace brisklet
