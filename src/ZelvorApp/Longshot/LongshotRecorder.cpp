#include "ZelvorApp/Longshot/LongshotRecorder.h"

#include "Platform/Clock.h"
#include "Platform/ImageCodec.h"
#include "Platform/MainQueue.h"
#include "Platform/SerialQueue.h"
#include "ZelvorApp/Infrastructure/LocalizationStore.h"
#include "ZelvorApp/Infrastructure/RuntimeLogger.h"
#include "ZelvorApp/Longshot/LongshotImageOps.h"
#include "ZelvorCore/FileNameBuilder.h"
#include "ZelvorCore/Foundation/AtomicFile.h"

#include <algorithm>
#include <cstdio>

namespace brisklet {

namespace {

std::string describe(ScreenCaptureError error) {
    switch (error) {
    case ScreenCaptureError::missingScreen:
        return LocalizationStore::shared().text(L10nKey::errorMissingScreen);
    case ScreenCaptureError::captureFailed:
        return LocalizationStore::shared().text(L10nKey::errorCaptureFailed);
    case ScreenCaptureError::invalidCrop:
        return LocalizationStore::shared().text(L10nKey::errorInvalidCrop);
    }
    return std::string(toString(error));
}

/// " overlap=… topFixed=… bottomFixed=… leftFixed=… rightFixed=… score=0.000"
std::string matchFields(const LongshotOverlapMatch& m) {
    char buffer[192];
    std::snprintf(buffer, sizeof buffer, " overlap=%d topFixed=%d bottomFixed=%d leftFixed=%d rightFixed=%d score=%.3f",
                  m.overlapPixels, m.headerExclusionHeight, m.footerExclusionHeight, m.leftExclusionWidth,
                  m.rightExclusionWidth, m.score);
    return buffer;
}

/// Everything the export needs, taken from the recorder before its state is cleared.
struct ExportJob {
    std::vector<AcceptedLongshotFrame> frames;
    LongshotConfig config;
    LongshotCropOptions cropOptions;
    std::filesystem::path exportDirectory;
    bool reachedStableBottom = false;
    std::optional<double> expectedAutoScrollStep;
};

/// The last auto-scroll step before the recording ended may have been cut short by the end of
/// the page, so the expected step misled its analysis; analyse that pair again without it.
void refineFinalMatch(ExportJob& job, const LongshotComposer& composer) {
    const std::size_t n = job.frames.size();
    if (job.reachedStableBottom || !job.expectedAutoScrollStep || n < 2 || !job.frames.back().match) {
        return;
    }
    LongshotAnalysisOptions options;
    options.minProgressPixels = job.config.minProgressPixels;
    options.cropOptions = job.cropOptions;
    options.allowedPixelDirection = LongshotPixelOverlapMatcher::Direction::forward;
    const Image& last = *job.frames.back().image;
    const auto refined = composer.analyze(*job.frames[n - 2].image, last, options);
    if (!refined.isReliable || refined.overlapPixels < 1 || refined.overlapPixels < last.height() / 4) {
        return;
    }
    RuntimeLogger::log("longshot final match refined from=" + std::to_string(job.frames.back().match->seamOffset) +
                       " to=" + std::to_string(refined.seamOffset));
    job.frames.back().match = refined;
}

LongshotRecorder::FinishResult exportLongshot(ExportJob job, const LongshotComposer& composer, const ImageCodec& codec,
                                              const Clock& clock) {
    using FinishResult = LongshotRecorder::FinishResult;
    refineFinalMatch(job, composer);
    const auto composed = LongshotComposer::compose(job.frames, job.cropOptions);
    if (!composed) {
        RuntimeLogger::log("longshot export failed reason=composition");
        return FinishResult::failure(LongshotRecorderError::exportFailed);
    }
    const auto encoded = codec.encode(*composed, ImageFormat::png);
    if (!encoded) {
        RuntimeLogger::log("longshot export failed reason=encoding error=" + std::string(toString(encoded.error())));
        return FinishResult::failure(LongshotRecorderError::exportFailed);
    }
    // The chosen name is free when chosen; should another file take it before we write, we never
    // overwrite it and choose again.
    for (int attempt = 0; attempt < 3; ++attempt) {
        const auto url = FileNameBuilder::makeFileURL(ExportKind::longshot, job.exportDirectory, clock.now());
        if (!url) {
            RuntimeLogger::log("longshot export failed reason=directory error=" + url.error().message());
            return FinishResult::failure(LongshotRecorderError::exportFailed);
        }
        const auto error = writeNewFileAtomically(url.value(), encoded.value());
        if (!error) {
            return FinishResult::success(url.value());
        }
        if (error != std::errc::file_exists) {
            RuntimeLogger::log("longshot export failed reason=write error=" + error.message());
            return FinishResult::failure(LongshotRecorderError::exportFailed);
        }
    }
    RuntimeLogger::log("longshot export failed reason=nameTaken");
    return FinishResult::failure(LongshotRecorderError::exportFailed);
}

} // namespace

LongshotRecorder::LongshotRecorder(ScreenCaptureBackend& capture, const LongshotComposer& composer,
                                   const ImageCodec& codec, MainQueue& mainQueue, SerialQueueFactory& queues,
                                   const Clock& clock)
    : capture_(capture), composer_(composer), codec_(codec), mainQueue_(mainQueue), clock_(clock),
      classifier_(std::make_shared<LongshotFrameClassifier>(composer)),
      latestPreview_(std::make_shared<std::atomic<std::uint64_t>>(0)),
      captureQueue_(queues.makeQueue(captureQueueLabel)), exportQueue_(queues.makeQueue(exportQueueLabel)) {}

LongshotRecorder::~LongshotRecorder() {
    invalidateTimer();
    lifetime_.reset();
}

void LongshotRecorder::start(const StartRequest& request, Callbacks callbacks) {
    cancel();
    Session session;
    session.rect = request.rect;
    session.captureContext = request.screenContext.value_or(
        ScreenCaptureContext{request.screenDisplayID.value_or(0), request.screenFrame, request.screenFrame});
    session.preferences = request.preferences;
    session.config = request.preferences.longshotConfig;
    session.cropOptions = LongshotCropOptions::automatic();
    session_ = std::move(session);
    startedAt_ = clock_.now();
    startedMonotonic_ = clock_.monotonicSeconds();
    frames_.clear();
    isCaptureInFlight_ = false;
    progressTracker_.reset();
    reachedStableBottom_ = false;
    generation_ = Uuid::generate();
    callbacks_ = std::move(callbacks);
    captureFrame();
}

void LongshotRecorder::captureFrame() {
    if (!session_ || isCaptureInFlight_) {
        return;
    }
    const double timeLimit = std::max<double>(session_->config.timeoutSec, minimumTimeLimitSeconds);
    if (clock_.monotonicSeconds() - startedMonotonic_ > timeLimit ||
        frames_.size() >= static_cast<std::size_t>(std::max(session_->config.maxFrames, 1))) {
        stop();
        return;
    }
    isCaptureInFlight_ = true;
    notifyCaptureActivity(true);
    if (!session_) {
        return; // the activity callback ended the session
    }
    std::vector<std::uint32_t> hiddenWindows;
    if (callbacks_.hiddenWindowsProvider) {
        hiddenWindows = callbacks_.hiddenWindowsProvider();
    }

    LongshotAnalysisOptions options;
    options.minProgressPixels = session_->config.minProgressPixels;
    options.cropOptions = session_->cropOptions;
    options.allowedPixelDirection = LongshotPixelOverlapMatcher::Direction::forward;
    options.expectedScrollStep = expectedAutoScrollStep_;

    captureQueue_->async([this, capture = &capture_, classifier = classifier_, main = &mainQueue_,
                          alive = std::weak_ptr<int>(lifetime_), generation = generation_, rect = session_->rect,
                          context = session_->captureContext, hiddenWindows = std::move(hiddenWindows),
                          last = frames_.empty() ? nullptr : frames_.back().image, options] {
        auto captured = capture->capture(rect, context, hiddenWindows);
        auto outcome = captured ? CaptureOutcome::success(classifier->classify(
                                      last, std::make_shared<const Image>(std::move(captured).value()), options))
                                : CaptureOutcome::failure(captured.error());
        main->post([this, alive, generation, outcome = std::move(outcome)]() mutable {
            if (!alive.expired()) {
                handleCaptureOutcome(generation, std::move(outcome));
            }
        });
    });
}

void LongshotRecorder::handleCaptureOutcome(const Uuid& generation, CaptureOutcome outcome) {
    // A result of an earlier session must not touch the flag of the capture now in flight.
    if (!session_ || generation != generation_) {
        return;
    }
    isCaptureInFlight_ = false;
    if (!outcome) {
        notifyCaptureActivity(false);
        RuntimeLogger::log("longshot capture frame failed error=" + describe(outcome.error()));
    } else if (auto* unmatched = std::get_if<LongshotFrameUnmatched>(&outcome.value())) {
        handleUnmatched(unmatched->match);
    } else if (auto* accepted = std::get_if<LongshotFrameAccepted>(&outcome.value())) {
        handleAccepted(std::move(*accepted));
    } else {
        handleStationary();
    }
    if (session_ && generation == generation_) {
        scheduleNextCapture(sampleInterval(session_->config.speed));
    }
}

void LongshotRecorder::handleUnmatched(const LongshotOverlapMatch& match) {
    progressTracker_.consecutiveStationaryFrames = 0;
    RuntimeLogger::log("longshot match retry shift=" + std::to_string(match.seamOffset) + matchFields(match));
}

void LongshotRecorder::handleStationary() {
    notifyCaptureActivity(false);
    if (!session_ || !progressTracker_.hasObservedProgress) {
        return;
    }
    const int required = std::max(session_->config.stableBottomFrames, 1);
    if (++progressTracker_.consecutiveStationaryFrames != required) {
        return;
    }
    reachedStableBottom_ = true;
    RuntimeLogger::log("longshot stable bottom detected frames=" +
                       std::to_string(progressTracker_.consecutiveStationaryFrames));
    if (const auto onStableBottom = callbacks_.onStableBottom) {
        onStableBottom();
    }
}

void LongshotRecorder::handleAccepted(LongshotFrameAccepted accepted) {
    const Uuid generation = generation_;
    if (accepted.recovered && accepted.recovered->match) {
        // Dropped before, kept now that the next frame lines up with it; its seam is a guess.
        RuntimeLogger::log("longshot match guessed frame=" + std::to_string(frames_.size()) +
                           " shift=" + std::to_string(accepted.recovered->match->seamOffset) +
                           matchFields(*accepted.recovered->match));
        frames_.push_back(std::move(*accepted.recovered));
    }
    AcceptedLongshotFrame frame = std::move(accepted.frame);
    const auto match = frame.match;
    if (match) {
        progressTracker_.hasObservedProgress = true;
        progressTracker_.consecutiveStationaryFrames = 0;
        if (accepted.seam == LongshotSeamSource::measured) {
            RuntimeLogger::log("longshot match accepted frame=" + std::to_string(frames_.size()) +
                               " shift=" + std::to_string(match->seamOffset) + matchFields(*match));
        } else {
            // A blank overlap: the step is the auto-scroller's, or a guess.
            RuntimeLogger::log(
                "longshot match guessed frame=" + std::to_string(frames_.size()) +
                " shift=" + std::to_string(match->seamOffset) + matchFields(*match) +
                (accepted.seam == LongshotSeamSource::expectedStep ? " source=scrollStep" : " source=blankOverlap"));
        }
    }
    frames_.push_back(std::move(frame));
    if (const auto onMatchAccepted = callbacks_.onMatchAccepted; match && onMatchAccepted) {
        onMatchAccepted(*match);
    }
    if (generation == generation_) {
        notifyCaptureActivity(false);
    }
    if (session_ && generation == generation_) {
        renderPreview(frames_, session_->cropOptions, generation_);
    }
}

void LongshotRecorder::notifyCaptureActivity(bool active) {
    // Callbacks are called through copies: one may stop or cancel the recorder, which clears them.
    if (const auto callback = callbacks_.onCaptureActivity) {
        callback(active);
    }
}

void LongshotRecorder::scheduleNextCapture(double seconds) {
    if (!session_) {
        return;
    }
    const std::uint64_t token = ++timerToken_;
    mainQueue_.postAfter(seconds, [this, alive = std::weak_ptr<int>(lifetime_), token, generation = generation_] {
        if (!alive.expired() && token == timerToken_ && generation == generation_) {
            captureFrame();
        }
    });
}

void LongshotRecorder::renderPreview(std::vector<AcceptedLongshotFrame> frames, const LongshotCropOptions& cropOptions,
                                     const Uuid& generation) {
    const std::uint64_t request = ++*latestPreview_;
    exportQueue_->async([this, latest = latestPreview_, request, frames = std::move(frames), cropOptions,
                         main = &mainQueue_, alive = std::weak_ptr<int>(lifetime_), generation] {
        if (latest->load() != request) {
            return;
        }
        const auto composed = LongshotComposer::compose(frames, cropOptions);
        if (!composed) {
            return;
        }
        LongshotPreviewSnapshot snapshot{
            LongshotImageOps::scaledToFit(*composed, previewMaximumWidth, previewMaximumHeight),
            static_cast<int>(frames.size()), composed->height()};
        main->post([this, alive, generation, snapshot = std::move(snapshot)] {
            if (alive.expired() || generation != generation_) {
                return;
            }
            if (const auto callback = callbacks_.onPreview) {
                callback(snapshot);
            }
        });
    });
}

void LongshotRecorder::stop() {
    invalidateTimer();
    if (!session_) {
        return;
    }
    const auto onFinish = callbacks_.onFinish;
    if (frames_.empty()) {
        cancel();
        if (onFinish) {
            onFinish(FinishResult::failure(LongshotRecorderError::noFrames));
        }
        return;
    }
    ExportJob job{std::move(frames_),    session_->config,
                  session_->cropOptions, session_->preferences.exportDirectoryURL(),
                  reachedStableBottom_,  expectedAutoScrollStep_};
    cancel();
    exportQueue_->async([job = std::move(job), composer = &composer_, codec = &codec_, clock = &clock_,
                         main = &mainQueue_, alive = std::weak_ptr<int>(lifetime_), onFinish]() mutable {
        auto result = exportLongshot(std::move(job), *composer, *codec, *clock);
        main->post([alive, onFinish, result = std::move(result)] {
            if (!alive.expired() && onFinish) {
                onFinish(result);
            }
        });
    });
}

void LongshotRecorder::cancel() {
    invalidateTimer();
    session_.reset();
    frames_.clear();
    isCaptureInFlight_ = false;
    progressTracker_.reset();
    reachedStableBottom_ = false;
    expectedAutoScrollStep_.reset();
    generation_ = Uuid::generate();
    callbacks_ = Callbacks{};
}

} // namespace brisklet
