#pragma once

#include "ZelvorApp/Control/Ports/GIFPostProcessingPort.h"

#include <memory>
#include <vector>

namespace brisklet {

class AppModel;
class BackgroundRenderer;
class GIFAnnotationFrameRenderer;
class GIFPostProcessingModel;
class GIFPostProcessingWindow;
class LocalizationStore;
class MainQueue;

/// The GIF post-processing window for a finished recording: one at a time, on the screen under
/// the pointer, in the preferences' appearance. Whoever presents it writes the file on
/// `onExport` and reports progress, failure or the end back here.
class QtGIFPostProcessing final : public GIFPostProcessingPort {
public:
    struct Services {
        MainQueue& mainQueue;
        const LocalizationStore& localization;
        const AppModel& model;
        /// The renderers the export draws with, so the preview shows the file; either may be null.
        const GIFAnnotationFrameRenderer* annotations = nullptr;
        const BackgroundRenderer* background = nullptr;
    };

    explicit QtGIFPostProcessing(Services services);
    ~QtGIFPostProcessing() override;

    /// Replaces a window still open (without cancelling it).
    void present(const GIFRecordingDraft& draft, Handlers handlers) override;
    void exportProgressed(double fraction) override;
    void exportFailed(const std::string& message) override;
    void close() override;

    /// The open window and its model, for tests; null when none is open.
    GIFPostProcessingWindow* window() const;
    GIFPostProcessingModel* model() const;

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
