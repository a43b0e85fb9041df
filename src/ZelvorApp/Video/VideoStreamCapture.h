#pragma once

#include "Platform/ScreenRecorder.h"
#include "ZelvorApp/Video/VideoRecorderError.h"
#include "ZelvorApp/Video/VideoRecordingDraft.h"
#include "ZelvorCore/Foundation/Result.h"
#include "ZelvorCore/Models/RecordingOptions.h"

#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace brisklet {

class MainQueue;
class SerialQueue;

/// One video recording of a screen region into a file, on a `ScreenRecorder`. Every piece of its
/// state lives on the state queue ("com.brisklet.brisklet.video-recording-state"): the public
/// calls and the recorder's notifications hop onto it, so a stop or a cancellation that arrives
/// while the recorder is still starting is remembered and carried out once it has started.
/// Watchdogs (timers on the main queue that hop back) make sure a recorder that never reports its
/// end still yields a result or completes a cancellation. A result is delivered at most once; a
/// cancelled capture delivers none and leaves no file behind.
class VideoStreamCapture final : public ScreenRecordingDelegate,
                                 public std::enable_shared_from_this<VideoStreamCapture> {
public:
    static constexpr const char* kStateQueueLabel = "com.brisklet.brisklet.video-recording-state";
    static constexpr double kFinishWatchdogSeconds = 20;
    static constexpr double kCancellationWaitSeconds = 3;

    struct Parameters {
        /// The region, in global points (origin bottom-left).
        Rect rect;
        ScreenCaptureContext context;
        RecordingQuality quality = RecordingQuality::medium;
        RecordingOutputFormat format = RecordingOutputFormat::mp4;
        RecordingAudioMode audioMode = RecordingAudioMode::none;
        bool showsCursor = true;
        bool showsClickEffects = true;
        std::filesystem::path outputURL;
        /// The file holds at most this many seconds (none: until stopped).
        std::optional<double> maxDuration;
        /// Draws the click effects when `showsClickEffects`; may be null.
        std::shared_ptr<ScreenRecordingOverlay> clickEffects;
    };
    struct Dependencies {
        ScreenRecorder& recorder;
        SerialQueue& stateQueue;
        /// Runs the watchdog timers.
        MainQueue& timerQueue;
    };
    using Outcome = Result<VideoRecordingOutput, VideoRecorderError>;
    /// Runs on the state queue.
    using OnFinish = std::function<void(Outcome)>;
    /// Runs on the state queue when the first frame is written.
    using OnStarted = std::function<void()>;

    static std::shared_ptr<VideoStreamCapture> make(Dependencies dependencies, Parameters parameters,
                                                    OnStarted onStarted, OnFinish onFinish);

    /// Configures the recorder and starts it; failures arrive through `onFinish`.
    void start();
    /// Ends the recording; the verified file arrives through `onFinish`. Calls after the first are
    /// harmless.
    void stop();
    /// Ends the recording without a result and removes the partial file; `completion` runs on the
    /// state queue once that is done (at once when it already is).
    void cancel(std::function<void()> completion = {});
    void pause();
    void resume();

    /// The settings the recorder was started with (empty before start).
    const std::optional<ScreenRecordingConfiguration>& recordingConfiguration() const { return configuration_; }

    // ScreenRecordingDelegate: called on the recorder's threads.
    void recordingDidStart() override;
    void recordingDidFailToStart(const std::string& error) override;
    void recordingDidFinish() override;
    void recordingDidFail(const std::string& error) override;
    void recordingAudioUnavailable(const std::string& reason) override;

private:
    VideoStreamCapture(Dependencies dependencies, Parameters parameters, OnStarted onStarted, OnFinish onFinish);

    /// Runs `step` on the state queue while this object lives.
    void onStateQueue(std::function<void(VideoStreamCapture&)> step);
    /// Runs `step` on the state queue after `seconds`, unless the watchdog `slot` was re-armed or
    /// cancelled meanwhile.
    using WorkItem = unsigned long long VideoStreamCapture::*;
    void scheduleWatchdog(WorkItem slot, double seconds, std::function<void(VideoStreamCapture&)> step);

    void startOnQueue();
    std::optional<ScreenRecordingConfiguration> makeRecordingConfiguration();
    void handleStarted();
    void handleStartFailure(const std::string& error);
    void handleFinished();
    void handleFailure(const std::string& error);
    void stopOnQueue();
    void performStop();
    void cancelOnQueue(std::function<void()> completion);
    void performCancellation();
    void finishCancellation();
    void verifyAndDeliver();
    void deliver(Outcome outcome);
    /// The recorder will not call again: let go of the reference that kept this object alive.
    void recorderEnded();

    Dependencies deps_;
    Parameters parameters_;
    OnStarted onStarted_;
    OnFinish onFinish_;
    std::optional<ScreenRecordingConfiguration> configuration_;
    std::optional<std::string> audioUnavailableReason_;

    bool isRecorderRunning_ = false;
    bool hasResolved_ = false;
    bool isCancelled_ = false;
    bool isStartInProgress_ = false;
    bool pendingStop_ = false;
    bool isStopping_ = false;
    bool isCancellationFinished_ = false;
    bool hasRecordingOutputStarted_ = false;
    bool hasRecordingOutputFinished_ = false;
    std::vector<std::function<void()>> cancellationWaiters_;
    /// Generation numbers of the armed watchdogs; 0 means none is armed.
    unsigned long long finishWatchdogWorkItem_ = 0;
    unsigned long long recordingOutputFinishWatchdogWorkItem_ = 0;
    unsigned long long nextWorkItem_ = 0;
    /// Held from the recorder's start until its last notification, which may come after every
    /// owner has let go.
    std::shared_ptr<VideoStreamCapture> selfWhileRecording_;
};

} // namespace brisklet
