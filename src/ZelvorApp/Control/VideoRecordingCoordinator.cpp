#include "ZelvorApp/Control/VideoRecordingCoordinator.h"

#include "Platform/Clock.h"
#include "ZelvorApp/Capture/ScreenCaptureService.h"
#include "ZelvorApp/Control/AppFlowError.h"
#include "ZelvorApp/Control/Ports/VideoPostProcessingPort.h"
#include "ZelvorApp/Infrastructure/LocalizationStore.h"
#include "ZelvorApp/Infrastructure/RuntimeLogger.h"
#include "ZelvorApp/Video/VideoDraftExporter.h"
#include "ZelvorApp/Video/VideoRecorderConfiguration.h"
#include "ZelvorCore/FileNameBuilder.h"

namespace brisklet {

namespace fs = std::filesystem;

VideoRecordingCoordinator::VideoRecordingCoordinator(Dependencies dependencies, Hooks hooks, Windows* windows,
                                                     VideoPostProcessingPort* postProcessing)
    : deps_(std::move(dependencies)), hooks_(std::move(hooks)), windows_(windows), postProcessing_(postProcessing) {}

VideoRecordingCoordinator::~VideoRecordingCoordinator() {
    *alive_ = false;
}

bool VideoRecordingCoordinator::start(const Rect& region, const DisplayScreen& screen,
                                      const RecordingOptions& options) {
    if (phase_ != Phase::idle) {
        RuntimeLogger::log("video recording start ignored reason=alreadyRecording");
        return false;
    }
    if (options.outputFormat == RecordingOutputFormat::gif) {
        return false;
    }
    const auto context = ScreenCaptureService::makeContext(screen, deps_.displays.screens());
    if (!context) {
        RuntimeLogger::log("video recording start failed reason=noCaptureContext");
        return false;
    }
    VideoRecorder::Session session;
    session.rect = region;
    session.context = context.value();
    session.options = options;
    session.outputURL = FileNameBuilder::videoTemporaryFileURL(options.outputFormat, deps_.temporaryDirectory);
    format_ = options.outputFormat;
    summary_ = {};
    if (const auto encoded = VideoRecorderConfiguration::make(region.size, options.quality, options.outputFormat)) {
        summary_.pixelWidth = encoded->width;
        summary_.pixelHeight = encoded->height;
    }
    ++generation_;
    phase_ = Phase::recording;
    const unsigned long long generation = generation_;
    std::weak_ptr<bool> alive = alive_;
    starting_ = true;
    deps_.recorder.startRegionRecording(
        std::move(session),
        [this, alive, generation](double elapsed) {
            if (!alive.expired() && generation == generation_ && hooks_.progressed) {
                hooks_.progressed(elapsed, 0);
            }
        },
        [this, alive, generation](Result<VideoRecordingOutput, VideoRecorderError> result) {
            if (!alive.expired() && generation == generation_) {
                captured(std::move(result));
            }
        });
    starting_ = false;
    if (phase_ == Phase::idle) {
        return false;
    }
    RuntimeLogger::log("video recording started rect=" + toString(region) +
                       " format=" + std::string(toString(options.outputFormat)));
    if (hooks_.progressed) {
        // The bar starts from zero, not from whatever was recorded last.
        hooks_.progressed(0, 0);
    }
    if (windows_) {
        windows_->show(region, screen);
    }
    return true;
}

void VideoRecordingCoordinator::pause() {
    if (phase_ == Phase::recording) {
        deps_.recorder.pause();
    }
}

void VideoRecordingCoordinator::resume() {
    if (phase_ == Phase::recording) {
        deps_.recorder.resume();
    }
}

void VideoRecordingCoordinator::stop() {
    if (phase_ != Phase::recording) {
        return;
    }
    phase_ = Phase::finishing;
    deps_.recorder.stop();
}

void VideoRecordingCoordinator::cancel() {
    if (phase_ == Phase::idle) {
        return;
    }
    RuntimeLogger::log("video recording cancelled");
    if (phase_ == Phase::recording || phase_ == Phase::finishing) {
        // The recorder removes its partial file itself.
        deps_.recorder.cancel();
    }
    if (presentedDraft_ && postProcessing_) {
        postProcessing_->close();
    }
    removeDraftFile();
    reset();
}

void VideoRecordingCoordinator::captured(Result<VideoRecordingOutput, VideoRecorderError> result) {
    if (starting_) {
        // Refused before anything ran: the caller hears it from start().
        RuntimeLogger::log("video recording start failed error=" + result.error().description());
        reset();
        return;
    }
    const bool endedByItself = phase_ == Phase::recording;
    phase_ = Phase::finishing;
    summary_.duration = deps_.recorder.recordingElapsedTime();
    if (windows_) {
        windows_->hide();
    }
    if (endedByItself && hooks_.stopRequested) {
        hooks_.stopRequested();
    }
    if (!result) {
        RuntimeLogger::log("video recording ended without a file error=" + result.error().description());
        end(ExportOutcome::failure(AppFlowError{result.error()}));
        return;
    }
    const AppPreferences preferences = deps_.preferences();
    draft_ = VideoRecordingDraft{result.value().url, format_, preferences.exportDirectoryURL(),
                                 preferences.exportAfterCopy, result.value().audioUnavailableReason};
    RuntimeLogger::log("video recording captured url=" + draft_->temporaryURL.string());
    if (!postProcessing_) {
        RuntimeLogger::log("video post-processing window unavailable; exporting the recording as captured");
        exportDraft();
        return;
    }
    phase_ = Phase::editing;
    presentedDraft_ = true;
    std::weak_ptr<bool> alive = alive_;
    postProcessing_->present(*draft_, summary_,
                             {[this, alive] {
                                  if (!alive.expired()) {
                                      exportDraft();
                                  }
                              },
                              [this, alive] {
                                  if (!alive.expired()) {
                                      discarded();
                                  }
                              }});
}

void VideoRecordingCoordinator::exportDraft() {
    if (exporting_ || !draft_) {
        return;
    }
    const auto destination = VideoDraftExporter::destinationFor(*draft_, deps_.clock.now());
    if (!destination) {
        exportFailed(draft_->exportDirectoryURL, destination.error());
        return;
    }
    exporting_ = true;
    const unsigned long long generation = generation_;
    const fs::path file = destination.value();
    std::weak_ptr<bool> alive = alive_;
    deps_.exporter.exportDraft(
        *draft_, file,
        [this, alive, generation](double progress) {
            if (!alive.expired() && generation == generation_ && presentedDraft_ && postProcessing_) {
                postProcessing_->exportProgressed(progress);
            }
        },
        [this, alive, generation, file](Result<std::uintmax_t, VideoRecorderError> result) {
            if (!alive.expired()) {
                exported(generation, file, result);
            }
        });
}

void VideoRecordingCoordinator::exported(unsigned long long generation, const fs::path& destination,
                                         const Result<std::uintmax_t, VideoRecorderError>& result) {
    if (generation != generation_) {
        if (result) {
            // The recording was discarded while it was being copied.
            std::error_code ignored;
            fs::remove(destination, ignored);
            RuntimeLogger::log("video export discarded url=" + destination.string());
        }
        return;
    }
    exporting_ = false;
    if (!result) {
        exportFailed(destination, result.error());
        return;
    }
    RuntimeLogger::log("Video export verified before success url=" + destination.string() +
                       " bytes=" + std::to_string(result.value()));
    if (draft_->autoCopy && hooks_.copyFile) {
        hooks_.copyFile(destination);
    }
    if (presentedDraft_ && postProcessing_) {
        postProcessing_->close();
    }
    removeDraftFile();
    end(ExportOutcome::success(destination));
}

void VideoRecordingCoordinator::exportFailed(const fs::path& destination, const VideoRecorderError& error) {
    RuntimeLogger::log("Video export failed destination=" + destination.string() + " error=" + error.description());
    if (presentedDraft_ && postProcessing_) {
        // The draft stays, and so does the window, for another try or a discard.
        postProcessing_->exportFailed(deps_.localization.text(error.messageKey()));
        return;
    }
    // Without a window nobody can retry; the draft is left where it is rather than lost.
    RuntimeLogger::log("video draft kept url=" + draft_->temporaryURL.string());
    draft_.reset();
    end(ExportOutcome::failure(AppFlowError{error}));
}

void VideoRecordingCoordinator::discarded() {
    RuntimeLogger::log("video recording discarded");
    presentedDraft_ = false;
    if (postProcessing_) {
        postProcessing_->close();
    }
    removeDraftFile();
    if (hooks_.cancelRequested) {
        hooks_.cancelRequested();
    }
    // Without a controller (or when it no longer counted us as running) the draft still goes.
    if (phase_ != Phase::idle) {
        reset();
    }
}

void VideoRecordingCoordinator::removeDraftFile() {
    if (draft_) {
        std::error_code ignored;
        fs::remove(draft_->temporaryURL, ignored);
        draft_.reset();
    }
}

void VideoRecordingCoordinator::end(const ExportOutcome& outcome) {
    reset();
    if (hooks_.finished) {
        hooks_.finished(outcome, format_ == RecordingOutputFormat::mov ? ExportKind::videoMOV : ExportKind::videoMP4);
    }
}

void VideoRecordingCoordinator::reset() {
    if (windows_ && phase_ == Phase::recording) {
        windows_->hide();
    }
    ++generation_;
    phase_ = Phase::idle;
    exporting_ = false;
    presentedDraft_ = false;
    draft_.reset();
}

} // namespace brisklet
