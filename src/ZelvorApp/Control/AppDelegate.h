#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace brisklet {

class AppController;
class ApplicationHost;

/// Switches read from the environment of a development run (never set by an installed
/// package): the debug regular mode and the screen-recording bypass, each under its current
/// and its older name.
struct AppDebugSwitches {
    std::optional<bool> regularMode;
    std::optional<bool> legacyRegularMode;
    bool bypassScreenRecordingPermission = false;

    /// BRISKLET_DEBUG_REGULAR_MODE / ZELVOR_DEBUG_REGULAR_MODE and the bypass variables.
    static AppDebugSwitches fromEnvironment();
};

/// Starts and ends the application: refuses a second copy of the same executable, chooses how
/// it shows itself, creates the one controller and hands it debug automation requests.
class AppDelegate {
public:
    inline static constexpr const char* debugStartScreenshot = "com.quillmoth.brisklet.debug.startScreenshot";
    inline static constexpr const char* debugStartLongshot = "com.quillmoth.brisklet.debug.startLongshot";
    inline static constexpr const char* debugOpenSettings = "com.quillmoth.brisklet.debug.openSettings";
    inline static constexpr const char* activityReason = "Brisklet menu bar session";

    using ControllerFactory = std::function<std::unique_ptr<AppController>()>;

    AppDelegate(ApplicationHost& host, AppDebugSwitches switches, ControllerFactory makeController);
    ~AppDelegate();

    /// Returns false when this launch is a duplicate and the application is to end.
    bool applicationDidFinishLaunching();
    void applicationWillTerminate();
    /// A debug automation request; honoured only while the bypass switch is on. Returns whether
    /// it was acted upon.
    bool handleDebugNotification(const std::string& name);

    AppController* controller() const { return controller_.get(); }
    bool isDuplicateInstance() const;

private:
    ApplicationHost& host_;
    AppDebugSwitches switches_;
    ControllerFactory makeController_;
    std::unique_ptr<AppController> controller_;
    bool debugAutomationEnabled_ = false;
    bool terminated_ = false;
};

} // namespace brisklet
