#pragma once

#include "ZelvorCore/Models/GlobalHotkeyAction.h"

#include <optional>
#include <set>

namespace brisklet {

struct AppPreferences;

/// The global hotkeys as the controller uses them.
class HotkeyManagerPort {
public:
    virtual ~HotkeyManagerPort() = default;
    /// Registers the combinations of `preferences` anew.
    virtual void reload(const AppPreferences& preferences) = 0;
    /// Suspends every hotkey except `allowed`, which stay registered.
    virtual void suspend(const std::set<GlobalHotkeyAction>& allowed) = 0;
    virtual void resume() = 0;
    /// Whether the Escape key closing pinned screenshots is to be grabbed now.
    virtual void setPinnedScreenshotEscapeHotkeyActive(bool active) = 0;
    virtual void unregisterAll() = 0;
    /// The display server's status when the action's combination could not be registered at the
    /// last reload (10: another application holds it), or nothing.
    virtual std::optional<int> registrationFailure(GlobalHotkeyAction) const { return std::nullopt; }
};

} // namespace brisklet
