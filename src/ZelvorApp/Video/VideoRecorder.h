#pragma once

#include "ZelvorApp/Video/VideoClickEffectsOverlay.h"
#include "ZelvorApp/Video/VideoStreamCapture.h"
#include "ZelvorCore/Models/RecordingOptions.h"

#include <functional>
#include <memory>
#include <optional>

namespace brisklet {

class Clock;
class InputMonitor;
class MainQueue;
class SerialQueue;

/// Records a screen region as an MP4 or MOV file through one `VideoStreamCapture` at a time and
/// keeps the recording clock a session window shows. Everything public runs on the main queue and
/// every callback arrives there.
class VideoRecorder {
public:
    struct Dependencies {
        ScreenRecorder& recorder;
        SerialQueue& stateQueue; ///< "com.brisklet.brisklet.video-recording-state"
        MainQueue& mainQueue;
        const Clock& clock;
        /// Left clicks for the click effects; without it none are drawn.
        InputMonitor* clickMonitor = nullptr;
    };
    struct Session {
        /// The region, in global points (origin bottom-left).
        Rect rect;
        ScreenCaptureContext context;
        RecordingOptions options;
        std::filesystem::path outputURL;
        /// Stops by itself once this much has been recorded (none: until stopped).
        std::optional<double> maxDuration;
    };
    using OnTick = std::function<void(double elapsed)>;
    using OnFinish = std::function<void(Result<VideoRecordingOutput, VideoRecorderError>)>;
    static constexpr double kTickInterval = 0.1;

    explicit VideoRecorder(Dependencies dependencies);
    ~VideoRecorder();
    VideoRecorder(const VideoRecorder&) = delete;
    VideoRecorder& operator=(const VideoRecorder&) = delete;

    /// Starts recording (cancelling any recording in progress). Where the system cannot record
    /// video, `onFinish` hears `requiresMacOS15` at once.
    void startRegionRecording(Session session, OnTick onTick, OnFinish onFinish);
    /// Ends the recording; the file arrives through `onFinish`.
    void stop();
    /// Drops the recording; nothing is delivered and no file is left. `completion` runs once the
    /// partial file is gone.
    void cancel(std::function<void()> completion = {});
    /// Holds the recording; held time is neither recorded nor counted.
    void pause();
    void resume();

    bool isRecording() const { return static_cast<bool>(capture_); }
    bool isPaused() const { return isPaused_; }
    /// Whether the first frame has been written (the clock runs from then on).
    bool hasStarted() const { return startedAt_.has_value(); }
    /// Recorded time, without the held time.
    double recordingElapsedTime() const;
    const std::optional<std::filesystem::path>& outputURL() const { return outputURL_; }

private:
    void handleStarted(unsigned long long generation);
    void handleFinish(unsigned long long generation, VideoStreamCapture::Outcome outcome);
    void scheduleTick(unsigned long long generation);
    void tick(unsigned long long generation);
    void stopClickMonitor();
    void clear();

    Dependencies deps_;
    std::shared_ptr<VideoStreamCapture> capture_;
    std::shared_ptr<VideoClickEffectsOverlay> clickEffects_;
    std::optional<std::filesystem::path> outputURL_;
    std::optional<double> maxDuration_;
    std::optional<double> startedAt_;
    double accumulatedDuration_ = 0;
    bool isPaused_ = false;
    bool isStopRequested_ = false;
    /// Tells the callbacks of a cancelled or replaced recording apart from the current one's.
    unsigned long long generation_ = 0;
    OnTick onTick_;
    OnFinish onFinish_;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

} // namespace brisklet
