#pragma once

#include "ZelvorCore/Foundation/Json.h"

#include <string>

namespace brisklet {

/// Modifier bit set; the raw values are what stored documents hold.
struct HotkeyModifiers {
    static constexpr int command = 1;
    static constexpr int shift = 2;
    static constexpr int option = 4;
    static constexpr int control = 8;

    int rawValue = 0;

    bool contains(int bit) const { return (rawValue & bit) == bit; }
    /// "⌃⌥⇧⌘" in that order, each only when present.
    std::string displayValue() const;

    bool operator==(const HotkeyModifiers&) const = default;
};

/// A key token ("4", "A", "SPACE", "F13", ...) plus modifiers.
struct HotkeyConfiguration {
    std::string key;
    HotkeyModifiers modifiers;

    /// Modifier symbols followed by the key trimmed and upper-cased, e.g. "⌥⌘4".
    std::string displayValue() const;

    bool operator==(const HotkeyConfiguration&) const = default;
};

void read(const Json& j, HotkeyConfiguration& out);
Json write(const HotkeyConfiguration& value);

} // namespace brisklet
