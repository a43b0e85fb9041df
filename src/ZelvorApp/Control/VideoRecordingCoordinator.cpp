#include "ZelvorApp/Control/VideoRecordingCoordinator.h"

#include "Platform/Clock.h"
#include "ZelvorApp/Capture/ScreenCaptureService.h"
#include "ZelvorApp/Control/AppFlowError.h"
#include "ZelvorApp/Control/Ports/VideoPostProcessingPort.h"
#include "ZelvorApp/Infrastructure/LocalizationStore.h"
#include "ZelvorApp/Infrastructure/RuntimeLogger.h"
#include "ZelvorApp/Video/VideoDraftExporter.h"
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
    ++generation_;
    phase_ = Phase::recording;
    const unsigned long long generation = generation_;
    std::weak_ptr<bool> alive = alive_;
    bool failedAtOnce = false;
    deps_.recorder.startRegionRecording(
        std::move(session),
        [this, alive, generation](double elapsed) {
            if (!alive.expired() && generation == generation_ && hooks_.progressed) {
                hooks_.progressed(elapsed);
            }
        },
        [this, alive, generation, &failedAtOnce](Result<VideoRecordingOutput, VideoRecorderError> result) {
            if (alive.expired() || generation != generation_) {
                return;
            }
            if (phase_ == Phase::recording && !result && !deps_.recorder.isRecording() && !failedAtOnce &&
                generation_ == generation && !presentedDraft_ && windows_ == nullptr) {
                // Nothing else to do: handled below like any failure.
            }
            captured(std::move(result));
        });
    if (phase_ == Phase::idle) {
        // The recorder refused at once (no video support): the start failed, nothing runs.
        RuntimeLogger::log("video recording start failed reason=unavailable");
        return false;
    }
    (void)failedAtOnce;
    RuntimeLogger::log("video recording started rect=" + toString(region) +
                       " format=" + std::string(toString(options.outputFormat)));
    if (windows_) {
        windows_->show(region, screen);
    }
    return true;
}
