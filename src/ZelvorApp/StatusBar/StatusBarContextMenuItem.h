#pragma once

#include <optional>
#include <string>
#include <vector>

namespace brisklet {

enum class StatusBarContextMenuAction {
    startScreenshot,
    startFloatingScreenshot,
    startTextRecognitionScreenshot,
    startTranslateScreenshot,
    startSuperScreenshot,
    startLongshot,
    startGIFRegion,
    startGIFWindow,
    stopActiveOperation,
    openVisualLibrary,
    openDefaultDirectory,
    openSettings,
    checkForUpdates,
    quit,
};

struct StatusBarContextMenuShortcut {
    /// The key as a menu would type it: a lower-case character, tab, space, or a function-key
    /// character (U+F704…U+F717) in UTF-8.
    std::string keyEquivalent;
    /// command 0x100000, shift 0x20000, option 0x80000, control 0x40000.
    int modifierMask = 0;
    /// The glyph form, "⌥⌘4".
    std::string displayValue;
    /// The desktop's form, "Ctrl+Alt+4", which the menu shows.
    std::string desktopText;
    bool operator==(const StatusBarContextMenuShortcut&) const = default;
};

struct StatusBarContextMenuItem {
    enum class State { off, on };

    std::string title;
    std::optional<StatusBarContextMenuAction> action;
    bool isEnabled = true;
    State state = State::off;
    std::optional<StatusBarContextMenuShortcut> shortcut;
    std::optional<std::string> iconName;
    std::vector<StatusBarContextMenuItem> children;
    bool isSeparator = false;

    static StatusBarContextMenuItem separator() {
        StatusBarContextMenuItem item;
        item.isSeparator = true;
        return item;
    }
    bool operator==(const StatusBarContextMenuItem&) const = default;
};

} // namespace brisklet
