#include "ZelvorApp/Control/AppDelegate.h"

#include "ZelvorApp/Control/AppController.h"
#include "ZelvorApp/Control/Ports/ApplicationHost.h"
#include "ZelvorApp/Infrastructure/RuntimeLogger.h"

#include <cstdlib>
#include <string_view>

namespace brisklet {

namespace {

std::optional<bool> boolVariable(const char* name) {
    const char* value = std::getenv(name);
    if (!value || !*value) {
        return std::nullopt;
    }
    const std::string_view text(value);
    return text == "1" || text == "true" || text == "TRUE" || text == "yes";
}

} // namespace

AppDebugSwitches AppDebugSwitches::fromEnvironment() {
    AppDebugSwitches switches;
    switches.regularMode = boolVariable("BRISKLET_DEBUG_REGULAR_MODE");
    switches.legacyRegularMode = boolVariable("ZELVOR_DEBUG_REGULAR_MODE");
    const auto bypass = boolVariable("BRISKLET_DEBUG_BYPASS_SCREEN_RECORDING_PERMISSION");
    switches.bypassScreenRecordingPermission =
        bypass ? *bypass : boolVariable("ZELVOR_DEBUG_BYPASS_SCREEN_RECORDING_PERMISSION").value_or(false);
    return switches;
}

AppDelegate::AppDelegate(ApplicationHost& host, AppDebugSwitches switches, ControllerFactory makeController)
    : host_(host), switches_(switches), makeController_(std::move(makeController)) {}

AppDelegate::~AppDelegate() = default;

bool AppDelegate::isDuplicateInstance() const {
    const auto executable = host_.currentExecutable();
    if (!executable) {
        return false;
    }
    // Commands of the same executable (and instances on other displays) are not duplicates:
    // only another application instance in this desktop session is.
    const std::int32_t self = host_.currentProcessIdentifier();
    const auto session = host_.currentSession();
    for (const RunningProcess& process : host_.runningProcesses()) {
        if (process.processIdentifier != self && process.runsApplication && process.executable &&
            *process.executable == *executable && process.session == session) {
            return true;
        }
    }
    return false;
}

bool AppDelegate::applicationDidFinishLaunching() {
    RuntimeLogger::log("applicationDidFinishLaunching begin");
    if (isDuplicateInstance()) {
        RuntimeLogger::log("duplicate instance detected; terminating current process");
        terminated_ = true;
        host_.terminate();
        return false;
    }
    RuntimeLogger::log(host_.loadApplicationIcon() ? "loaded app icon" : "failed to load app icon resource");
    const bool regular = switches_.regularMode ? *switches_.regularMode : switches_.legacyRegularMode.value_or(false);
    host_.setActivationPolicy(regular ? ActivationPolicy::regular : ActivationPolicy::accessory);
    RuntimeLogger::log(std::string("set activation policy to ") + (regular ? "regular" : "accessory"));
    controller_ = makeController_();
    controller_->start();
    if (switches_.bypassScreenRecordingPermission) {
        debugAutomationEnabled_ = true;
        RuntimeLogger::log("debug automation enabled notifications registered");
    }
    RuntimeLogger::log("applicationDidFinishLaunching complete; log file: " + RuntimeLogger::fileURL().string());
    return true;
}

void AppDelegate::applicationWillTerminate() {
    if (!controller_) {
        return;
    }
    RuntimeLogger::log("applicationWillTerminate");
    debugAutomationEnabled_ = false;
    controller_->tearDown();
}

bool AppDelegate::handleDebugNotification(const std::string& name) {
    if (!debugAutomationEnabled_ || !controller_) {
        RuntimeLogger::log("debug notification ignored name=" + name);
        return false;
    }
    if (name == debugStartScreenshot) {
        controller_->startScreenshot(ScreenshotEditorInitialInteractionMode::normal, controller_->preferredToolbar());
    } else if (name == debugOpenSettings) {
        controller_->openSettings();
    } else if (name == debugStartLongshot) {
        controller_->startLongshot();
    } else {
        return false;
    }
    return true;
}

} // namespace brisklet
