#include "ZelvorApp/Infrastructure/PermissionService.h"

#include "Platform/DisplayServer.h"
#include "Platform/ScreenCaptureBackend.h"
#include "ZelvorApp/Infrastructure/RuntimeLogger.h"
#include "ZelvorCore/Foundation/Uuid.h"

#include <algorithm>

namespace brisklet {

namespace {

std::string boolText(bool value) {
    return value ? "true" : "false";
}

/// The primary screen, else the first one the display server lists.
const DisplayScreen* mainScreen(const std::vector<DisplayScreen>& screens) {
    const auto primary =
        std::find_if(screens.begin(), screens.end(), [](const DisplayScreen& screen) { return screen.isPrimary; });
    if (primary != screens.end()) {
        return &*primary;
    }
    return screens.empty() ? nullptr : &screens.front();
}

/// The probe's rectangle in the tool's space: top-left origin at the top-left of the whole desktop.
Rect probeRect(const DisplayScreen& main, const std::vector<DisplayScreen>& screens) {
    double left = main.frame.minX();
    double top = main.frame.maxY();
    for (const DisplayScreen& screen : screens) {
        left = std::min(left, screen.frame.minX());
        top = std::max(top, screen.frame.maxY());
    }
    const double side = PermissionService::probeSidePixels;
    return Rect{{main.frame.minX() - left, top - main.frame.maxY()}, {side, side}};
}

} // namespace

PermissionService::PermissionService(PrivacyPermissions& platform, const DisplayServer& displays, ScreenshotTool& tool,
                                     std::filesystem::path temporaryDirectory, bool debugBypass)
    : platform_(platform), displays_(displays), tool_(tool), temporaryDirectory_(std::move(temporaryDirectory)),
      debugBypass_(debugBypass) {}

std::string PermissionService::bundlePathText() const {
    return platform_.bundlePath().string();
}

PermissionService::ScreenAccess PermissionService::checkScreenRecordingAccess() {
    if (platform_.screenCapturePreflight()) {
        RuntimeLogger::log("hasScreenRecordingAccess=true via preflight bundlePath=" + bundlePathText());
        return ScreenAccess::preflight;
    }
    if (debugBypass_) {
        RuntimeLogger::log("hasScreenRecordingAccess=true via debugBypass bundlePath=" + bundlePathText());
        return ScreenAccess::debugBypass;
    }
    RuntimeLogger::log("hasScreenRecordingAccess=false bundlePath=" + bundlePathText());
    return ScreenAccess::denied;
}

bool PermissionService::hasScreenRecordingAccess() {
    return checkScreenRecordingAccess() != ScreenAccess::denied;
}

bool PermissionService::hasActualScreenRecordingAccess() {
    const bool granted = platform_.screenCapturePreflight();
    RuntimeLogger::log("hasActualScreenRecordingAccess=" + boolText(granted) + " bundlePath=" + bundlePathText());
    return granted;
}

bool PermissionService::requestScreenRecordingAccess() {
    switch (checkScreenRecordingAccess()) {
    case ScreenAccess::preflight:
        return true;
    case ScreenAccess::debugBypass:
        RuntimeLogger::log("requestScreenRecordingAccess short-circuited via debugBypass");
        return true;
    case ScreenAccess::denied:
        break;
    }
    runRegistrationProbe();
    const bool granted = platform_.requestScreenCapture();
    RuntimeLogger::log("requestScreenRecordingAccess result=" + boolText(granted));
    return granted;
}

bool PermissionService::requestActualScreenRecordingAccess() {
    if (hasActualScreenRecordingAccess()) {
        return true;
    }
    runRegistrationProbe();
    const bool granted = platform_.requestScreenCapture();
    RuntimeLogger::log("requestActualScreenRecordingAccess result=" + boolText(granted));
    return granted;
}

bool PermissionService::isAccessibilityTrusted() const {
    return platform_.isAccessibilityTrusted();
}

bool PermissionService::requestAccessibilityAccess() {
    if (platform_.isAccessibilityTrusted()) {
        return true;
    }
    const bool granted = platform_.requestAccessibilityTrust();
    RuntimeLogger::log("requestAccessibilityAccess result=" + boolText(granted));
    return granted;
}

bool PermissionService::requestAccess(AppPermission permission) {
    switch (permission) {
    case AppPermission::accessibility:
        return requestAccessibilityAccess();
    case AppPermission::screenRecording:
        break;
    }
    return requestActualScreenRecordingAccess();
}

bool PermissionService::isAppTranslocated() {
    const std::string path = bundlePathText();
    const bool translocated = path.find("/AppTranslocation/") != std::string::npos;
    RuntimeLogger::log("isAppTranslocated=" + boolText(translocated) + " bundlePath=" + path);
    return translocated;
}

void PermissionService::openPrivacySettings(AppPermission permission) {
    RuntimeLogger::log("openPrivacySettings permission=" + std::string(toString(permission)));
    if (!platform_.openPrivacySettings(permission)) {
        // Desktops without a settings tool we know leave the user with the guidance text alone.
        RuntimeLogger::log("openPrivacySettings failed reason=noSettingsApplication");
    }
}

void PermissionService::openPrivacySettings() {
    openPrivacySettings(AppPermission::screenRecording);
}

void PermissionService::runRegistrationProbe() {
    const std::vector<DisplayScreen> screens = displays_.screens();
    const DisplayScreen* main = mainScreen(screens);
    if (!main) {
        RuntimeLogger::log("screenRecordingRegistrationProbe skipped reason=noDisplay");
        return;
    }
    const std::filesystem::path file = temporaryDirectory_ / (Uuid::generate().toString() + ".png");
    const ScreenshotToolRun run = tool_.captureRectangle(probeRect(*main, screens), file, probeTimeoutSeconds);
    std::error_code error;
    if (run.launched) {
        RuntimeLogger::log("screenRecordingRegistrationProbe imageCreated=" +
                           boolText(std::filesystem::exists(file, error)));
    } else {
        RuntimeLogger::log("screenRecordingRegistrationProbe failed error=" + run.launchError);
    }
    // A failed or killed tool may still have left a partial file.
    std::filesystem::remove(file, error);
}

AppPermissionSnapshot PermissionService::snapshot() {
    return AppPermissionSnapshot{platform_.screenCapturePreflight() || debugBypass_,
                                 platform_.isAccessibilityTrusted()};
}

} // namespace brisklet
