#pragma once

#include "ZelvorApp/Editor/EditorHotkeyAction.h"
#include "ZelvorCore/Models/GlobalHotkeyAction.h"

#include <optional>

namespace brisklet {

struct AppPreferences;
struct HotkeyConfiguration;

/// The rules the settings window applies before it accepts a new combination.
struct HotkeyValidation {
    /// The first other global action (in declaration order) that already uses `proposed`.
    static std::optional<GlobalHotkeyAction> conflictingAction(GlobalHotkeyAction action,
                                                               const HotkeyConfiguration& proposed,
                                                               const AppPreferences& preferences);
    /// The same among the editor's own shortcuts.
    static std::optional<EditorHotkeyAction> conflictingAction(EditorHotkeyAction action,
                                                               const HotkeyConfiguration& proposed,
                                                               const AppPreferences& preferences);
    /// The modifier keys themselves (virtual codes 54–63) are never the key of a combination.
    static bool isModifierOnlyKeyCode(int keyCode) { return keyCode >= 54 && keyCode < 64; }
};

} // namespace brisklet
