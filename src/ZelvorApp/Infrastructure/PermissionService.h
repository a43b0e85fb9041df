#pragma once

#include "Platform/PrivacyPermissions.h"

#include <filesystem>
#include <string>

namespace brisklet {

class DisplayServer;
class ScreenshotTool;

/// Checks and requests the screen-capture and accessibility permissions, with a log line for
/// every decision. Main queue only.
class PermissionService {
public:
    /// The probe's capture: a few pixels in the main screen's top-left corner.
    static constexpr double probeSidePixels = 4;
    static constexpr double probeTimeoutSeconds = 5;

    /// `debugBypass` lets automated runs treat screen capture as allowed (see
    /// `debugBypassScreenRecordingPermission`); `temporaryDirectory` receives the probe's file.
    PermissionService(PrivacyPermissions& platform, const DisplayServer& displays, ScreenshotTool& tool,
                      std::filesystem::path temporaryDirectory, bool debugBypass);

    /// The platform's answer, or the debug bypass.
    bool hasScreenRecordingAccess();
    /// The platform's answer alone: video recording needs the real thing.
    bool hasActualScreenRecordingAccess();
    /// Asks the platform when neither the platform nor the bypass allows capture yet, after the
    /// registration probe.
    bool requestScreenRecordingAccess();
    /// Like `requestScreenRecordingAccess`, but the bypass does not count.
    bool requestActualScreenRecordingAccess();
    /// Asked often (every text pin); deliberately without a log line.
    bool isAccessibilityTrusted() const;
    bool requestAccessibilityAccess();
    /// Accessibility, or the actual screen-recording permission.
    bool requestAccess(AppPermission permission);
    /// Whether the application runs from a quarantined copy; never on this desktop, but the
    /// question stays so every flow keeps its branch.
    bool isAppTranslocated();
    void openPrivacySettings(AppPermission permission);
    /// The screen-recording settings.
    void openPrivacySettings();
    /// One silent capture of a small rectangle of the main screen, so a desktop that lists
    /// capturing applications lists us too. Its file is always deleted.
    void runRegistrationProbe();
    /// Both permissions as they are now (the bypass counts), without log lines.
    AppPermissionSnapshot snapshot();

private:
    enum class ScreenAccess { preflight, debugBypass, denied };
    /// The logged check behind `hasScreenRecordingAccess`, saying where a yes came from.
    ScreenAccess checkScreenRecordingAccess();
    std::string bundlePathText() const;

    PrivacyPermissions& platform_;
    const DisplayServer& displays_;
    ScreenshotTool& tool_;
    std::filesystem::path temporaryDirectory_;
    bool debugBypass_;
};

} // namespace brisklet
