#include "ZelvorApp/Control/AppActionDispatcher.h"

#include "ZelvorApp/Control/AppController.h"
#include "ZelvorApp/Control/Ports/ApplicationHost.h"
#include "ZelvorCore/Models/GlobalHotkeyAction.h"

namespace brisklet {

namespace {

constexpr std::string_view commandNames[] = {"openSettings",          "openVisualLibrary",     "stopActiveOperation",
                                             "quit",                  "reloadPreferences",     "superScreenshotWindow",
                                             "superScreenshotRegion", "checkForUpdates"};

} // namespace

std::vector<std::string> AppActionDispatcher::actionNames() {
    std::vector<std::string> names;
    for (const GlobalHotkeyAction action : allCases<GlobalHotkeyAction>()) {
        names.emplace_back(toString(action));
    }
    for (const std::string_view name : commandNames) {
        names.emplace_back(name);
    }
    return names;
}

bool AppActionDispatcher::dispatch(std::string_view name, AppController& controller, ApplicationHost& host) {
    if (const auto action = enumFromString<GlobalHotkeyAction>(name)) {
        // Desktop shortcuts stand in for our own hotkeys, so they follow the same rules.
        controller.handleHotkey(*action);
        return true;
    }
    if (name == "openSettings") {
        controller.openSettings();
    } else if (name == "openVisualLibrary") {
        controller.openVisualLibrary();
    } else if (name == "stopActiveOperation") {
        controller.stopActiveOperation();
    } else if (name == "quit") {
        host.terminate();
    } else if (name == "reloadPreferences") {
        controller.reloadPreferences();
    } else if (name == "superScreenshotWindow") {
        controller.startSuperScreenshotWindow();
    } else if (name == "superScreenshotRegion") {
        controller.startSuperScreenshotRegion();
    } else if (name == "checkForUpdates") {
        controller.checkForUpdates();
    } else {
        return false;
    }
    return true;
}

} // namespace brisklet
