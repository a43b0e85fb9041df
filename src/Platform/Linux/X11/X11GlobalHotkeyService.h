#pragma once

#include "Platform/GlobalHotkeyService.h"
#include "Platform/KeyboardGrab.h"

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <utility>
#include <string>
#include <vector>

struct xcb_connection_t;
struct _XCBKeySymbols;

namespace brisklet {

/// Global hotkeys as passive key grabs on the root window, on a connection of their own. Each
/// combination is grabbed once for every state of NumLock, CapsLock and ScrollLock, so a lit
/// lock key does not switch the hotkeys off; the grabs follow keyboard-mapping changes.
///
/// The owner watches `fileDescriptor()` and calls `processPendingEvents()` when it is readable;
/// every call that talks to the server also ends by handling what arrived meanwhile.
class X11GlobalHotkeyService final : public GlobalHotkeyService, public KeyboardGrab {
public:
    /// Empty `displayName`: $DISPLAY. Null when the display cannot be opened.
    static std::unique_ptr<X11GlobalHotkeyService> open(const std::string& displayName);
    ~X11GlobalHotkeyService() override;
    X11GlobalHotkeyService(const X11GlobalHotkeyService&) = delete;
    X11GlobalHotkeyService& operator=(const X11GlobalHotkeyService&) = delete;

    HandlerToken installHandler(Handler handler) override;
    void removeHandler(HandlerToken token) override;
    RegisterResult registerHotkey(const std::string& token, HotkeyModifiers modifiers,
                                  GlobalHotkeyIdentifier identifier) override;
    void unregisterHotkey(Registration registration) override;

    /// An active grab of the whole keyboard on the root window.
    bool grabKeyboard(Listener listener) override;
    void ungrabKeyboard() override;

    int fileDescriptor() const;
    /// Reads every queued event: key presses go to the handlers, mapping changes re-grab.
    void processPendingEvents();
    /// The X modifier bits a stored modifier set stands for (command → Control, option → Mod1,
    /// shift → Shift, control → Mod4).
    static std::uint16_t modifierMask(HotkeyModifiers modifiers);

private:
    struct Grab {
        std::string token;
        HotkeyModifiers modifiers;
        GlobalHotkeyIdentifier identifier;
        std::vector<std::uint8_t> keycodes;
    };

    X11GlobalHotkeyService(xcb_connection_t* connection, std::uint32_t root);
    void readLockMasks();
    std::vector<std::uint16_t> lockVariants() const;
    /// Grabs every keycode of the grab's keysym; on any refusal undoes its own grabs and
    /// returns the server's error code.
    int grab(Grab& grab);
    void ungrab(const Grab& grab);
    void regrabAll();
    /// `event` is an xcb_generic_event_t.
    void handleEvent(const void* event);
    void dispatch(std::uint8_t keycode, std::uint16_t state);
    void deliverRawKey(RawKeyEvent::Type type, std::uint8_t keycode, std::uint16_t state);

    xcb_connection_t* connection_;
    std::uint32_t root_;
    _XCBKeySymbols* symbols_;
    std::uint16_t numLockMask_ = 0;
    std::uint16_t scrollLockMask_ = 0;
    std::map<Registration, Grab> grabs_;
    std::vector<std::pair<HandlerToken, Handler>> handlers_;
    Registration nextRegistration_ = 1;
    HandlerToken nextHandler_ = 1;
    Listener keyboardListener_;
    /// The last key released and its server time, to tell the repeats of a held key.
    std::optional<std::pair<std::uint8_t, std::uint32_t>> lastRelease_;
    bool keyboardGrabbed_ = false;
};

} // namespace brisklet
