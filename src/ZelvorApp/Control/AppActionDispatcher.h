#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace brisklet {

class AppController;
class ApplicationHost;

/// The actions a running instance accepts by name (from `brisklet action NAME` or a desktop
/// shortcut): every hotkey action, plus the commands that have no hotkey.
struct AppActionDispatcher {
    /// Every accepted name, hotkey actions first.
    static std::vector<std::string> actionNames();
    /// Runs the action; false when the name is unknown.
    static bool dispatch(std::string_view name, AppController& controller, ApplicationHost& host);
};

} // namespace brisklet
