#pragma once

#include "ZelvorCore/Models/HotkeyConfiguration.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace brisklet {

/// One key going down or up while the whole keyboard is ours.
struct RawKeyEvent {
    enum class Type { keyDown, keyUp };
    Type type = Type::keyDown;
    /// The key as a hotkey token, when it is one ("F13", "4", ...).
    std::optional<std::string> token;
    /// Command, option, control and shift held with it.
    HotkeyModifiers modifiers;
    /// Shift, Control, Alt, Super and the like, pressed on their own.
    bool isModifierKey = false;
    /// The display server's own key number, for the log.
    std::uint32_t keyCode = 0;
};

/// Takes every key press for a while, before the desktop's own shortcuts see it: a settings
/// window recording a new combination must receive even the combinations the desktop would take.
class KeyboardGrab {
public:
    /// Returns true when the press is used (on X11 every key is ours while grabbed).
    using Listener = std::function<bool(const RawKeyEvent&)>;

    virtual ~KeyboardGrab() = default;
    /// False when the keyboard cannot be taken (another program holds it).
    virtual bool grabKeyboard(Listener listener) = 0;
    virtual void ungrabKeyboard() = 0;
};

} // namespace brisklet
