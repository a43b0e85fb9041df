#pragma once

#include "Platform/ScreenCaptureBackend.h"
#include "ZelvorApp/Recording/CapturedGIFFrame.h"
#include "ZelvorApp/Recording/GIFAnnotationTimeline.h"
#include "ZelvorApp/Recording/GIFMouseOverlayOptions.h"
#include "ZelvorApp/Recording/GIFRecorderError.h"
#include "ZelvorApp/Recording/GIFRecordingDraft.h"
#include "ZelvorApp/Recording/GIFStreamFrameCapture.h"
#include "ZelvorCore/Foundation/Geometry.h"
#include "ZelvorCore/Foundation/Uuid.h"
#include "ZelvorCore/Models/AppPreferences.h"

#include <functional>
#include <memory>
#include <optional>

namespace brisklet {

class Clock;
class ExportService;
class GIFAnnotationFrameRenderer;
class GIFEncoder;
class MainQueue;
class MouseTrackingService;
class SerialQueue;

/// Records a screen region as GIF frames. Frames come from a continuous screen stream when one is
/// available and starts, otherwise from one still capture per timer tick; either way they are
/// downscaled and decorated with the pointer on the capture queue and appended on the main queue.
/// Finishing either hands the frames over as a draft or writes the GIF on the export queue. All
/// public methods run on the main queue.
class GIFRecorder {
public:
    struct Session {
        /// The region, in global points (origin bottom-left).
        Rect rect;
        ScreenCaptureContext captureContext;
        AppPreferences preferences;
        int fps = 20;
        double maxDuration = 15;
        bool autoCopy = false;
        Rect mappingRect;
        GIFMouseOverlayOptions mouseOverlayOptions;
        int maxFramePixelDimension = 1280;
        /// The recording's quality choice; it also sets how the GIF is encoded.
        RecordingQuality quality = RecordingQuality::medium;
        /// Asked once, when the recording ends, for the drawings to put into the GIF.
        std::function<std::optional<GIFAnnotationExportPlan>()> annotationExportPlanProvider;
    };
    struct Dependencies {
        ScreenCaptureBackend& capture;
        ExportService& exportService;
        MouseTrackingService& mouseTracker;
        GIFEncoder& encoder;
        MainQueue& mainQueue;
        SerialQueue& captureQueue; ///< "com.brisklet.brisklet.gif-capture"
        SerialQueue& exportQueue;  ///< "com.brisklet.brisklet.gif-export"
        const Clock& clock;
        /// Draws annotations when a session has any; without it they are left out.
        const GIFAnnotationFrameRenderer* annotationRenderer = nullptr;
        /// Continuous capture of the region; without it (or when it cannot start) every timer tick
        /// takes a still capture.
        ScreenFrameStream* stream = nullptr;
    };
    using OnTick = std::function<void(double elapsed, double maxDuration)>;
    using OnCaptured = std::function<void(Result<GIFRecordingDraft, GIFRecorderError>)>;
    using OnFinish = std::function<void(Result<std::filesystem::path, GIFExportFailure>)>;

    explicit GIFRecorder(Dependencies dependencies);
    ~GIFRecorder();
    GIFRecorder(const GIFRecorder&) = delete;
    GIFRecorder& operator=(const GIFRecorder&) = delete;

    /// Starts recording (cancelling any recording in progress). With `onCaptured` set, finishing
    /// delivers a draft there; otherwise the GIF is written and its file delivered to `onFinish`.
    void start(Session session, OnTick onTick, OnCaptured onCaptured, OnFinish onFinish);
    /// Stops the clock and the captures; paused time never counts toward the length.
    void pause();
    void resume();
    /// Drops the recording without delivering anything; frames still being captured are discarded.
    void cancel();
    /// Ends the recording and delivers exactly one result.
    void finish();

    /// Accumulated time plus, unless paused, the time since the last start or resume.
    double recordingElapsedTime() const;
    bool isRecording() const { return session_.has_value(); }
    bool isPaused() const { return isPaused_; }
    bool isCaptureInFlight() const { return isCaptureInFlight_; }
    /// Whether frames come from the stream rather than from still captures.
    bool isUsingStreamCapture() const { return isUsingStreamCapture_; }
    std::size_t frameCount() const { return frames_.size(); }

private:
    void scheduleTimer();
    void invalidateTimer() { ++timerID_; }
    void tickRecording();
    void captureFrame();
    void appendFrame(const Uuid& generation, CapturedGIFFrame frame);
    /// Starts the stream for the current generation; false (and logged) when it cannot run.
    bool startStreamCapture();
    void stopStreamCapture() { streamCapture_.reset(); }
    /// Takes a stream frame on the main queue and sends it through the capture queue.
    void appendStreamFrame(Image image, const Uuid& generation, GIFStreamFrameCapture::FrameSlot slot);
    void handleStreamStopped(unsigned long long streamID);
    void exportFile(Session session, std::vector<CapturedGIFFrame> frames, double duration,
                    std::optional<GIFAnnotationExportPlan> plan, OnFinish onFinish);
    void clearSession();

    Dependencies deps_;
    std::optional<Session> session_;
    std::vector<CapturedGIFFrame> frames_;
    double startedAt_ = 0;
    double accumulatedDuration_ = 0;
    bool isPaused_ = false;
    bool isCaptureInFlight_ = false;
    bool isUsingStreamCapture_ = false;
    std::unique_ptr<GIFStreamFrameCapture> streamCapture_;
    /// Tells a stream that ended by itself apart from its successors after a pause and resume.
    unsigned long long streamID_ = 0;
    Uuid generation_ = Uuid::generate();
    unsigned long long timerID_ = 0;
    OnTick onTick_;
    OnCaptured onCaptured_;
    OnFinish onFinish_;
    /// Lets tasks queued elsewhere notice that the recorder is gone.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

} // namespace brisklet
