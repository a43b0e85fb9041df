#include "ZelvorApp/Hotkeys/HotkeyDesktopText.h"

#include "ZelvorApp/Editor/EditorHotkeyAction.h"
#include "ZelvorCore/Models/HotkeyConfiguration.h"

#include <array>
#include <string_view>
#include <utility>

namespace brisklet {

std::string HotkeyDesktopText::keyName(const std::string& token) {
    static constexpr std::array<std::pair<std::string_view, std::string_view>, 14> names{{
        {"SPACE", "Space"},
        {"TAB", "Tab"},
        {"RETURN", "Return"},
        {"ENTER", "Return"},
        {"DELETE", "Backspace"},
        {"FORWARD_DELETE", "Delete"},
        {"ESC", "Esc"},
        {"UP", "Up"},
        {"DOWN", "Down"},
        {"LEFT", "Left"},
        {"RIGHT", "Right"},
        {"PRINT", "Print"},
        {"`", "`"},
        {"\\", "\\"},
    }};
    for (const auto& [stored, shown] : names) {
        if (stored == token) {
            return std::string(shown);
        }
    }
    return token;
}

std::string HotkeyDesktopText::text(const HotkeyConfiguration& configuration) {
    const std::string token = normalizedHotkeyToken(configuration.key);
    if (token.empty()) {
        return {};
    }
    std::string text;
    const HotkeyModifiers& modifiers = configuration.modifiers;
    if (modifiers.contains(HotkeyModifiers::command)) {
        text += "Ctrl+";
    }
    if (modifiers.contains(HotkeyModifiers::option)) {
        text += "Alt+";
    }
    if (modifiers.contains(HotkeyModifiers::shift)) {
        text += "Shift+";
    }
    if (modifiers.contains(HotkeyModifiers::control)) {
        text += "Super+";
    }
    return text + keyName(token);
}

} // namespace brisklet
