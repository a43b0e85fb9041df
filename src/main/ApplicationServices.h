#pragma once

#include "Platform/Clock.h"
#include "Platform/Linux/Codec/LinuxImageCodec.h"
#include "Platform/Linux/Qt/QtMainQueue.h"
#include "ZelvorApp/Control/AppEnvironment.h"
#include "ZelvorApp/Control/AppModel.h"

#include <memory>

namespace brisklet {

class CommandSession;
class GIFEncoder;
class MouseTrackingService;
class ScreenCaptureBackend;
class ScreenFrameStream;
class SerialQueue;

/// What a GIF recording captures, tracks and encodes with.
struct GIFRecordingBackends {
    ScreenCaptureBackend& capture;
    ScreenFrameStream& stream;
    MouseTrackingService& mouse;
    GIFEncoder& encoder;
    SerialQueue& captureQueue;
    SerialQueue& exportQueue;
};

/// Every real service of the running application, built once, in dependency order, from the
/// session's directories and the X display. Destroyed in reverse order after the controller.
class ApplicationServices {
public:
    ApplicationServices(CommandSession& session, const std::string& displayName, bool debugBypass);
    ~ApplicationServices();
    ApplicationServices(const ApplicationServices&) = delete;
    ApplicationServices& operator=(const ApplicationServices&) = delete;

    /// Whether the X display could be opened (nothing works without it).
    bool isConnected() const;
    AppModel& model() { return model_; }
    MainQueue& mainQueue() { return mainQueue_; }
    AppServices services();
    GIFRecordingBackends gifRecording();

private:
    struct Parts;

    QtMainQueue mainQueue_;
    SystemClock clock_;
    LinuxImageCodec codec_;
    AppModel model_;
    std::unique_ptr<Parts> parts_;
};

} // namespace brisklet
