#pragma once

#include "ZelvorCore/Foundation/EnumTable.h"
#include "ZelvorCore/Models/HotkeyConfiguration.h"

#include <optional>
#include <string>
#include <string_view>

namespace brisklet {

struct AppPreferences;

/// The configurable shortcuts that work while the editor is open.
enum class EditorHotkeyAction { pin, copy, save, ocr, translate };

template <> struct EnumTraits<EditorHotkeyAction> {
    static constexpr std::array<std::pair<EditorHotkeyAction, std::string_view>, 5> names{{
        {EditorHotkeyAction::pin, "pin"},
        {EditorHotkeyAction::copy, "copy"},
        {EditorHotkeyAction::save, "save"},
        {EditorHotkeyAction::ocr, "ocr"},
        {EditorHotkeyAction::translate, "translate"},
    }};
};

/// A key press in the editor window: the key as a hotkey token ("A"–"Z", "0"–"9", "ESC",
/// "RETURN", "DELETE", "FORWARD_DELETE", "SPACE", "F1"…) and the modifiers held. The window maps
/// its toolkit's keys to these tokens; the primary shortcut modifier is `command`.
struct EditorKeyEvent {
    std::string token;
    HotkeyModifiers modifiers;
    bool operator==(const EditorKeyEvent&) const = default;
};

/// The combination the preferences hold for `action`.
const HotkeyConfiguration& editorHotkeyConfiguration(EditorHotkeyAction action, const AppPreferences& preferences);

/// A stored key trimmed of white space and upper-cased, the way combinations are compared.
std::string normalizedHotkeyToken(std::string_view key);

/// The editor action whose combination is exactly this key with exactly these modifiers.
std::optional<EditorHotkeyAction> matchEditorHotkey(const EditorKeyEvent& event, const AppPreferences& preferences);

} // namespace brisklet
