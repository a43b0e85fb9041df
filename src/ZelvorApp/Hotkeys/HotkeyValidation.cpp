#include "ZelvorApp/Hotkeys/HotkeyValidation.h"

#include "ZelvorApp/Hotkeys/GlobalHotkeyTable.h"
#include "ZelvorCore/Models/AppPreferences.h"

namespace brisklet {

namespace {

bool sameCombination(const HotkeyConfiguration& a, const HotkeyConfiguration& b) {
    return normalizedHotkeyToken(a.key) == normalizedHotkeyToken(b.key) && a.modifiers == b.modifiers;
}

template <typename Action, typename Lookup>
std::optional<Action> firstConflict(Action action, const HotkeyConfiguration& proposed, Lookup lookup) {
    if (normalizedHotkeyToken(proposed.key).empty()) {
        return std::nullopt;
    }
    for (const auto other : allCases<Action>()) {
        if (other != action && sameCombination(lookup(other), proposed)) {
            return other;
        }
    }
    return std::nullopt;
}

} // namespace

std::optional<GlobalHotkeyAction> HotkeyValidation::conflictingAction(GlobalHotkeyAction action,
                                                                       const HotkeyConfiguration& proposed,
                                                                       const AppPreferences& preferences) {
    return GlobalHotkeyTable::actionFor(proposed, preferences, action);
}

std::optional<EditorHotkeyAction> HotkeyValidation::conflictingAction(EditorHotkeyAction action,
                                                                      const HotkeyConfiguration& proposed,
                                                                      const AppPreferences& preferences) {
    return firstConflict(action, proposed, [&](EditorHotkeyAction other) -> const HotkeyConfiguration& {
        return editorHotkeyConfiguration(other, preferences);
    });
}

} // namespace brisklet
