#pragma once

#include "ZelvorApp/Hotkeys/HotkeyDispatchPolicy.h"

namespace brisklet {

/// Which of our windows has the keyboard, read from Qt. Windows name their role in the
/// "briskletWindowRole" property ("settings", "visualLibrary", "statusPopover", ...).
struct QtKeyWindow {
    static KeyWindowSnapshot snapshot();
};

} // namespace brisklet
