#include "ZelvorApp/Recording/GIFRecorder.h"

#include "Platform/Clock.h"
#include "Platform/MainQueue.h"
#include "Platform/SerialQueue.h"
#include "ZelvorApp/Export/ExportService.h"
#include "ZelvorApp/Infrastructure/RuntimeLogger.h"
#include "ZelvorApp/Recording/GIFAnnotationFrameRenderer.h"
#include "ZelvorApp/Recording/GIFFileWriter.h"
#include "ZelvorApp/Recording/GIFMouseOverlayRenderer.h"
#include "ZelvorApp/Recording/GIFPerformancePolicy.h"
#include "ZelvorApp/Recording/MouseTrackingService.h"
#include "ZelvorCore/FileNameBuilder.h"
#include "ZelvorCore/Foundation/AtomicFile.h"

#include <algorithm>

namespace brisklet {

GIFRecorder::GIFRecorder(Dependencies dependencies) : deps_(dependencies) {}

GIFRecorder::~GIFRecorder() {
    *alive_ = false;
    // Joins the stream's thread while everything its frames are posted to still exists.
    stopStreamCapture();
}

void GIFRecorder::start(Session session, OnTick onTick, OnCaptured onCaptured, OnFinish onFinish) {
    cancel();
    session.fps = std::max(session.fps, 1);
    session.maxDuration = std::max(session.maxDuration, 1.0);
    session_ = std::move(session);
    onTick_ = std::move(onTick);
    onCaptured_ = std::move(onCaptured);
    onFinish_ = std::move(onFinish);
    frames_.clear();
    accumulatedDuration_ = 0;
    isPaused_ = false;
    startedAt_ = deps_.clock.monotonicSeconds();
    generation_ = Uuid::generate();
    deps_.mouseTracker.start();
    isUsingStreamCapture_ = startStreamCapture();
    scheduleTimer();
}

void GIFRecorder::pause() {
    if (!session_ || isPaused_)
        return;
    accumulatedDuration_ += deps_.clock.monotonicSeconds() - startedAt_;
    isPaused_ = true;
    invalidateTimer();
    stopStreamCapture();
}

void GIFRecorder::resume() {
    if (!session_ || !isPaused_)
        return;
    startedAt_ = deps_.clock.monotonicSeconds();
    isPaused_ = false;
    if (isUsingStreamCapture_)
        isUsingStreamCapture_ = startStreamCapture();
    scheduleTimer();
}

void GIFRecorder::cancel() {
    invalidateTimer();
    // A capture still running belongs to the old generation and is dropped when it lands.
    generation_ = Uuid::generate();
    clearSession();
}

void GIFRecorder::clearSession() {
    stopStreamCapture();
    isUsingStreamCapture_ = false;
    if (session_) {
        deps_.mouseTracker.invalidate();
    }
    session_.reset();
    frames_.clear();
    onTick_ = nullptr;
    onCaptured_ = nullptr;
    onFinish_ = nullptr;
    isPaused_ = false;
    isCaptureInFlight_ = false;
}

double GIFRecorder::recordingElapsedTime() const {
    return accumulatedDuration_ + (isPaused_ ? 0.0 : deps_.clock.monotonicSeconds() - startedAt_);
}

void GIFRecorder::scheduleTimer() {
    const auto id = ++timerID_;
    std::weak_ptr<bool> alive = alive_;
    deps_.mainQueue.postAfter(1.0 / session_->fps, [this, alive, id] {
        if (alive.expired() || !*alive.lock() || id != timerID_)
            return;
        tickRecording();
        if (alive.expired())
            return; // the tick finished the recording and its callback let go of the recorder
        if (id != timerID_ || !session_)
            return; // finished or paused by this tick
        if (!isUsingStreamCapture_)
            captureFrame();
        if (id == timerID_ && session_)
            scheduleTimer();
    });
}

void GIFRecorder::tickRecording() {
    if (!session_ || isPaused_)
        return;
    const double elapsed = recordingElapsedTime();
    if (onTick_)
        onTick_(elapsed, session_->maxDuration);
    if (elapsed >= session_->maxDuration)
        finish();
}

void GIFRecorder::captureFrame() {
    if (!session_ || isPaused_ || isCaptureInFlight_)
        return;
    isCaptureInFlight_ = true;
    const double timestamp = recordingElapsedTime();
    const double now = deps_.clock.monotonicSeconds();
    const MouseSnapshot mouse = deps_.mouseTracker.snapshot(now);
    const Session session = *session_;
    const Uuid generation = generation_;
    std::weak_ptr<bool> alive = alive_;
    ScreenCaptureBackend& backend = deps_.capture;
    MainQueue& mainQueue = deps_.mainQueue;
    deps_.captureQueue.async([=, this, &backend, &mainQueue] {
        auto captured = backend.capture(session.rect, session.captureContext, {});
        std::optional<CapturedGIFFrame> frame;
        if (captured) {
            Image image = GIFPerformancePolicy::downscaledImage(captured.value(), session.maxFramePixelDimension);
            GIFMouseOverlayRenderer::draw(image, mouse, session.mouseOverlayOptions, session.rect, session.mappingRect,
                                          now);
            frame = CapturedGIFFrame{std::make_shared<const Image>(std::move(image)), timestamp};
        }
        mainQueue.post([=, this] {
            if (alive.expired() || !*alive.lock() || generation != generation_)
                return;
            isCaptureInFlight_ = false;
            // A failed capture only costs this frame; the next tick tries again.
            if (frame)
                appendFrame(generation, *frame);
        });
    });
}

bool GIFRecorder::startStreamCapture() {
    if (!deps_.stream || !session_)
        return false;
    const auto streamID = ++streamID_;
    const Uuid generation = generation_;
    std::weak_ptr<bool> alive = alive_;
    MainQueue& mainQueue = deps_.mainQueue;
    // Both callbacks run on the stream's thread: they only hop to the main queue, where the
    // recorder's state lives.
    auto onFrame = [this, alive, generation, &mainQueue](Image image, GIFStreamFrameCapture::FrameSlot slot) {
        auto frame = std::make_shared<Image>(std::move(image));
        mainQueue.post([this, alive, generation, frame, slot] {
            if (alive.expired() || !*alive.lock())
                return;
            appendStreamFrame(std::move(*frame), generation, slot);
        });
    };
    auto onStopped = [this, alive, streamID, &mainQueue](const std::string&) {
        mainQueue.post([this, alive, streamID] {
            if (alive.expired() || !*alive.lock())
                return;
            handleStreamStopped(streamID);
        });
    };
    const Session& session = *session_;
    auto capture = std::make_unique<GIFStreamFrameCapture>(*deps_.stream, session.rect, session.captureContext,
                                                           session.fps, session.maxFramePixelDimension,
                                                           std::move(onFrame), std::move(onStopped));
    if (auto started = capture->start(); !started) {
        RuntimeLogger::log("GIF stream capture unavailable, falling back error=" + started.error());
        return false;
    }
    streamCapture_ = std::move(capture);
    return true;
}

void GIFRecorder::handleStreamStopped(unsigned long long streamID) {
    if (streamID != streamID_ || !streamCapture_)
        return; // a stream already stopped or replaced on purpose
    // Still captures take over from the next tick so the recording goes on.
    stopStreamCapture();
    isUsingStreamCapture_ = false;
}

void GIFRecorder::appendStreamFrame(Image image, const Uuid& generation, GIFStreamFrameCapture::FrameSlot slot) {
    if (!session_ || isPaused_ || generation != generation_)
        return;
    const double timestamp = recordingElapsedTime();
    const double now = deps_.clock.monotonicSeconds();
    const MouseSnapshot mouse = deps_.mouseTracker.snapshot(now);
    const Rect region = session_->rect;
    const Rect mappingRect = session_->mappingRect;
    const GIFMouseOverlayOptions overlay = session_->mouseOverlayOptions;
    const int maxPixelDimension = session_->maxFramePixelDimension;
    auto source = std::make_shared<Image>(std::move(image));
    std::weak_ptr<bool> alive = alive_;
    MainQueue& mainQueue = deps_.mainQueue;
    deps_.captureQueue.async([=, this, &mainQueue] {
        const auto fits =
            GIFPerformancePolicy::constrainedPixelSize(source->width(), source->height(), maxPixelDimension);
        // Streams deliver frames within the limit already; only a larger one is shrunk here.
        Image scaled = fits.width == source->width() && fits.height == source->height()
                           ? std::move(*source)
                           : GIFPerformancePolicy::downscaledImage(*source, maxPixelDimension);
        GIFMouseOverlayRenderer::draw(scaled, mouse, overlay, region, mappingRect, now);
        const CapturedGIFFrame frame{std::make_shared<const Image>(std::move(scaled)), timestamp};
        // The slot travels with the frame so the stream counts it until it is stored or dropped.
        mainQueue.post([this, alive, generation, frame, slot] {
            if (alive.expired() || !*alive.lock())
                return;
            appendFrame(generation, frame);
        });
    });
}

void GIFRecorder::appendFrame(const Uuid& generation, CapturedGIFFrame frame) {
    if (!session_ || generation != generation_)
        return;
    frames_.push_back(std::move(frame));
    if (!isPaused_ && recordingElapsedTime() >= session_->maxDuration)
        finish();
}

void GIFRecorder::finish() {
    invalidateTimer();
    if (!session_)
        return;
    const double duration = recordingElapsedTime();
    Session session = *session_;
    auto frames = std::move(frames_);
    auto onCaptured = std::move(onCaptured_);
    auto onFinish = std::move(onFinish_);
    generation_ = Uuid::generate(); // late captures must not land in a finished recording
    clearSession();

    if (frames.empty()) {
        if (onCaptured) {
            onCaptured(Result<GIFRecordingDraft, GIFRecorderError>::failure(GIFRecorderError::noFrames));
        } else if (onFinish) {
            onFinish(Result<std::filesystem::path, GIFExportFailure>::failure(
                GIFExportFailure{GIFRecorderError::noFrames, "the recording has no frames"}));
        }
        return;
    }
    auto plan = session.annotationExportPlanProvider ? session.annotationExportPlanProvider() : std::nullopt;
    if (onCaptured) {
        onCaptured(Result<GIFRecordingDraft, GIFRecorderError>::success(
            GIFRecordingDraft{std::move(frames), session.fps, duration, std::move(plan),
                              session.preferences.exportDirectoryURL(), session.autoCopy, session.quality}));
        return;
    }
    exportFile(std::move(session), std::move(frames), duration, std::move(plan), std::move(onFinish));
}

void GIFRecorder::exportFile(Session session, std::vector<CapturedGIFFrame> frames, double duration,
                             std::optional<GIFAnnotationExportPlan> plan, OnFinish onFinish) {
    using FileResult = Result<std::filesystem::path, GIFExportFailure>;
    std::weak_ptr<bool> alive = alive_;
    const Dependencies deps = deps_;
    deps_.exportQueue.async([=, this] {
        const auto deliver = [&](FileResult result) {
            deps.mainQueue.post([=, this] {
                if (alive.expired() || !*alive.lock())
                    return;
                if (result.ok() && session.autoCopy)
                    deps.exportService.copyFileToPasteboard(result.value());
                if (onFinish)
                    onFinish(result);
            });
        };
        const auto finalURL =
            FileNameBuilder::makeFileURL(ExportKind::gif, session.preferences.exportDirectoryURL(), deps.clock.now());
        if (!finalURL) {
            deliver(FileResult::failure({GIFRecorderError::exportFailed, finalURL.error().message()}));
            return;
        }
        const auto temporary = finalURL.value().parent_path() / ("." + finalURL.value().filename().string() + "." +
                                                                 Uuid::generate().toString() + ".tmp");
        const GIFFileWriter writer(deps.encoder, deps.clock, GIFPerformancePolicy::encodingQuality(session.quality));
        const auto renderer = plan && deps.annotationRenderer
                                  ? makeAnnotationFrameRenderer(*plan, *deps.annotationRenderer)
                                  : GIFFileWriter::FrameRenderer{};
        auto written = writer.writeGIFFile(frames, session.fps, duration, temporary, {}, {}, renderer);
        std::error_code ignored;
        if (!written) {
            std::filesystem::remove(temporary, ignored);
            RuntimeLogger::log("GIF export failed error=" + written.error().detail);
            deliver(FileResult::failure(written.error()));
            return;
        }
        if (const auto moved = moveIntoPlaceWithoutOverwriting(temporary, finalURL.value())) {
            std::filesystem::remove(temporary, ignored);
            deliver(FileResult::failure({GIFRecorderError::exportFailed, moved.message()}));
            return;
        }
        deliver(FileResult::success(finalURL.value()));
    });
}

} // namespace brisklet
