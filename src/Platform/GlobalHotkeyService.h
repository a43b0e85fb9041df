#pragma once

#include "ZelvorCore/Models/HotkeyConfiguration.h"

#include <cstdint>
#include <functional>
#include <string>

namespace brisklet {

/// Who a registration belongs to: a four-character signature ("ZLVT") and a number.
struct GlobalHotkeyIdentifier {
    std::uint32_t signature = 0;
    std::uint32_t id = 0;

    static constexpr std::uint32_t fourCharacterCode(const char (&code)[5]) {
        return (static_cast<std::uint32_t>(static_cast<unsigned char>(code[0])) << 24) |
               (static_cast<std::uint32_t>(static_cast<unsigned char>(code[1])) << 16) |
               (static_cast<std::uint32_t>(static_cast<unsigned char>(code[2])) << 8) |
               static_cast<std::uint32_t>(static_cast<unsigned char>(code[3]));
    }
    bool operator==(const GlobalHotkeyIdentifier&) const = default;
};

/// Key combinations that reach the application whichever window has the keyboard.
class GlobalHotkeyService {
public:
    /// Status numbers: 0 is success, positive numbers are the display server's own error codes
    /// (10, BadAccess, means another client holds the combination), negative ones are ours.
    static constexpr int statusOK = 0;
    static constexpr int statusEventNotHandled = -9874;
    static constexpr int statusKeyNotOnKeyboard = -1;
    static constexpr int statusNoDisplay = -2;
    static constexpr int statusUnknownToken = -3;

    using Registration = std::uint64_t;
    struct RegisterResult {
        int status = statusOK;
        /// Present exactly when `status` is `statusOK`.
        Registration registration = 0;
    };
    /// Returns `statusOK` when it handled the press, `statusEventNotHandled` to let the next
    /// handler see it.
    using Handler = std::function<int(GlobalHotkeyIdentifier)>;
    using HandlerToken = int;

    virtual ~GlobalHotkeyService() = default;

    /// Handlers are asked in the order they were installed. Returns 0 on failure.
    virtual HandlerToken installHandler(Handler handler) = 0;
    virtual void removeHandler(HandlerToken token) = 0;
    /// `token` is a key token of the hotkey vocabulary ("4", "A", "F13", "PRINT", ...).
    virtual RegisterResult registerHotkey(const std::string& token, HotkeyModifiers modifiers,
                                          GlobalHotkeyIdentifier identifier) = 0;
    virtual void unregisterHotkey(Registration registration) = 0;
};

} // namespace brisklet
