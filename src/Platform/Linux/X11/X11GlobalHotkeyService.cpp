#include "Platform/Linux/X11/X11GlobalHotkeyService.h"

#include "Platform/Linux/X11/X11KeyTokens.h"
#include "Platform/Linux/X11/XcbScreenConnection.h"

#include <X11/keysym.h>
#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>

#include <algorithm>
#include <cstdlib>

namespace brisklet {

namespace {

constexpr std::uint16_t relevantModifiers =
    XCB_MOD_MASK_SHIFT | XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1 | XCB_MOD_MASK_4;

std::vector<std::uint8_t> keycodesFor(xcb_key_symbols_t* symbols, std::uint32_t keysym) {
    std::vector<std::uint8_t> codes;
    xcb_keycode_t* list = xcb_key_symbols_get_keycode(symbols, keysym);
    for (xcb_keycode_t* code = list; code && *code != XCB_NO_SYMBOL; ++code) {
        if (std::find(codes.begin(), codes.end(), *code) == codes.end()) {
            codes.push_back(*code);
        }
    }
    std::free(list);
    return codes;
}

} // namespace

std::unique_ptr<X11GlobalHotkeyService> X11GlobalHotkeyService::open(const std::string& displayName) {
    auto screen = XcbScreenConnection::open(displayName);
    if (!screen) {
        return nullptr;
    }
    return std::unique_ptr<X11GlobalHotkeyService>(new X11GlobalHotkeyService(screen->connection, screen->screen->root));
}

X11GlobalHotkeyService::X11GlobalHotkeyService(xcb_connection_t* connection, std::uint32_t root)
    : connection_(connection), root_(root), symbols_(xcb_key_symbols_alloc(connection)) {
    readLockMasks();
}

X11GlobalHotkeyService::~X11GlobalHotkeyService() {
    ungrabKeyboard();
    for (const auto& [registration, grab] : grabs_) {
        ungrab(grab);
    }
    xcb_flush(connection_);
    xcb_key_symbols_free(symbols_);
    xcb_disconnect(connection_);
}

std::uint16_t X11GlobalHotkeyService::modifierMask(HotkeyModifiers modifiers) {
    std::uint16_t mask = 0;
    if (modifiers.contains(HotkeyModifiers::command)) {
        mask |= XCB_MOD_MASK_CONTROL;
    }
    if (modifiers.contains(HotkeyModifiers::option)) {
        mask |= XCB_MOD_MASK_1;
    }
    if (modifiers.contains(HotkeyModifiers::shift)) {
        mask |= XCB_MOD_MASK_SHIFT;
    }
    if (modifiers.contains(HotkeyModifiers::control)) {
        mask |= XCB_MOD_MASK_4;
    }
    return mask;
}

int X11GlobalHotkeyService::fileDescriptor() const {
    return xcb_get_file_descriptor(connection_);
}

// NumLock and ScrollLock sit on whichever modifier the keyboard mapping puts them.
void X11GlobalHotkeyService::readLockMasks() {
    numLockMask_ = 0;
    scrollLockMask_ = 0;
    xcb_get_modifier_mapping_reply_t* reply =
        xcb_get_modifier_mapping_reply(connection_, xcb_get_modifier_mapping(connection_), nullptr);
    if (!reply) {
        return;
    }
    const xcb_keycode_t* codes = xcb_get_modifier_mapping_keycodes(reply);
    const int perModifier = reply->keycodes_per_modifier;
    const std::vector<std::uint8_t> numLock = keycodesFor(symbols_, XK_Num_Lock);
    const std::vector<std::uint8_t> scrollLock = keycodesFor(symbols_, XK_Scroll_Lock);
    for (int modifier = 0; modifier < 8; ++modifier) {
        for (int i = 0; i < perModifier; ++i) {
            const xcb_keycode_t code = codes[modifier * perModifier + i];
            if (code == 0) {
                continue;
            }
            if (std::find(numLock.begin(), numLock.end(), code) != numLock.end()) {
                numLockMask_ |= static_cast<std::uint16_t>(1u << modifier);
            }
            if (std::find(scrollLock.begin(), scrollLock.end(), code) != scrollLock.end()) {
                scrollLockMask_ |= static_cast<std::uint16_t>(1u << modifier);
            }
        }
    }
    std::free(reply);
    // A keymap that lists NumLock on no modifier (a fallback keymap, when compiling the real one
    // failed) still turns Mod2 on with it: without that variant every hotkey would stop working
    // while NumLock is on.
    if (numLockMask_ == 0 && (scrollLockMask_ & XCB_MOD_MASK_2) == 0) {
        numLockMask_ = XCB_MOD_MASK_2;
    }
}

std::vector<std::uint16_t> X11GlobalHotkeyService::lockVariants() const {
    std::vector<std::uint16_t> variants{0};
    for (const std::uint16_t lock : {static_cast<std::uint16_t>(XCB_MOD_MASK_LOCK), numLockMask_, scrollLockMask_}) {
        if (lock == 0 || (lock & relevantModifiers) != 0) {
            continue;
        }
        const std::size_t count = variants.size();
        for (std::size_t i = 0; i < count; ++i) {
            const auto combined = static_cast<std::uint16_t>(variants[i] | lock);
            if (std::find(variants.begin(), variants.end(), combined) == variants.end()) {
                variants.push_back(combined);
            }
        }
    }
    return variants;
}

int X11GlobalHotkeyService::grab(Grab& grab) {
    const auto keysym = X11KeyTokens::keysym(grab.token);
    if (!keysym) {
        return statusUnknownToken;
    }
    grab.keycodes = keycodesFor(symbols_, *keysym);
    if (grab.keycodes.empty()) {
        return statusKeyNotOnKeyboard;
    }
    const std::uint16_t mask = modifierMask(grab.modifiers);
    std::vector<xcb_void_cookie_t> cookies;
    for (const std::uint8_t keycode : grab.keycodes) {
        for (const std::uint16_t lock : lockVariants()) {
            cookies.push_back(xcb_grab_key_checked(connection_, 1, root_, static_cast<std::uint16_t>(mask | lock),
                                                   keycode, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
        }
    }
    int status = statusOK;
    for (const xcb_void_cookie_t cookie : cookies) {
        if (xcb_generic_error_t* error = xcb_request_check(connection_, cookie)) {
            if (status == statusOK) {
                status = error->error_code;
            }
            std::free(error);
        }
    }
    if (status != statusOK) {
        // Ungrabbing a variant someone else holds is harmless: the server only drops our own.
        ungrab(grab);
        grab.keycodes.clear();
    }
    return status;
}

void X11GlobalHotkeyService::ungrab(const Grab& grab) {
    const std::uint16_t mask = modifierMask(grab.modifiers);
    for (const std::uint8_t keycode : grab.keycodes) {
        for (const std::uint16_t lock : lockVariants()) {
            xcb_ungrab_key(connection_, keycode, root_, static_cast<std::uint16_t>(mask | lock));
        }
    }
}

GlobalHotkeyService::HandlerToken X11GlobalHotkeyService::installHandler(Handler handler) {
    handlers_.emplace_back(nextHandler_, std::move(handler));
    return nextHandler_++;
}

void X11GlobalHotkeyService::removeHandler(HandlerToken token) {
    std::erase_if(handlers_, [&](const auto& entry) { return entry.first == token; });
}

GlobalHotkeyService::RegisterResult X11GlobalHotkeyService::registerHotkey(const std::string& token,
                                                                           HotkeyModifiers modifiers,
                                                                           GlobalHotkeyIdentifier identifier) {
    Grab entry{token, modifiers, identifier, {}};
    const int status = this->grab(entry);
    RegisterResult result{status, 0};
    if (status == statusOK) {
        result.registration = nextRegistration_++;
        grabs_.emplace(result.registration, std::move(entry));
    }
    processPendingEvents();
    return result;
}

void X11GlobalHotkeyService::unregisterHotkey(Registration registration) {
    const auto it = grabs_.find(registration);
    if (it == grabs_.end()) {
        return;
    }
    ungrab(it->second);
    grabs_.erase(it);
    xcb_flush(connection_);
    processPendingEvents();
}

void X11GlobalHotkeyService::regrabAll() {
    for (auto& [registration, grab] : grabs_) {
        ungrab(grab);
    }
    xcb_key_symbols_free(symbols_);
    symbols_ = xcb_key_symbols_alloc(connection_);
    readLockMasks();
    for (auto& [registration, grab] : grabs_) {
        // A key that moved away keeps its registration: it comes back with the next mapping.
        this->grab(grab);
    }
    xcb_flush(connection_);
}

void X11GlobalHotkeyService::processPendingEvents() {
    while (xcb_generic_event_t* event = xcb_poll_for_event(connection_)) {
        handleEvent(event);
        std::free(event);
    }
}

void X11GlobalHotkeyService::handleEvent(const void* generic) {
    const auto* event = static_cast<const xcb_generic_event_t*>(generic);
    switch (event->response_type & 0x7f) {
    case XCB_KEY_PRESS: {
        const auto* press = reinterpret_cast<const xcb_key_press_event_t*>(event);
        // Holding a key makes the server repeat it as a release and a press with the same time
        // stamp; a person cannot release and press again within the same millisecond. A held
        // hotkey fires once, and the recorder wants the combination, not the repeat rate.
        if (lastRelease_ && lastRelease_->first == press->detail && lastRelease_->second == press->time) {
            break;
        }
        if (keyboardGrabbed_) {
            deliverRawKey(RawKeyEvent::Type::keyDown, press->detail, press->state);
        } else {
            dispatch(press->detail, press->state);
        }
        break;
    }
    case XCB_KEY_RELEASE: {
        const auto* release = reinterpret_cast<const xcb_key_release_event_t*>(event);
        lastRelease_ = std::make_pair(release->detail, release->time);
        if (keyboardGrabbed_) {
            deliverRawKey(RawKeyEvent::Type::keyUp, release->detail, release->state);
        }
        break;
    }
    case XCB_MAPPING_NOTIFY: {
        const auto* notify = reinterpret_cast<const xcb_mapping_notify_event_t*>(event);
        if (notify->request == XCB_MAPPING_KEYBOARD || notify->request == XCB_MAPPING_MODIFIER) {
            regrabAll();
        }
        break;
    }
    default:
        break;
    }
}

bool X11GlobalHotkeyService::grabKeyboard(Listener listener) {
    ungrabKeyboard();
    xcb_grab_keyboard_reply_t* reply = xcb_grab_keyboard_reply(
        connection_,
        xcb_grab_keyboard(connection_, 1, root_, XCB_CURRENT_TIME, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC), nullptr);
    const bool grabbed = reply && reply->status == XCB_GRAB_STATUS_SUCCESS;
    std::free(reply);
    if (grabbed) {
        keyboardGrabbed_ = true;
        keyboardListener_ = std::move(listener);
    }
    processPendingEvents();
    return grabbed;
}

void X11GlobalHotkeyService::ungrabKeyboard() {
    if (!keyboardGrabbed_) {
        return;
    }
    keyboardGrabbed_ = false;
    keyboardListener_ = nullptr;
    xcb_ungrab_keyboard(connection_, XCB_CURRENT_TIME);
    xcb_flush(connection_);
}

void X11GlobalHotkeyService::deliverRawKey(RawKeyEvent::Type type, std::uint8_t keycode, std::uint16_t state) {
    // The unshifted symbol names the key: Shift+4 is "4" with shift, not "$".
    const std::uint32_t keysym = xcb_key_symbols_get_keysym(symbols_, keycode, 0);
    RawKeyEvent event;
    event.type = type;
    event.keyCode = keycode;
    event.token = X11KeyTokens::token(keysym);
    event.isModifierKey = X11KeyTokens::isModifierKeysym(keysym);
    int bits = 0;
    bits |= (state & XCB_MOD_MASK_CONTROL) ? HotkeyModifiers::command : 0;
    bits |= (state & XCB_MOD_MASK_1) ? HotkeyModifiers::option : 0;
    bits |= (state & XCB_MOD_MASK_SHIFT) ? HotkeyModifiers::shift : 0;
    bits |= (state & XCB_MOD_MASK_4) ? HotkeyModifiers::control : 0;
    event.modifiers = HotkeyModifiers{bits};
    if (keyboardListener_) {
        const Listener listener = keyboardListener_;
        listener(event);
    }
}

void X11GlobalHotkeyService::dispatch(std::uint8_t keycode, std::uint16_t state) {
    const auto pressed = static_cast<std::uint16_t>(state & relevantModifiers);
    for (const auto& [registration, grab] : grabs_) {
        if (modifierMask(grab.modifiers) != pressed ||
            std::find(grab.keycodes.begin(), grab.keycodes.end(), keycode) == grab.keycodes.end()) {
            continue;
        }
        const GlobalHotkeyIdentifier identifier = grab.identifier;
        // Handlers may unregister (and so invalidate this loop), hence the copy and the return.
        const auto handlers = handlers_;
        for (const auto& [token, handler] : handlers) {
            if (handler(identifier) == statusOK) {
                break;
            }
        }
        return;
    }
}

} // namespace brisklet
