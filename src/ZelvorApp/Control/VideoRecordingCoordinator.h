#pragma once

#include "Platform/DisplayServer.h"
#include "ZelvorApp/Control/ExportBookkeeping.h"
#include "ZelvorApp/Control/Ports/CaptureSessionPorts.h"
#include "ZelvorApp/Control/RecordingSessionHooks.h"
#include "ZelvorApp/Control/Ports/VideoPostProcessingPort.h"
#include "ZelvorApp/Video/VideoRecorder.h"
#include "ZelvorApp/Video/VideoRecordingDraft.h"
#include "ZelvorCore/Models/AppPreferences.h"

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>

namespace brisklet {

class Clock;
class LocalizationStore;
class VideoDraftExporter;

/// One MP4 or MOV recording from Start to its file: the recorder with the region's windows
/// (border and control bar), then the draft in the post-processing window (or, without one,
/// exported at once), copied into the export directory and checked, and the outcome handed to
/// the controller. A failed export keeps the draft, so the user can try again.
class VideoRecordingCoordinator final : public CaptureSessionPort {
public:
    /// The windows around the region while it records.
    class Windows {
    public:
        virtual ~Windows() = default;
        virtual void show(const Rect& region, const DisplayScreen& screen) = 0;
        virtual void hide() = 0;
    };
    struct Dependencies {
        VideoRecorder& recorder;
        VideoDraftExporter& exporter;
        const Clock& clock;
        const DisplayServer& displays;
        const LocalizationStore& localization;
        /// The preferences as they are when a recording starts.
        std::function<AppPreferences()> preferences;
        /// Where the recorder writes the draft before it is exported.
        std::filesystem::path temporaryDirectory;
    };
    using Hooks = RecordingSessionHooks;

    VideoRecordingCoordinator(Dependencies dependencies, Hooks hooks, Windows* windows = nullptr,
                              VideoPostProcessingPort* postProcessing = nullptr);
    ~VideoRecordingCoordinator() override;

    void setPostProcessing(VideoPostProcessingPort* port) { postProcessing_ = port; }
    void setWindows(Windows* windows) { windows_ = windows; }

    bool start(const Rect& region, const DisplayScreen& screen, const RecordingOptions& options) override;
    void pause() override;
    void resume() override;
    void stop() override;
    void cancel() override;
    bool isActive() const override { return phase_ != Phase::idle; }

    bool isExporting() const { return exporting_; }
    /// The recording waiting for its export, if there is one.
    const std::optional<VideoRecordingDraft>& draft() const { return draft_; }

private:
    enum class Phase { idle, recording, finishing, editing };

    void captured(Result<VideoRecordingOutput, VideoRecorderError> result);
    void exportDraft();
    void exported(unsigned long long generation, const std::filesystem::path& destination,
                  const Result<std::uintmax_t, VideoRecorderError>& result);
    void exportFailed(const std::filesystem::path& destination, const VideoRecorderError& error);
    void discarded();
    void removeDraftFile();
    void end(const ExportOutcome& outcome);
    void reset();

    Dependencies deps_;
    Hooks hooks_;
    Windows* windows_;
    VideoPostProcessingPort* postProcessing_;
    Phase phase_ = Phase::idle;
    RecordingOutputFormat format_ = RecordingOutputFormat::mp4;
    std::optional<VideoRecordingDraft> draft_;
    VideoRecordingSummary summary_;
    bool presentedDraft_ = false;
    bool exporting_ = false;
    /// Inside the recorder's start, where a refusal is the caller's to report.
    bool starting_ = false;
    /// Changes whenever a recording ends, so late results of a discarded recording are dropped.
    unsigned long long generation_ = 0;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

} // namespace brisklet
