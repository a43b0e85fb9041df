#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace brisklet {

/// Hotkey tokens as X keysyms: letters by their lower-case keysym, "DELETE" = BackSpace,
/// "FORWARD_DELETE" = Delete, "RETURN"/"ENTER" = Return, "PRINT" = Print.
struct X11KeyTokens {
    static std::optional<std::uint32_t> keysym(std::string_view token);
    /// The token a pressed key stands for (its unshifted keysym); the brightness and launcher
    /// keys of the top row stand for F1–F4.
    static std::optional<std::string> token(std::uint32_t keysym);
    /// Shift, Control, Alt, Super, Hyper, Meta and the level-shift keys.
    static bool isModifierKeysym(std::uint32_t keysym);
};

} // namespace brisklet
