#pragma once

#include "Platform/Linux/FFmpeg/FFmpegScreenRecorder.h"
#include "Platform/Linux/X11/X11InputMonitor.h"
#include "Platform/ThreadSerialQueue.h"
#include "Shell/Recording/GIFControlBarWindow.h"
#include "ZelvorApp/Control/VideoRecordingCoordinator.h"
#include "ZelvorApp/Video/VideoDraftExporter.h"
#include "ZelvorApp/Video/VideoRecorder.h"

#include <memory>
#include <string>

namespace brisklet {

class AppModel;
class BorderHighlightWindow;
class Clock;
class DisplayServer;
class ExportService;
class LocalizationStore;
class MainQueue;
class ScreenFrameStream;

/// The application's MP4 and MOV recordings: the FFmpeg recorder on the desktop's frame stream,
/// the border and control bar around the region, and the way from the draft to the file.
class QtVideoSession final : private VideoRecordingCoordinator::Windows {
public:
    struct Services {
        std::string displayName;
        ScreenFrameStream& stream;
        MainQueue& mainQueue;
        const Clock& clock;
        ExportService& exportService;
        const DisplayServer& displays;
        const LocalizationStore& localization;
        AppModel& model;
    };

    /// `hooks` reach the controller; `actions` are the control bar's buttons (the controller's
    /// pause, resume, stop and cancel, so its state follows).
    QtVideoSession(Services services, VideoRecordingCoordinator::Hooks hooks, GIFControlBarWindow::Actions actions);
    ~QtVideoSession() override;

    CaptureSessionPort& port() { return coordinator_; }
    VideoRecordingCoordinator& coordinator() { return coordinator_; }
    GIFControlBarWindow* controlBar() const { return controlBar_.get(); }

private:
    void show(const Rect& region, const DisplayScreen& screen) override;
    void hide() override;

    AppModel& model_;
    const LocalizationStore& localization_;
    GIFControlBarWindow::Actions actions_;
    FFmpegScreenRecorder backend_;
    X11InputMonitor clicks_;
    ThreadSerialQueue stateQueue_{VideoStreamCapture::kStateQueueLabel};
    ThreadSerialQueue exportQueue_{"com.brisklet.brisklet.video-export"};
    VideoRecorder recorder_;
    VideoDraftExporter exporter_;
    VideoRecordingCoordinator coordinator_;
    std::unique_ptr<BorderHighlightWindow> border_;
    std::unique_ptr<GIFControlBarWindow> controlBar_;
};

} // namespace brisklet
