#pragma once

#include "Shell/Recording/QtGIFRecordingWindows.h"
#include "ZelvorApp/Control/GIFRecordingCoordinator.h"
#include "ZelvorApp/Recording/GIFRecorder.h"

#include <memory>

namespace brisklet {

class AppModel;
class BackgroundRenderer;
class Clock;
class DisplayServer;
class ExportService;
class GIFAnnotationFrameRenderer;
class GIFEncoder;
class LocalizationStore;
class MainQueue;
class MouseTrackingService;
class ScreenCaptureBackend;
class ScreenFrameStream;
class SerialQueue;

/// The application's GIF recordings: the recorder on the desktop's capture backends, the
/// windows around the region and the way from the draft to the file.
class QtGIFSession {
public:
    struct Backends {
        ScreenCaptureBackend& capture;
        ScreenFrameStream& stream;
        MouseTrackingService& mouse;
        GIFEncoder& encoder;
        SerialQueue& captureQueue;
        SerialQueue& exportQueue;
    };
    struct Services {
        MainQueue& mainQueue;
        const Clock& clock;
        ExportService& exportService;
        const DisplayServer& displays;
        const LocalizationStore& localization;
        AppModel& model;
        const GIFAnnotationFrameRenderer& annotationRenderer;
        const BackgroundRenderer* backgroundRenderer = nullptr;
    };

    /// `hooks` reach the controller; `actions` are the control bar's buttons (the controller's
    /// pause, resume, stop and cancel, so its state follows).
    QtGIFSession(Backends backends, Services services, GIFRecordingCoordinator::Hooks hooks,
                 GIFControlBarWindow::Actions actions);

    CaptureSessionPort& port() { return coordinator_; }
    GIFRecordingCoordinator& coordinator() { return coordinator_; }
    QtGIFRecordingWindows& windows() { return windows_; }

private:
    GIFRecorder recorder_;
    QtGIFRecordingWindows windows_;
    GIFRecordingCoordinator coordinator_;
};

} // namespace brisklet
