#include "ZelvorApp/Control/GIFRecordingCoordinator.h"

#include "Platform/Clock.h"
#include "Platform/MainQueue.h"
#include "Platform/SerialQueue.h"
#include "ZelvorApp/Capture/ScreenCaptureService.h"
#include "ZelvorApp/Control/AppFlowError.h"
#include "ZelvorApp/Control/Ports/GIFPostProcessingPort.h"
#include "ZelvorApp/Infrastructure/LocalizationStore.h"
#include "ZelvorApp/Infrastructure/RuntimeLogger.h"
#include "ZelvorApp/Recording/GIFExportFrameRenderer.h"
#include "ZelvorApp/Recording/GIFFileWriter.h"
#include "ZelvorApp/Recording/GIFPerformancePolicy.h"
#include "ZelvorCore/FileNameBuilder.h"
#include "ZelvorCore/Foundation/AtomicFile.h"
#include "ZelvorCore/Foundation/Uuid.h"

#include <algorithm>

namespace brisklet {

namespace {

using FileResult = Result<std::filesystem::path, GIFExportFailure>;

/// Writes `draft` as post-processed by `options` into the export directory, through a temporary
/// name beside the final one. Runs on the export queue.
FileResult writeDraft(const GIFRecordingDraft& draft, const GIFPostProcessingOptions& options, GIFEncoder& encoder,
                      const Clock& clock, const GIFFileWriter::Progress& progress,
                      const GIFAnnotationFrameRenderer* annotations, const BackgroundRenderer* background) {
    std::error_code error;
    std::filesystem::create_directories(draft.exportDirectory, error);
    const auto finalURL = FileNameBuilder::makeFileURL(ExportKind::gif, draft.exportDirectory, clock.now());
    if (!finalURL) {
        return FileResult::failure({GIFRecorderError::exportFailed, finalURL.error().message()});
    }
    const auto temporary = finalURL.value().parent_path() /
                           ("." + finalURL.value().filename().string() + "." + Uuid::generate().toString() + ".tmp");
    const GIFFileWriter writer(encoder, clock, GIFPerformancePolicy::encodingQuality(draft.quality));
    const auto written =
        GIFExportFrameRenderer::writePostProcessed(writer, draft, options, temporary, progress, annotations, background);
    if (!written) {
        std::filesystem::remove(temporary, error);
        return FileResult::failure(written.error());
    }
    if (const auto moved = moveIntoPlaceWithoutOverwriting(temporary, finalURL.value())) {
        std::filesystem::remove(temporary, error);
        return FileResult::failure({GIFRecorderError::exportFailed, moved.message()});
    }
    return FileResult::success(finalURL.value());
}

} // namespace

GIFRecordingCoordinator::GIFRecordingCoordinator(Dependencies dependencies, Hooks hooks, Windows* windows,
                                                 GIFPostProcessingPort* postProcessing)
    : deps_(std::move(dependencies)), hooks_(std::move(hooks)), windows_(windows), postProcessing_(postProcessing) {}

GIFRecordingCoordinator::~GIFRecordingCoordinator() {
    *alive_ = false;
}

GIFRecorder::Session GIFRecordingCoordinator::makeSession(const Rect& region, const ScreenCaptureContext& context,
                                                          const AppPreferences& preferences,
                                                          const RecordingOptions& options) {
    GIFRecorder::Session session;
    session.rect = region;
    session.captureContext = context;
    session.preferences = preferences;
    session.fps = std::max(static_cast<int>(preferences.gifFPS), 1);
    session.maxDuration = std::max(preferences.gifMaxDuration, 1.0);
    session.autoCopy = preferences.exportAfterCopy;
    session.mappingRect = region;
    session.mouseOverlayOptions = {options.showsCursor, options.showsClickEffects};
    session.maxFramePixelDimension = 960 + 320 * static_cast<int>(options.quality);
    session.quality = options.quality;
    return session;
}

bool GIFRecordingCoordinator::start(const Rect& region, const DisplayScreen& screen, const RecordingOptions& options) {
    if (phase_ != Phase::idle) {
        RuntimeLogger::log("gif recording start ignored reason=alreadyRecording");
        return false;
    }
    const auto context = ScreenCaptureService::makeContext(screen, deps_.displays.screens());
    if (!context) {
        RuntimeLogger::log("gif recording start failed reason=noCaptureContext");
        return false;
    }
    GIFRecorder::Session session = makeSession(region, context.value(), deps_.preferences(), options);
    GIFRecorder& recorder = deps_.recorder;
    annotations_ = std::make_unique<GIFAnnotationPrototypeSession>([&recorder] { return recorder.recordingElapsedTime(); });
    const Size canvas = region.size;
    session.annotationExportPlanProvider = [this, canvas]() -> std::optional<GIFAnnotationExportPlan> {
        if (!annotations_ || annotations_->timeline().events.empty()) {
            return std::nullopt;
        }
        if (deps_.framesIncludeDrawings) {
            RuntimeLogger::log("gif annotations kept as recorded on screen; not drawn again");
            return std::nullopt;
        }
        return annotations_->exportPlan(canvas);
    };
    ++generation_;
    phase_ = Phase::recording;
    RuntimeLogger::log("gif recording started rect=" + toString(region) + " fps=" + std::to_string(session.fps) +
                       " maxDuration=" + formatNumber(session.maxDuration));
    std::weak_ptr<bool> alive = alive_;
    recorder.start(
        std::move(session),
        [this, alive](double elapsed, double maxDuration) {
            if (!alive.expired() && hooks_.progressed) {
                hooks_.progressed(elapsed, maxDuration);
            }
        },
        [this, alive](Result<GIFRecordingDraft, GIFRecorderError> result) {
            if (!alive.expired()) {
                captured(std::move(result));
            }
        },
        {});
    if (windows_) {
        windows_->show(region, screen, *annotations_);
    }
    return true;
}

void GIFRecordingCoordinator::pause() {
    if (phase_ == Phase::recording) {
        deps_.recorder.pause();
    }
}

void GIFRecordingCoordinator::resume() {
    if (phase_ == Phase::recording) {
        deps_.recorder.resume();
    }
}

void GIFRecordingCoordinator::stop() {
    if (phase_ != Phase::recording) {
        return;
    }
    phase_ = Phase::finishing;
    deps_.recorder.finish();
}

void GIFRecordingCoordinator::cancel() {
    if (phase_ == Phase::idle) {
        return;
    }
    RuntimeLogger::log("gif recording cancelled");
    deps_.recorder.cancel();
    if (presentedDraft_ && postProcessing_) {
        postProcessing_->close();
    }
    reset();
}

void GIFRecordingCoordinator::captured(Result<GIFRecordingDraft, GIFRecorderError> result) {
    const bool endedByItself = phase_ == Phase::recording;
    phase_ = Phase::finishing;
    if (windows_) {
        windows_->hide();
    }
    if (endedByItself && hooks_.stopRequested) {
        // The length limit ended it: the controller follows as if Stop had been pressed.
        hooks_.stopRequested();
    }
    if (!result) {
        RuntimeLogger::log("gif recording ended without frames");
        end(ExportOutcome::failure(AppFlowError{result.error()}));
        return;
    }
    draft_ = std::make_shared<const GIFRecordingDraft>(std::move(result.value()));
    RuntimeLogger::log("gif recording captured frames=" + std::to_string(draft_->frames.size()) +
                       " duration=" + formatNumber(draft_->recordingDuration));
    if (!postProcessing_) {
        RuntimeLogger::log("gif post-processing window unavailable; exporting the recording as captured");
        exportDraft(GIFPostProcessingOptions::none());
        return;
    }
    phase_ = Phase::editing;
    presentedDraft_ = true;
    std::weak_ptr<bool> alive = alive_;
    postProcessing_->present(*draft_, {[this, alive](GIFPostProcessingOptions options) {
                                           if (!alive.expired()) {
                                               exportDraft(options);
                                           }
                                       },
                                       [this, alive] {
                                           if (!alive.expired()) {
                                               discarded();
                                           }
                                       }});
}

void GIFRecordingCoordinator::exportDraft(const GIFPostProcessingOptions& options) {
    if (exporting_ || !draft_) {
        return;
    }
    exporting_ = true;
    const unsigned long long generation = generation_;
    std::weak_ptr<bool> alive = alive_;
    const Dependencies deps = deps_;
    GIFPostProcessingPort* port = postProcessing_;
    const auto draft = draft_;
    deps_.exportQueue.async([=, this] {
        const auto progress = [&deps, alive, port](double fraction) {
            if (port) {
                deps.mainQueue.post([alive, port, fraction] {
                    if (!alive.expired()) {
                        port->exportProgressed(fraction);
                    }
                });
            }
        };
        FileResult result = writeDraft(*draft, options, deps.encoder, deps.clock, progress, deps.annotationRenderer,
                                       deps.backgroundRenderer);
        deps.mainQueue.post([=, this] {
            if (!alive.expired()) {
                exported(generation, result);
            }
        });
    });
}

void GIFRecordingCoordinator::exported(unsigned long long generation, const FileResult& result) {
    if (generation != generation_) {
        // The draft was discarded while it was being written.
        if (result) {
            std::error_code ignored;
            std::filesystem::remove(result.value(), ignored);
            RuntimeLogger::log("gif export discarded url=" + result.value().string());
        }
        return;
    }
    exporting_ = false;
    if (!result) {
        RuntimeLogger::log("gif export failed error=" + result.error().detail);
        if (presentedDraft_ && postProcessing_) {
            // The editing window stays open so the user can try again or discard.
            postProcessing_->exportFailed(deps_.localization.text(messageKey(result.error().error)));
            return;
        }
        end(ExportOutcome::failure(AppFlowError{result.error().error}));
        return;
    }
    if (draft_ && draft_->autoCopy && hooks_.copyFile) {
        hooks_.copyFile(result.value());
    }
    if (presentedDraft_ && postProcessing_) {
        postProcessing_->close();
    }
    end(ExportOutcome::success(result.value()));
}

void GIFRecordingCoordinator::discarded() {
    RuntimeLogger::log("gif recording discarded");
    presentedDraft_ = false;
    if (postProcessing_) {
        postProcessing_->close();
    }
    if (hooks_.cancelRequested) {
        hooks_.cancelRequested();
    }
    // Without a controller (or when it no longer counted us as running) the draft still goes.
    if (phase_ != Phase::idle) {
        reset();
    }
}

void GIFRecordingCoordinator::end(const ExportOutcome& outcome) {
    reset();
    if (hooks_.finished) {
        hooks_.finished(outcome, ExportKind::gif);
    }
}

void GIFRecordingCoordinator::reset() {
    if (windows_ && phase_ == Phase::recording) {
        windows_->hide();
    }
    ++generation_;
    phase_ = Phase::idle;
    exporting_ = false;
    presentedDraft_ = false;
    draft_.reset();
    annotations_.reset();
}

} // namespace brisklet
