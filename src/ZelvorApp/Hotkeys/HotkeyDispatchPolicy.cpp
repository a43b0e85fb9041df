#include "ZelvorApp/Hotkeys/HotkeyDispatchPolicy.h"

namespace brisklet {

bool HotkeyDispatchPolicy::shouldDispatchHotkey(const KeyWindowSnapshot& snapshot) {
    using Window = KeyWindowSnapshot::Window;
    using FocusedText = KeyWindowSnapshot::FocusedText;
    if (!snapshot.applicationActive || snapshot.keyWindow == Window::none) {
        return true;
    }
    switch (snapshot.keyWindow) {
    case Window::visualLibrary:
    case Window::statusPopover:
    case Window::dragRecoveryPanel:
        return true;
    case Window::settings:
        return false;
    case Window::none:
    case Window::other:
        break;
    }
    switch (snapshot.focusedText) {
    case FocusedText::editable:
    case FocusedText::readOnlyField:
        return false;
    case FocusedText::readOnly:
    case FocusedText::none:
        return true;
    }
    return true;
}

} // namespace brisklet
