#pragma once

#include "ZelvorApp/Settings/HotkeyRecordTarget.h"

#include <optional>
#include <string>
#include <vector>

namespace brisklet {

/// One entry of a choice control, its text in the current language.
struct SettingsChoice {
    std::string text;
    int value = 0;
};

/// One control of a settings card as the window draws it; its value lives in the view model.
struct SettingsControl {
    enum class Kind {
        toggle, ///< on/off, value 0 or 1
        choice, ///< one of `choices`
        hotkey, ///< a combination recorded with the keyboard
        path,   ///< a directory typed or chosen
        button, ///< runs an action
        status, ///< text that says how things are
        progress, ///< a bar: value 0...1000, or below 0 while the amount is unknown
    };
    /// Unique and stable ("selection.crosshair"); the window names its widget after it.
    std::string id;
    Kind kind = Kind::status;
    std::string label;
    /// A longer explanation under the control, or empty.
    std::string detail;
    std::vector<SettingsChoice> choices;
    bool enabled = true;
    /// Why the control is disabled, when it is.
    std::string disabledReason;
    /// Starts a new group of controls with this heading (the hotkeys' scopes).
    std::string groupTitle;
    std::optional<HotkeyRecordTarget> hotkey;
    /// What an empty text field shows.
    std::string placeholder;
    /// The symbol of a button's icon ("folder", "trash", ...), or empty.
    std::string symbol;
    /// A button drawn at the end of the row before it rather than on a row of its own.
    bool inlineWithPrevious = false;
    /// Not shown now (an action that does not apply yet, a bar with nothing to measure).
    bool hidden = false;
};

} // namespace brisklet
