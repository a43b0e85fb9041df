#pragma once

#include "Platform/KeyboardGrab.h"
#include "ZelvorApp/Settings/HotkeyRecordTarget.h"
#include "ZelvorCore/Models/HotkeyConfiguration.h"

#include <optional>

namespace brisklet {

struct AppPreferences;

/// What one key pressed while a hotkey field records becomes.
struct HotkeyRecordingOutcome {
    enum class Kind {
        accepted,
        /// Escape on its own ends the recording and keeps the old combination.
        cancelled,
        /// A modifier key on its own, or a key no hotkey can use: recording goes on.
        refusedModifierOnly,
        /// A letter or digit without Ctrl, Alt, Shift or Super would fire while typing.
        refusedModifierRequired,
        /// Another action of the same scope already has the combination; `conflict` names it.
        refusedConflict,
    };
    Kind kind = Kind::cancelled;
    HotkeyConfiguration combination;
    std::optional<HotkeyRecordTarget> conflict;
};

struct HotkeyRecordingPolicy {
    static HotkeyRecordingOutcome evaluate(const HotkeyRecordTarget& target, const RawKeyEvent& key,
                                           const AppPreferences& preferences);
    /// Function keys and Print are meant to be pressed alone; every other key needs a modifier.
    static bool mayStandAlone(const std::string& token);
};

} // namespace brisklet
