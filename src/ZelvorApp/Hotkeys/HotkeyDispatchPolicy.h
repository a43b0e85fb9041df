#pragma once

namespace brisklet {

/// Which of our windows has the keyboard when a global hotkey arrives.
struct KeyWindowSnapshot {
    enum class Window { none, visualLibrary, statusPopover, dragRecoveryPanel, settings, other };
    enum class FocusedText { none, editable, readOnly, readOnlyField };

    /// Whether one of our windows is the active window of the desktop.
    bool applicationActive = false;
    Window keyWindow = Window::none;
    FocusedText focusedText = FocusedText::none;
};

/// Whether a global hotkey may start its action now. Grabbed keys reach us even while our own
/// windows are focused, so typing in a text field or recording a combination in settings must
/// not start a capture.
struct HotkeyDispatchPolicy {
    static bool shouldDispatchHotkey(const KeyWindowSnapshot& snapshot);
};

} // namespace brisklet
