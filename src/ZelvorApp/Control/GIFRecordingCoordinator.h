#pragma once

#include "Platform/DisplayServer.h"
#include "ZelvorApp/Control/ExportBookkeeping.h"
#include "ZelvorApp/Control/Ports/CaptureSessionPorts.h"
#include "ZelvorApp/Control/RecordingSessionHooks.h"
#include "ZelvorApp/Recording/GIFAnnotationPrototypeSession.h"
#include "ZelvorApp/Recording/GIFPostProcessor.h"
#include "ZelvorApp/Recording/GIFRecorder.h"

#include <functional>
#include <memory>
#include <optional>

namespace brisklet {

class BackgroundRenderer;
class Clock;
class GIFAnnotationFrameRenderer;
class GIFEncoder;
class GIFPostProcessingPort;
class LocalizationStore;
class MainQueue;
class SerialQueue;

/// One GIF recording from Start to its file: the recorder with the region's windows (border,
/// control bar, drawing canvas), then the draft in the editing window (or, without one, exported
/// as it is), the file written on the export queue under a temporary name and moved into place,
/// and the outcome handed to the controller.
class GIFRecordingCoordinator final : public CaptureSessionPort {
public:
    /// The windows around the region while it records.
    class Windows {
    public:
        virtual ~Windows() = default;
        virtual void show(const Rect& region, const DisplayScreen& screen, GIFAnnotationPrototypeSession& annotations) = 0;
        virtual void hide() = 0;
    };
    struct Dependencies {
        GIFRecorder& recorder;
        GIFEncoder& encoder;
        const Clock& clock;
        MainQueue& mainQueue;
        SerialQueue& exportQueue; ///< "com.brisklet.brisklet.gif-export"
        const DisplayServer& displays;
        const LocalizationStore& localization;
        /// The preferences as they are when a recording starts.
        std::function<AppPreferences()> preferences;
        const GIFAnnotationFrameRenderer* annotationRenderer = nullptr;
        const BackgroundRenderer* backgroundRenderer = nullptr;
        /// The frames already show the drawing canvas (an X11 screen grab takes every window on
        /// top): drawing the annotations into them again would double highlighters and put
        /// redactions over their own covers.
        bool framesIncludeDrawings = false;
    };
    using Hooks = RecordingSessionHooks;

    GIFRecordingCoordinator(Dependencies dependencies, Hooks hooks, Windows* windows = nullptr,
                            GIFPostProcessingPort* postProcessing = nullptr);
    ~GIFRecordingCoordinator() override;

    /// The editing window, once it exists; null exports every recording as it was captured.
    void setPostProcessing(GIFPostProcessingPort* port) { postProcessing_ = port; }
    void setWindows(Windows* windows) { windows_ = windows; }

    bool start(const Rect& region, const DisplayScreen& screen, const RecordingOptions& options) override;
    void pause() override;
    void resume() override;
    void stop() override;
    void cancel() override;
    bool isActive() const override { return phase_ != Phase::idle; }

    /// The drawings of the running recording, if one runs.
    GIFAnnotationPrototypeSession* annotations() { return annotations_.get(); }
    bool isExporting() const { return exporting_; }

    /// The session the recorder gets for these options (frame rate, length, frame size, pointer).
    static GIFRecorder::Session makeSession(const Rect& region, const ScreenCaptureContext& context,
                                            const AppPreferences& preferences, const RecordingOptions& options);

private:
    enum class Phase { idle, recording, finishing, editing };

    void captured(Result<GIFRecordingDraft, GIFRecorderError> result);
    void exportDraft(const GIFPostProcessingOptions& options);
    void exported(unsigned long long generation, const Result<std::filesystem::path, GIFExportFailure>& result);
    void discarded();
    void end(const ExportOutcome& outcome);
    void reset();

    Dependencies deps_;
    Hooks hooks_;
    Windows* windows_;
    GIFPostProcessingPort* postProcessing_;
    Phase phase_ = Phase::idle;
    std::unique_ptr<GIFAnnotationPrototypeSession> annotations_;
    std::shared_ptr<const GIFRecordingDraft> draft_;
    bool presentedDraft_ = false;
    bool exporting_ = false;
    /// Changes whenever a recording ends, so a late export result of a discarded draft is dropped.
    unsigned long long generation_ = 0;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

} // namespace brisklet
