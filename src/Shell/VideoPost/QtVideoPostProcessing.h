#pragma once

#include "ZelvorApp/Control/Ports/VideoPostProcessingPort.h"

#include <memory>
#include <vector>

namespace brisklet {

class AppModel;
class LocalizationStore;
class MainQueue;
class VideoFrameReader;
class VideoPostProcessingModel;
class VideoPostProcessingWindow;

/// The video post-processing window for a finished recording: one at a time, on the screen under
/// the pointer, in the preferences' appearance. Whoever presents it copies the file on
/// `onExport` and reports progress, failure or the end back here.
class QtVideoPostProcessing final : public VideoPostProcessingPort {
public:
    struct Services {
        MainQueue& mainQueue;
        const LocalizationStore& localization;
        const AppModel& model;
        /// Reads the preview frame out of the draft.
        const VideoFrameReader& frames;
    };

    explicit QtVideoPostProcessing(Services services);
    ~QtVideoPostProcessing() override;

    /// Replaces a window still open (without cancelling it).
    void present(const VideoRecordingDraft& draft, const VideoRecordingSummary& summary, Handlers handlers) override;
    void exportProgressed(double fraction) override;
    void exportFailed(const std::string& message) override;
    void close() override;

    /// The open window and its model, for tests; null when none is open.
    VideoPostProcessingWindow* window() const;
    VideoPostProcessingModel* model() const;

private:
    struct Presentation;
    void exportRequested();
    void cancelRequested();

    Services services_;
    std::unique_ptr<Presentation> presentation_;
    std::vector<std::unique_ptr<Presentation>> closed_;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

} // namespace brisklet
