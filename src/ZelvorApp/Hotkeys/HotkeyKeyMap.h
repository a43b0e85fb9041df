#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace brisklet {

/// The key vocabulary of stored combinations. Tokens are what preferences hold ("A", "4",
/// "SPACE", "F13", "PRINT"); key codes are the US-ANSI virtual key numbers the stored documents
/// and the recording rules were written against. Backends translate tokens to their own keys.
struct HotkeyKeyMap {
    /// Every token, letters and digits first, in a fixed order.
    static const std::vector<std::string>& tokens();
    static bool isKnownToken(std::string_view token);
    /// The virtual key code of `token`; "PRINT" has none (it is not on that keyboard).
    static std::optional<int> keyCode(std::string_view token);
    /// The inverse of `keyCode`, plus the media keys of the top row, which stand for F1–F4.
    static std::optional<std::string> keyCodeToToken(int keyCode);
    /// "F1" … "F20" in order.
    static const std::vector<std::string>& recordableFunctionTokens();
    /// Typed characters as a token: a known token after upper-casing, a function-key character
    /// (U+F704…U+F717), DEL, carriage return or line feed, escape, tab or space.
    static std::optional<std::string> normalizeToken(std::string_view characters);
    /// The Escape key's code, which the pinned-screenshot hotkey grabs.
    static constexpr int escapeKeyCode = 53;
};

} // namespace brisklet
