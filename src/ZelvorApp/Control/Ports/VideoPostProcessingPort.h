#pragma once

#include "ZelvorApp/Video/VideoRecordingDraft.h"

#include <functional>
#include <string>

namespace brisklet {

/// What was recorded, for the window's caption.
struct VideoRecordingSummary {
    /// Recorded seconds, without the paused time.
    double duration = 0;
    /// The encoded picture's size in pixels.
    int pixelWidth = 0;
    int pixelHeight = 0;

    bool operator==(const VideoRecordingSummary&) const = default;
};

/// The window where a finished video recording is looked at before it is exported. Whoever
/// presents it copies the file and reports back.
class VideoPostProcessingPort {
public:
    struct Handlers {
        /// The user asked for the export; the window stays open until `close()` or `exportFailed()`.
        std::function<void()> onExport;
        /// The user discarded the recording.
        std::function<void()> onCancel;
    };
    virtual ~VideoPostProcessingPort() = default;
    virtual void present(const VideoRecordingDraft& draft, const VideoRecordingSummary& summary, Handlers handlers) = 0;
    /// Export progress from 0 to 1.
    virtual void exportProgressed(double fraction) = 0;
    /// The export failed; the window comes to the front with `message` and lets the user retry.
    virtual void exportFailed(const std::string& message) = 0;
    virtual void close() = 0;
};

} // namespace brisklet
