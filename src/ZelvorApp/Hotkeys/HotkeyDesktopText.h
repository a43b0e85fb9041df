#pragma once

#include <string>

namespace brisklet {

struct HotkeyConfiguration;

/// A combination the way Linux desktops write it: "Ctrl+Alt+4", "Super+Shift+F13", "Print".
/// Stored modifier bits map command → Ctrl, option → Alt, shift → Shift, control → Super.
struct HotkeyDesktopText {
    /// Empty when the key is empty.
    static std::string text(const HotkeyConfiguration& configuration);
    /// The key alone: letters and digits as they are, named keys in their desktop spelling.
    static std::string keyName(const std::string& token);
};

} // namespace brisklet
