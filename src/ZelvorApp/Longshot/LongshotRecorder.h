#pragma once

#include "Platform/ScreenCaptureBackend.h"
#include "ZelvorApp/Longshot/AcceptedLongshotFrame.h"
#include "ZelvorApp/Longshot/LongshotComposer.h"
#include "ZelvorApp/Longshot/LongshotFrameClassifier.h"
#include "ZelvorApp/Longshot/LongshotPreviewSnapshot.h"
#include "ZelvorApp/Longshot/LongshotProgressTracker.h"
#include "ZelvorApp/Longshot/LongshotRecorderError.h"
#include "ZelvorCore/Foundation/Date.h"
#include "ZelvorCore/Foundation/Result.h"
#include "ZelvorCore/Foundation/Uuid.h"
#include "ZelvorCore/Models/AppPreferences.h"

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace brisklet {

class Clock;
class ImageCodec;
class MainQueue;
class SerialQueue;
class SerialQueueFactory;

/// Runs one scrolling capture: captures the selected region at a fixed cadence, keeps the frames
/// in which the page moved, renders a live preview, notices the bottom of the page, and finally
/// stitches and writes one PNG. Its state belongs to the main thread; capture and analysis run on
/// the capture queue, preview rendering and export on the export queue. Every start and cancel
/// takes a new generation, and results of an older generation are dropped.
class LongshotRecorder {
public:
    using FinishResult = Result<std::filesystem::path, LongshotRecorderError>;

    struct Callbacks {
        /// Window numbers of our own windows that must not appear in the frames.
        std::function<std::vector<std::uint32_t>()> hiddenWindowsProvider;
        std::function<void(bool)> onCaptureActivity;
        std::function<void(const LongshotPreviewSnapshot&)> onPreview;
        std::function<void()> onStableBottom;
        std::function<void(const FinishResult&)> onFinish;
        /// Told about every frame kept with a match, before the capture activity ends; lets the
        /// auto-scroller learn how far one of its steps really scrolls.
        std::function<void(const LongshotOverlapMatch&)> onMatchAccepted;
    };

    struct StartRequest {
        /// The selection, in points of the global desktop space.
        Rect rect;
        /// The capture context made for the selection's screen, when that worked.
        std::optional<ScreenCaptureContext> screenContext;
        /// The selection screen's display number and frame, for the fallback context.
        std::optional<std::uint32_t> screenDisplayID;
        Rect screenFrame;
        AppPreferences preferences;
    };

    struct Session {
        Rect rect;
        ScreenCaptureContext captureContext;
        AppPreferences preferences;
        LongshotConfig config;
        LongshotCropOptions cropOptions;
    };

    static constexpr const char* captureQueueLabel = "com.brisklet.brisklet.longshot-capture";
    static constexpr const char* exportQueueLabel = "com.brisklet.brisklet.longshot-export";
    static constexpr int previewMaximumWidth = 220;
    static constexpr int previewMaximumHeight = 320;
    /// However short the configured timeout, a recording may always run this long.
    static constexpr double minimumTimeLimitSeconds = 90;

    /// The collaborators must outlive the recorder.
    LongshotRecorder(ScreenCaptureBackend& capture, const LongshotComposer& composer, const ImageCodec& codec,
                     MainQueue& mainQueue, SerialQueueFactory& queues, const Clock& clock);
    ~LongshotRecorder();
    LongshotRecorder(const LongshotRecorder&) = delete;
    LongshotRecorder& operator=(const LongshotRecorder&) = delete;

    /// Cancels whatever runs, starts a new session and captures the first frame at once.
    void start(const StartRequest& request, Callbacks callbacks);
    /// Captures the next frame unless one is in flight; stops at the time or frame limit.
    void captureFrame();
    /// Captures again after `seconds`, replacing an earlier pending capture.
    void scheduleNextCapture(double seconds);
    /// Finishes: stitches the frames on the export queue and reports through `onFinish`.
    void stop();
    /// Discards everything; nothing is reported.
    void cancel();

    /// The auto-scroller's step, used as the expected shift of each analysis.
    void setExpectedAutoScrollStep(std::optional<double> step) { expectedAutoScrollStep_ = step; }
    std::optional<double> expectedAutoScrollStep() const { return expectedAutoScrollStep_; }
    void resetProgressTracker() { progressTracker_.reset(); }

    bool isRecording() const { return session_.has_value(); }
    const std::optional<Session>& session() const { return session_; }
    const std::vector<AcceptedLongshotFrame>& frames() const { return frames_; }
    const LongshotProgressTracker& progressTracker() const { return progressTracker_; }
    bool reachedStableBottom() const { return reachedStableBottom_; }
    bool isCaptureInFlight() const { return isCaptureInFlight_; }
    const Uuid& generation() const { return generation_; }
    Date startedAt() const { return startedAt_; }

private:
    /// A frame's capture and analysis, or the capture's error.
    using CaptureOutcome = Result<LongshotFrameAnalysis, ScreenCaptureError>;

    void handleCaptureOutcome(const Uuid& generation, CaptureOutcome outcome);
    void handleUnmatched(const LongshotOverlapMatch& match);
    void handleStationary();
    void handleAccepted(LongshotFrameAccepted accepted);
    void renderPreview(std::vector<AcceptedLongshotFrame> frames, const LongshotCropOptions& cropOptions,
                       const Uuid& generation);
    void notifyCaptureActivity(bool active);
    void invalidateTimer() { ++timerToken_; }

    ScreenCaptureBackend& capture_;
    const LongshotComposer& composer_;
    const ImageCodec& codec_;
    MainQueue& mainQueue_;
    const Clock& clock_;

    std::optional<Session> session_;
    Callbacks callbacks_;
    Date startedAt_;
    double startedMonotonic_ = 0;
    std::vector<AcceptedLongshotFrame> frames_;
    bool isCaptureInFlight_ = false;
    LongshotProgressTracker progressTracker_;
    bool reachedStableBottom_ = false;
    Uuid generation_ = Uuid::generate();
    std::optional<double> expectedAutoScrollStep_;
    std::uint64_t timerToken_ = 0;

    /// Touched on the capture queue only.
    std::shared_ptr<LongshotFrameClassifier> classifier_;
    /// The newest preview request; older ones still queued are skipped, since only the latest
    /// preview is ever shown.
    std::shared_ptr<std::atomic<std::uint64_t>> latestPreview_;
    /// Lets main-thread continuations notice that the recorder is gone.
    std::shared_ptr<int> lifetime_ = std::make_shared<int>(0);

    // Last, so they are drained and joined first on destruction, while everything their tasks
    // use still exists.
    std::unique_ptr<SerialQueue> captureQueue_;
    std::unique_ptr<SerialQueue> exportQueue_;
};

} // namespace brisklet
