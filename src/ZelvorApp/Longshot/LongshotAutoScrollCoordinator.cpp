#include "ZelvorApp/Longshot/LongshotAutoScrollCoordinator.h"

#include "ZelvorApp/Infrastructure/RuntimeLogger.h"

namespace brisklet {

LongshotAutoScrollCoordinator::LongshotAutoScrollCoordinator(LongshotRecorder& recorder, LongshotAutoScroller& scroller,
                                                             InputPermission permission)
    : recorder_(recorder), scroller_(scroller), permission_(std::move(permission)) {}

void LongshotAutoScrollCoordinator::reset() {
    if (autoScrolling_) {
        scroller_.pause();
    }
    autoScrolling_ = false;
    autoStartPending_ = false;
}

void LongshotAutoScrollCoordinator::start(const LongshotRecorder::StartRequest& request,
                                          LongshotRecorder::Callbacks callbacks) {
    reset();
    controller_ = callbacks;
    autoStartPending_ = permission_.isTrusted && permission_.isTrusted();
    RuntimeLogger::log(std::string("longshot capture ready mode=") +
                       (autoStartPending_ ? "autoPending" : "manualFallback") + " rect=" + toString(request.rect));

    callbacks.onPreview = [this](const LongshotPreviewSnapshot& snapshot) { handlePreview(snapshot); };
    callbacks.onCaptureActivity = [this](bool active) { handleCaptureActivity(active); };
    callbacks.onStableBottom = [this] { handleStableBottom(); };
    callbacks.onMatchAccepted = [this](const LongshotOverlapMatch& match) { handleMatchAccepted(match); };
    callbacks.onFinish = [this](const LongshotRecorder::FinishResult& result) {
        const auto onFinish = controller_.onFinish;
        reset();
        if (onFinish) {
            onFinish(result);
        }
    };
    recorder_.start(request, std::move(callbacks));
}

void LongshotAutoScrollCoordinator::resume() {
    if (!recorder_.isRecording() || autoScrolling_) {
        return;
    }
    if (!permission_.requestAccess || !permission_.requestAccess()) {
        if (permission_.onAccessDenied) {
            permission_.onAccessDenied();
        }
        RuntimeLogger::log("longshot auto scroll blocked reason=accessibilityPermission");
        return;
    }
    const auto& session = *recorder_.session();
    recorder_.resetProgressTracker();
    if (!scroller_.start(session.rect, session.config.speed)) {
        RuntimeLogger::log("longshot auto scroll failed reason=eventCreation");
        return;
    }
    if (scroller_.running()) {
        recorder_.setExpectedAutoScrollStep(scroller_.expectedStep());
    }
    autoScrolling_ = true;
    RuntimeLogger::log("longshot auto scroll started rect=" + toString(session.rect) + " speed=" +
                       std::string(toString(session.config.speed)) + " delivery=hid cursorPolicy=initialWarp");
}

void LongshotAutoScrollCoordinator::pause() {
    scroller_.pause();
    recorder_.setExpectedAutoScrollStep(std::nullopt);
    autoScrolling_ = false;
    RuntimeLogger::log("longshot auto scroll paused; manual scrolling remains active");
}

void LongshotAutoScrollCoordinator::finish() {
    recorder_.stop();
}

void LongshotAutoScrollCoordinator::cancel() {
    reset();
    recorder_.cancel();
}

void LongshotAutoScrollCoordinator::handlePreview(const LongshotPreviewSnapshot& snapshot) {
    if (controller_.onPreview) {
        controller_.onPreview(snapshot);
    }
    if (autoStartPending_ && snapshot.frameCount >= 1) {
        autoStartPending_ = false;
        resume();
    }
}

void LongshotAutoScrollCoordinator::handleCaptureActivity(bool active) {
    if (controller_.onCaptureActivity) {
        controller_.onCaptureActivity(active);
    }
    // Scrolling only between captures keeps every frame sharp and lets each one be compared
    // with the last before the page moves on.
    if (!active && autoScrolling_ && scroller_.running()) {
        scroller_.postStep();
    }
}

void LongshotAutoScrollCoordinator::handleStableBottom() {
    if (controller_.onStableBottom) {
        controller_.onStableBottom();
    }
    if (autoScrolling_) {
        RuntimeLogger::log("longshot auto scroll reached bottom; finalizing");
        recorder_.stop();
    }
}

void LongshotAutoScrollCoordinator::handleMatchAccepted(const LongshotOverlapMatch& match) {
    if (controller_.onMatchAccepted) {
        controller_.onMatchAccepted(match);
    }
    if (autoScrolling_ && scroller_.running()) {
        scroller_.observeAcceptedShift(match.seamOffset);
        recorder_.setExpectedAutoScrollStep(scroller_.expectedStep());
    }
}

} // namespace brisklet
