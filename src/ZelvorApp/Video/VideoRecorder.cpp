#include "ZelvorApp/Video/VideoRecorder.h"

#include "Platform/Clock.h"
#include "Platform/InputMonitor.h"
#include "Platform/MainQueue.h"
#include "ZelvorApp/Infrastructure/RuntimeLogger.h"

namespace brisklet {

VideoRecorder::VideoRecorder(Dependencies dependencies) : deps_(dependencies) {}

VideoRecorder::~VideoRecorder() {
    *alive_ = false;
    if (capture_) {
        capture_->cancel();
    }
    stopClickMonitor();
}

void VideoRecorder::startRegionRecording(Session session, OnTick onTick, OnFinish onFinish) {
    if (capture_) {
        cancel();
    }
    if (!deps_.recorder.isAvailable()) {
        if (onFinish) {
            onFinish(Result<VideoRecordingOutput, VideoRecorderError>::failure(VideoRecorderError::requiresMacOS15()));
        }
        return;
    }
    const unsigned long long generation = ++generation_;
    onTick_ = std::move(onTick);
    onFinish_ = std::move(onFinish);
    outputURL_ = session.outputURL;
    maxDuration_ = session.maxDuration;
    accumulatedDuration_ = 0;
    startedAt_.reset();
    isPaused_ = false;
    isStopRequested_ = false;
    if (session.options.showsClickEffects && deps_.clickMonitor) {
        clickEffects_ = std::make_shared<VideoClickEffectsOverlay>();
        deps_.clickMonitor->start([](Point) {},
                                  [overlay = clickEffects_, &clock = deps_.clock](Point location) {
                                      overlay->addClick(location, clock.monotonicSeconds());
                                  });
    }
    VideoStreamCapture::Parameters parameters{session.rect,
                                              session.context,
                                              session.options.quality,
                                              session.options.outputFormat,
                                              session.options.audioMode,
                                              session.options.showsCursor,
                                              session.options.showsClickEffects,
                                              session.outputURL,
                                              session.maxDuration,
                                              clickEffects_};
    const auto post = [this, alive = std::weak_ptr<bool>(alive_)](std::function<void(VideoRecorder&)> step) {
        deps_.mainQueue.post([this, alive, step = std::move(step)] {
            if (auto isAlive = alive.lock(); isAlive && *isAlive) {
                step(*this);
            }
        });
    };
    capture_ = VideoStreamCapture::make(
        {deps_.recorder, deps_.stateQueue, deps_.mainQueue}, std::move(parameters),
        [post, generation] { post([generation](VideoRecorder& self) { self.handleStarted(generation); }); },
        [post, generation](VideoStreamCapture::Outcome outcome) {
            auto shared = std::make_shared<VideoStreamCapture::Outcome>(std::move(outcome));
            post([generation, shared](VideoRecorder& self) { self.handleFinish(generation, std::move(*shared)); });
        });
    capture_->start();
}

void VideoRecorder::handleStarted(unsigned long long generation) {
    if (generation != generation_ || !capture_) {
        return;
    }
    startedAt_ = deps_.clock.monotonicSeconds();
    if (isPaused_) {
        // Held before the first frame was written: the recorder could not be held then.
        capture_->pause();
    }
    scheduleTick(generation);
}

void VideoRecorder::scheduleTick(unsigned long long generation) {
    deps_.mainQueue.postAfter(kTickInterval, [this, alive = std::weak_ptr<bool>(alive_), generation] {
        if (auto isAlive = alive.lock(); isAlive && *isAlive) {
            tick(generation);
        }
    });
}

void VideoRecorder::tick(unsigned long long generation) {
    if (generation != generation_ || !capture_ || isStopRequested_) {
        return;
    }
    const double elapsed = recordingElapsedTime();
    if (onTick_) {
        onTick_(elapsed);
    }
    if (maxDuration_ && elapsed >= *maxDuration_) {
        stop();
        return;
    }
    scheduleTick(generation);
}

double VideoRecorder::recordingElapsedTime() const {
    if (!startedAt_) {
        return accumulatedDuration_;
    }
    return accumulatedDuration_ + (isPaused_ ? 0 : deps_.clock.monotonicSeconds() - *startedAt_);
}

void VideoRecorder::stop() {
    if (!capture_ || isStopRequested_) {
        return;
    }
    isStopRequested_ = true;
    if (startedAt_ && !isPaused_) {
        accumulatedDuration_ += deps_.clock.monotonicSeconds() - *startedAt_;
        startedAt_ = deps_.clock.monotonicSeconds();
    }
    isPaused_ = true; // the clock stops with the recording
    stopClickMonitor();
    capture_->stop();
}

void VideoRecorder::cancel(std::function<void()> completion) {
    if (!capture_) {
        if (completion) {
            completion();
        }
        return;
    }
    RuntimeLogger::log("Video recording cancelled by the user");
    auto capture = std::move(capture_);
    ++generation_;
    clear();
    capture->cancel([this, alive = std::weak_ptr<bool>(alive_), completion = std::move(completion)] {
        if (!completion) {
            return;
        }
        deps_.mainQueue.post([alive, completion] {
            if (auto isAlive = alive.lock(); isAlive && *isAlive) {
                completion();
            }
        });
    });
}

void VideoRecorder::pause() {
    if (!capture_ || isPaused_ || isStopRequested_) {
        return;
    }
    if (startedAt_) {
        accumulatedDuration_ += deps_.clock.monotonicSeconds() - *startedAt_;
    }
    isPaused_ = true;
    capture_->pause();
}

void VideoRecorder::resume() {
    if (!capture_ || !isPaused_ || isStopRequested_) {
        return;
    }
    isPaused_ = false;
    if (startedAt_) {
        startedAt_ = deps_.clock.monotonicSeconds();
    }
    capture_->resume();
}

void VideoRecorder::handleFinish(unsigned long long generation, VideoStreamCapture::Outcome outcome) {
    if (generation != generation_) {
        return;
    }
    auto onFinish = std::move(onFinish_);
    capture_.reset();
    clear();
    if (onFinish) {
        onFinish(std::move(outcome));
    }
}

void VideoRecorder::stopClickMonitor() {
    if (clickEffects_ && deps_.clickMonitor) {
        deps_.clickMonitor->stop();
    }
}

void VideoRecorder::clear() {
    stopClickMonitor();
    clickEffects_.reset();
    onTick_ = nullptr;
    onFinish_ = nullptr;
    startedAt_.reset();
    isPaused_ = false;
    isStopRequested_ = false;
}

} // namespace brisklet
