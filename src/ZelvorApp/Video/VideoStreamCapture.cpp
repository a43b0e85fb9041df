#include "ZelvorApp/Video/VideoStreamCapture.h"

#include "Platform/MainQueue.h"
#include "Platform/SerialQueue.h"
#include "ZelvorApp/Infrastructure/RuntimeLogger.h"
#include "ZelvorApp/Video/VideoDraftExporter.h"
#include "ZelvorApp/Video/VideoRecorderConfiguration.h"

#include <algorithm>
#include <cmath>

namespace brisklet {

namespace {

std::string onOff(bool value) {
    return value ? "true" : "false";
}

/// The region snapped outward to whole points, which are the root's pixels on X11.
Rect integral(const Rect& rect) {
    const double left = std::floor(rect.minX());
    const double bottom = std::floor(rect.minY());
    return {{left, bottom}, {std::ceil(rect.maxX()) - left, std::ceil(rect.maxY()) - bottom}};
}

std::string describe(const std::vector<VideoContainer>& containers) {
    std::string text;
    for (VideoContainer container : containers) {
        text += (text.empty() ? "" : ",") + std::string(toString(container));
    }
    return text.empty() ? "none" : text;
}

} // namespace

std::shared_ptr<VideoStreamCapture> VideoStreamCapture::make(Dependencies dependencies, Parameters parameters,
                                                             OnStarted onStarted, OnFinish onFinish) {
    return std::shared_ptr<VideoStreamCapture>(
        new VideoStreamCapture(dependencies, std::move(parameters), std::move(onStarted), std::move(onFinish)));
}

VideoStreamCapture::VideoStreamCapture(Dependencies dependencies, Parameters parameters, OnStarted onStarted,
                                       OnFinish onFinish)
    : deps_(dependencies), parameters_(std::move(parameters)), onStarted_(std::move(onStarted)),
      onFinish_(std::move(onFinish)) {}

void VideoStreamCapture::onStateQueue(std::function<void(VideoStreamCapture&)> step) {
    deps_.stateQueue.async([weak = weak_from_this(), step = std::move(step)] {
        if (auto self = weak.lock()) {
            step(*self);
        }
    });
}

void VideoStreamCapture::scheduleWatchdog(WorkItem slot, double seconds,
                                          std::function<void(VideoStreamCapture&)> step) {
    const unsigned long long item = ++nextWorkItem_;
    this->*slot = item;
    deps_.timerQueue.postAfter(seconds, [weak = weak_from_this(), slot, item, step = std::move(step)] {
        if (auto self = weak.lock()) {
            self->onStateQueue([slot, item, step](VideoStreamCapture& capture) {
                // A delivered result or a newer watchdog disarmed this one meanwhile.
                if (capture.*slot == item) {
                    capture.*slot = 0;
                    step(capture);
                }
            });
        }
    });
}

void VideoStreamCapture::start() {
    onStateQueue([](VideoStreamCapture& capture) { capture.startOnQueue(); });
}

void VideoStreamCapture::stop() {
    onStateQueue([](VideoStreamCapture& capture) { capture.stopOnQueue(); });
}

void VideoStreamCapture::cancel(std::function<void()> completion) {
    // The caller may already have let go of its reference; the step keeps the capture alive.
    deps_.stateQueue.async([self = shared_from_this(), completion = std::move(completion)]() mutable {
        self->cancelOnQueue(std::move(completion));
    });
}

void VideoStreamCapture::pause() {
    onStateQueue([](VideoStreamCapture& capture) {
        if (capture.hasRecordingOutputStarted_ && !capture.isStopping_ && !capture.isCancelled_) {
            capture.deps_.recorder.pause();
        }
    });
}

void VideoStreamCapture::resume() {
    onStateQueue([](VideoStreamCapture& capture) {
        if (capture.hasRecordingOutputStarted_ && !capture.isStopping_ && !capture.isCancelled_) {
            capture.deps_.recorder.resume();
        }
    });
}

std::optional<ScreenRecordingConfiguration> VideoStreamCapture::makeRecordingConfiguration() {
    const Rect source = integral(parameters_.rect);
    if (source.isEmpty() || !std::isfinite(source.width()) || !std::isfinite(source.height())) {
        RuntimeLogger::log("Video recording start rejected invalid configuration rect=" + toString(parameters_.rect));
        return std::nullopt;
    }
    // X11 maps one point to one root pixel.
    const Size sourcePixelSize = source.size;
    const auto encoder = VideoRecorderConfiguration::make(sourcePixelSize, parameters_.quality, parameters_.format);
    if (!encoder) {
        RuntimeLogger::log("Video recording configuration failed sourcePixelSize=" + toString(sourcePixelSize) +
                           " format=" + std::string(toString(parameters_.format)) +
                           " quality=" + std::string(toString(parameters_.quality)));
        return std::nullopt;
    }
    const auto offered = deps_.recorder.availableContainers();
    if (!deps_.recorder.supportsH264() ||
        std::find(offered.begin(), offered.end(), encoder->container) == offered.end()) {
        RuntimeLogger::log("Video recording output unavailable fileType=" + std::string(toString(encoder->container)) +
                           " offeredFileTypes=" + describe(offered) +
                           " offeredCodecs=" + (deps_.recorder.supportsH264() ? "h264" : "none"));
        return std::nullopt;
    }
    ScreenRecordingConfiguration configuration;
    configuration.rect = source;
    configuration.context = parameters_.context;
    configuration.outputWidth = encoder->width;
    configuration.outputHeight = encoder->height;
    configuration.frameRate = encoder->frameRate;
    configuration.container = encoder->container;
    configuration.showsCursor = parameters_.showsCursor;
    configuration.capturesAudio = parameters_.audioMode == RecordingAudioMode::system;
    configuration.outputURL = parameters_.outputURL;
    if (parameters_.maxDuration) {
        configuration.maxFrameCount = std::max(1L, std::lround(*parameters_.maxDuration * encoder->frameRate));
    }
    if (parameters_.showsClickEffects) {
        configuration.overlay = parameters_.clickEffects;
    }
    return configuration;
}

void VideoStreamCapture::startOnQueue() {
    if (isStartInProgress_ || isRecorderRunning_ || hasResolved_ || isCancelled_) {
        return;
    }
    RuntimeLogger::log("Video recording start requested rect=" + toString(parameters_.rect) +
                       " quality=" + std::string(toString(parameters_.quality)) +
                       " format=" + std::string(toString(parameters_.format)) + " audioMode=" +
                       std::string(toString(parameters_.audioMode)) + " showsCursor=" + onOff(parameters_.showsCursor) +
                       " showsClickEffects=" + onOff(parameters_.showsClickEffects));
    configuration_ = makeRecordingConfiguration();
    if (!configuration_) {
        deliver(Outcome::failure(VideoRecorderError::exportFailed()));
        return;
    }
    isStartInProgress_ = true;
    isRecorderRunning_ = true;
    selfWhileRecording_ = shared_from_this();
    deps_.recorder.start(*configuration_, *this);
}

void VideoStreamCapture::recordingDidStart() {
    onStateQueue([](VideoStreamCapture& capture) { capture.handleStarted(); });
}

void VideoStreamCapture::recordingDidFailToStart(const std::string& error) {
    onStateQueue([error](VideoStreamCapture& capture) { capture.handleStartFailure(error); });
}

void VideoStreamCapture::recordingDidFinish() {
    onStateQueue([](VideoStreamCapture& capture) { capture.handleFinished(); });
}

void VideoStreamCapture::recordingDidFail(const std::string& error) {
    onStateQueue([error](VideoStreamCapture& capture) { capture.handleFailure(error); });
}

void VideoStreamCapture::recordingAudioUnavailable(const std::string& reason) {
    onStateQueue([reason](VideoStreamCapture& capture) {
        RuntimeLogger::log("Video recording continues without audio reason=" + reason);
        capture.audioUnavailableReason_ = reason;
    });
}

void VideoStreamCapture::handleStarted() {
    RuntimeLogger::log("Video recording output started");
    isStartInProgress_ = false;
    hasRecordingOutputStarted_ = true;
    if (isCancelled_) {
        RuntimeLogger::log("Video recording cancellation completing after capture start");
        performCancellation();
        return;
    }
    if (onStarted_) {
        onStarted_();
    }
    if (pendingStop_) {
        pendingStop_ = false;
        performStop();
    }
}

void VideoStreamCapture::handleStartFailure(const std::string& error) {
    RuntimeLogger::log("Video recording start failed error=" + error);
    isStartInProgress_ = false;
    recorderEnded();
    if (isCancelled_) {
        finishCancellation();
        return;
    }
    deliver(Outcome::failure(VideoRecorderError::underlying(error)));
}

void VideoStreamCapture::handleFinished() {
    RuntimeLogger::log("Video recording output finished");
    hasRecordingOutputFinished_ = true;
    recorderEnded();
    if (isCancelled_) {
        if (!isCancellationFinished_ && recordingOutputFinishWatchdogWorkItem_ != 0) {
            recordingOutputFinishWatchdogWorkItem_ = 0;
            finishCancellation();
        }
        return;
    }
    if (!isStopping_) {
        RuntimeLogger::log("Video recording output stopped externally; stopping capture stream");
    }
    RuntimeLogger::log("Video recording output removed from capture stream");
    verifyAndDeliver();
}

void VideoStreamCapture::handleFailure(const std::string& error) {
    RuntimeLogger::log("Video recording output failed error=" + error);
    hasRecordingOutputFinished_ = true;
    recorderEnded();
    if (isCancelled_) {
        if (!isCancellationFinished_ && recordingOutputFinishWatchdogWorkItem_ != 0) {
            recordingOutputFinishWatchdogWorkItem_ = 0;
            finishCancellation();
        }
        return;
    }
    deliver(Outcome::failure(VideoRecorderError::underlying(error)));
}

void VideoStreamCapture::stopOnQueue() {
    RuntimeLogger::log("Video recording stop requested");
    if (hasResolved_ || isCancelled_ || isStopping_ || pendingStop_) {
        return;
    }
    if (isStartInProgress_) {
        pendingStop_ = true;
        return;
    }
    if (hasRecordingOutputStarted_) {
        performStop();
    }
}

void VideoStreamCapture::performStop() {
    isStopping_ = true;
    scheduleWatchdog(&VideoStreamCapture::finishWatchdogWorkItem_, kFinishWatchdogSeconds,
                     [](VideoStreamCapture& capture) {
                         if (!capture.hasRecordingOutputFinished_) {
                             RuntimeLogger::log("ScreenCaptureKit recording output finish timed out");
                             capture.deliver(Outcome::failure(VideoRecorderError::exportFailed()));
                         }
                     });
    deps_.recorder.stop();
}

void VideoStreamCapture::cancelOnQueue(std::function<void()> completion) {
    RuntimeLogger::log("Video recording cancellation requested");
    if (isCancellationFinished_) {
        if (completion) {
            completion();
        }
        return;
    }
    if (hasResolved_) {
        // The file already belongs to whoever received it; there is nothing left to cancel.
        isCancellationFinished_ = true;
        if (completion) {
            completion();
        }
        return;
    }
    if (completion) {
        cancellationWaiters_.push_back(std::move(completion));
    }
    if (isCancelled_) {
        return; // already on its way; this caller waits with the others
    }
    isCancelled_ = true;
    pendingStop_ = false;
    finishWatchdogWorkItem_ = 0;
    if (isStartInProgress_) {
        RuntimeLogger::log("Video recording cancellation queued while capture is starting");
        return;
    }
    performCancellation();
}

void VideoStreamCapture::performCancellation() {
    if (!isRecorderRunning_) {
        finishCancellation();
        return;
    }
    deps_.recorder.abort();
    scheduleWatchdog(&VideoStreamCapture::recordingOutputFinishWatchdogWorkItem_, kCancellationWaitSeconds,
                     [](VideoStreamCapture& capture) {
                         RuntimeLogger::log("Video recording output finish wait timed out during teardown");
                         capture.finishCancellation();
                     });
}

void VideoStreamCapture::finishCancellation() {
    if (isCancellationFinished_) {
        return;
    }
    std::error_code ignored;
    std::filesystem::remove(parameters_.outputURL, ignored);
    isCancellationFinished_ = true;
    auto waiters = std::move(cancellationWaiters_);
    cancellationWaiters_.clear();
    for (auto& waiter : waiters) {
        waiter();
    }
    RuntimeLogger::log("Video recording cancellation finished");
}

void VideoStreamCapture::verifyAndDeliver() {
    const auto bytes = VideoDraftExporter::validatedFileByteCount(parameters_.outputURL);
    if (!bytes) {
        RuntimeLogger::log("Video recording output verification failed url=" + parameters_.outputURL.string());
        deliver(Outcome::failure(VideoRecorderError::exportFailed()));
        return;
    }
    RuntimeLogger::log("Video recording output verified url=" + parameters_.outputURL.string() +
                       " bytes=" + std::to_string(bytes.value()));
    deliver(Outcome::success({parameters_.outputURL, audioUnavailableReason_}));
}

void VideoStreamCapture::deliver(Outcome outcome) {
    if (hasResolved_ || isCancelled_) {
        return;
    }
    hasResolved_ = true;
    finishWatchdogWorkItem_ = 0;
    recordingOutputFinishWatchdogWorkItem_ = 0;
    if (onFinish_) {
        auto onFinish = std::move(onFinish_);
        onFinish_ = nullptr;
        onFinish(std::move(outcome));
    }
}

void VideoStreamCapture::recorderEnded() {
    isRecorderRunning_ = false;
    // Released last: this may be the final reference, so nothing touches members afterwards
    // except through the caller's own `shared_ptr` (the state-queue step holds one).
    selfWhileRecording_.reset();
}

} // namespace brisklet
