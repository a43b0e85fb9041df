#pragma once

#include "ZelvorApp/Editor/EditorHotkeyAction.h"
#include "ZelvorApp/Infrastructure/L10nKey.h"
#include "ZelvorCore/Models/GlobalHotkeyAction.h"

#include <string>
#include <variant>
#include <vector>

namespace brisklet {

struct AppPreferences;
struct HotkeyConfiguration;

/// The selection overlay's one shortcut (select the whole screen).
struct SelectionFullScreenHotkey {
    bool operator==(const SelectionFullScreenHotkey&) const = default;
};

/// What a hotkey field of the settings window edits.
using HotkeyRecordTarget = std::variant<GlobalHotkeyAction, EditorHotkeyAction, SelectionFullScreenHotkey>;

/// The preference holding the target's combination.
HotkeyConfiguration& hotkeyConfiguration(const HotkeyRecordTarget& target, AppPreferences& preferences);
const HotkeyConfiguration& hotkeyConfiguration(const HotkeyRecordTarget& target, const AppPreferences& preferences);
/// The action's name as the hotkeys card shows it.
L10nKey hotkeyTargetTitleKey(const HotkeyRecordTarget& target);
/// "global.screenshot", "editor.copy", "selectionFullScreen".
std::string hotkeyTargetName(const HotkeyRecordTarget& target);
/// The global actions that have a field (every one), then the selection's, then the editor's.
const std::vector<HotkeyRecordTarget>& allHotkeyRecordTargets();

} // namespace brisklet
