#pragma once

#include <functional>

namespace brisklet {

class AppModel;
struct AppEnvironment;

/// The two checks every capture passes before it starts: screen-capture permission (asking for
/// it in front when missing) and that nothing else is capturing.
class CaptureGates {
public:
    static constexpr double permissionRequestWaitSeconds = 0.6;

    /// `isVideoRecordingActive` tells whether a video recording runs now.
    CaptureGates(AppEnvironment& environment, AppModel& model, std::function<bool()> isVideoRecordingActive);

    /// True when screen capture is allowed, after asking for it when needed; false leaves the
    /// state at `permissionRequired` with the guidance alert shown.
    bool ensurePermission();
    /// True when no video recording runs and no selection overlay is open.
    bool canStartCaptureAction() const;
    bool hasActiveSelection() const;

private:
    void showTranslocationAlert();
    void showPermissionRequiredAlert();

    AppEnvironment& env_;
    AppModel& model_;
    std::function<bool()> isVideoRecordingActive_;
};

} // namespace brisklet
