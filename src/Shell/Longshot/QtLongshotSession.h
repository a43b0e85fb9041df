#pragma once

#include "Platform/Linux/OpenCV/OpenCVImageRegistration.h"
#include "Platform/Linux/X11/X11ScreenCapture.h"
#include "Platform/Linux/X11/X11WindowServer.h"
#include "Platform/ThreadSerialQueue.h"
#include "ZelvorApp/Control/ExportBookkeeping.h"
#include "ZelvorApp/Control/Ports/CaptureSessionPorts.h"
#include "ZelvorApp/Longshot/LongshotAutoScrollCoordinator.h"
#include "ZelvorApp/Longshot/LongshotAutoScroller.h"
#include "ZelvorApp/Longshot/LongshotComposer.h"
#include "ZelvorApp/Longshot/LongshotControlBarModel.h"
#include "ZelvorApp/Longshot/LongshotPreviewModel.h"
#include "ZelvorApp/Longshot/LongshotRecorder.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace brisklet {

class AppModel;
class BorderHighlightWindow;
class Clock;
class DisplayServer;
class ImageCodec;
class LocalizationStore;
class LongshotControlBar;
class LongshotPreviewWindow;
class MainQueue;
class PermissionService;

/// One scrolling capture on the desktop: the recorder and the auto-scroller on the X display,
/// with the control bar, the click-through border around the region and the live preview.
/// The bar's buttons go through the controller (so the application's state and the tray follow),
/// which comes back here through the port.
class QtLongshotSession final : public CaptureSessionPort {
public:
    struct Dependencies {
        std::string displayName;
        MainQueue& mainQueue;
        const Clock& clock;
        const ImageCodec& codec;
        const AppModel& model;
        const LocalizationStore& localization;
        PermissionService& permissions;
        const DisplayServer& displays;
    };
    /// The controller's side: the user's choices and the end of the session.
    struct Controller {
        std::function<void()> pause;
        std::function<void()> resume;
        std::function<void()> stop;
        std::function<void()> cancel;
        std::function<void(const ExportOutcome&)> finished;
    };

    explicit QtLongshotSession(Dependencies dependencies);
    ~QtLongshotSession() override;

    void setController(Controller controller) { controller_ = std::move(controller); }

    bool start(const Rect& region, const DisplayScreen& screen, const RecordingOptions& options) override;
    void pause() override;
    void resume() override;
    void stop() override;
    void cancel() override;
    bool isActive() const override { return active_; }

    const LongshotControlBarModel& controlBarModel() const { return barModel_; }

private:
    LongshotRecorder::Callbacks recorderCallbacks();
    void openWindows(const Rect& region, const DisplayScreen& screen);
    void closeWindows();
    void refreshBar();
    void toggleAutoScroll();
    void finished(unsigned session, const LongshotRecorder::FinishResult& result);
    std::vector<std::uint32_t> windowsInRegion() const;
    std::optional<Rect> firstScreenFrame() const;

    Dependencies deps_;
    Controller controller_;
    X11ScreenCapture capture_;
    OpenCVImageRegistration registration_;
    LongshotComposer composer_;
    ThreadSerialQueueFactory queues_;
    X11WindowServer windowServer_;
    LongshotAutoScroller scroller_;
    LongshotControlBarModel barModel_;
    LongshotPreviewModel previewModel_;
    std::unique_ptr<BorderHighlightWindow> border_;
    std::unique_ptr<LongshotControlBar> bar_;
    std::unique_ptr<LongshotPreviewWindow> preview_;
    Rect region_;
    bool active_ = false;
    /// Every start counts one up; a session cancelled while its picture was being stitched is
    /// remembered so the file that still arrives is removed.
    unsigned sessionNumber_ = 0;
    unsigned discardedSession_ = 0;
    bool pausedByUser_ = false;
    /// Last: the recorder's queues are joined before the windows and backends go.
    LongshotRecorder recorder_;
    LongshotAutoScrollCoordinator coordinator_;
};

} // namespace brisklet
