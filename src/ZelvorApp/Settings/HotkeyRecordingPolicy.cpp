#include "ZelvorApp/Settings/HotkeyRecordingPolicy.h"

#include "ZelvorApp/Hotkeys/HotkeyValidation.h"
#include "ZelvorCore/Models/AppPreferences.h"

#include <cctype>

namespace brisklet {

bool HotkeyRecordingPolicy::mayStandAlone(const std::string& token) {
    if (token == "PRINT") {
        return true;
    }
    return token.size() >= 2 && token[0] == 'F' && std::isdigit(static_cast<unsigned char>(token[1]));
}

HotkeyRecordingOutcome HotkeyRecordingPolicy::evaluate(const HotkeyRecordTarget& target, const RawKeyEvent& key,
                                                       const AppPreferences& preferences) {
    using Kind = HotkeyRecordingOutcome::Kind;
    HotkeyRecordingOutcome outcome;
    if (key.isModifierKey || !key.token || key.token->empty()) {
        outcome.kind = Kind::refusedModifierOnly;
        return outcome;
    }
    outcome.combination = HotkeyConfiguration{*key.token, key.modifiers};
    if (*key.token == "ESC" && key.modifiers.rawValue == 0) {
        outcome.kind = Kind::cancelled;
        return outcome;
    }
    if (key.modifiers.rawValue == 0 && !mayStandAlone(*key.token)) {
        outcome.kind = Kind::refusedModifierRequired;
        return outcome;
    }
    if (const auto* global = std::get_if<GlobalHotkeyAction>(&target)) {
        if (const auto other = HotkeyValidation::conflictingAction(*global, outcome.combination, preferences)) {
            outcome.conflict = *other;
        }
    } else if (const auto* editor = std::get_if<EditorHotkeyAction>(&target)) {
        if (const auto other = HotkeyValidation::conflictingAction(*editor, outcome.combination, preferences)) {
            outcome.conflict = *other;
        }
    }
    outcome.kind = outcome.conflict ? Kind::refusedConflict : Kind::accepted;
    return outcome;
}

} // namespace brisklet
