#include "Platform/Linux/X11/X11GlobalHotkeyService.h"
#include "support/PrivateXServer.h"
#include "support/XcbTesting.h"

#include <X11/keysym.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <poll.h>
#include <xcb/xcb_keysyms.h>
#include <xcb/xtest.h>

#include <chrono>
#include <vector>

namespace brisklet {
namespace {

constexpr int cmd = HotkeyModifiers::command;
constexpr int opt = HotkeyModifiers::option;

/// Another client on the same server: it presses keys through XTest and can grab or remap them.
class Keyboard {
public:
    explicit Keyboard(const std::string& display) : connection_(xcb_connect(display.c_str(), nullptr)) {
        symbols_ = xcb_key_symbols_alloc(connection_);
        root_ = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data->root;
    }
    ~Keyboard() {
        xcb_key_symbols_free(symbols_);
        xcb_disconnect(connection_);
    }
    xcb_keycode_t code(xcb_keysym_t keysym) {
        // Read afresh each time: the tests change the mapping.
        xcb_key_symbols_free(symbols_);
        symbols_ = xcb_key_symbols_alloc(connection_);
        xcb_keycode_t* codes = xcb_key_symbols_get_keycode(symbols_, keysym);
        const xcb_keycode_t first = codes ? codes[0] : 0;
        std::free(codes);
        return first;
    }
    void send(std::uint8_t type, xcb_keycode_t keycode) {
        xcb_test_fake_input(connection_, type, keycode, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
    }
    void sync() { testing::roundTrip(connection_); }
    /// Presses `keysyms` in order and releases them in reverse, like a person typing a combination.
    void chord(std::vector<xcb_keysym_t> keysyms) {
        std::vector<xcb_keycode_t> codes;
        for (const auto keysym : keysyms) {
            codes.push_back(code(keysym));
        }
        chordCodes(codes);
    }
    void chordCodes(const std::vector<xcb_keycode_t>& codes) {
        for (const auto keycode : codes) {
            send(XCB_KEY_PRESS, keycode);
        }
        for (auto it = codes.rbegin(); it != codes.rend(); ++it) {
            send(XCB_KEY_RELEASE, *it);
        }
        testing::roundTrip(connection_);
    }
    int grab(xcb_keysym_t keysym, std::uint16_t mask) {
        xcb_generic_error_t* error = xcb_request_check(
            connection_, xcb_grab_key_checked(connection_, 1, root_, mask, code(keysym), XCB_GRAB_MODE_ASYNC,
                                              XCB_GRAB_MODE_ASYNC));
        const int status = error ? error->error_code : 0;
        std::free(error);
        return status;
    }
    /// Gives `keycode` the single symbol `keysym` (every column).
    void remap(xcb_keycode_t keycode, xcb_keysym_t keysym) {
        const xcb_setup_t* setup = xcb_get_setup(connection_);
        xcb_get_keyboard_mapping_reply_t* reply = xcb_get_keyboard_mapping_reply(
            connection_, xcb_get_keyboard_mapping(connection_, setup->min_keycode, 1), nullptr);
        const int perKeycode = reply ? reply->keysyms_per_keycode : 1;
        std::free(reply);
        std::vector<xcb_keysym_t> row(static_cast<std::size_t>(perKeycode), keysym);
        xcb_change_keyboard_mapping(connection_, 1, keycode, static_cast<std::uint8_t>(perKeycode), row.data());
        testing::roundTrip(connection_);
    }

private:
    xcb_connection_t* connection_;
    xcb_key_symbols_t* symbols_;
    xcb_window_t root_;
};

class X11HotkeyBackendTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (server.display().empty()) {
            GTEST_SKIP() << "no Xvfb";
        }
        service = X11GlobalHotkeyService::open(server.display());
        ASSERT_TRUE(service);
        keyboard = std::make_unique<Keyboard>(server.display());
        service->installHandler([this](GlobalHotkeyIdentifier identifier) {
            pressed.push_back(identifier.id);
            return GlobalHotkeyService::statusOK;
        });
    }

    /// Handles what arrives until `done` holds or `limit` passes. What must arrive gets the long
    /// default, since the suite shares the machine with the end-to-end runs; waits for what must
    /// not arrive pass a second.
    template <typename Done> bool pumpUntil(Done done, std::chrono::milliseconds limit = std::chrono::seconds(5)) {
        const auto deadline = std::chrono::steady_clock::now() + limit;
        while (!done()) {
            if (std::chrono::steady_clock::now() > deadline) {
                return false;
            }
            pollfd descriptor{service->fileDescriptor(), POLLIN, 0};
            poll(&descriptor, 1, 20);
            service->processPendingEvents();
        }
        return true;
    }
    bool pumpUntilPressed(std::size_t count, std::chrono::milliseconds limit = std::chrono::seconds(5)) {
        return pumpUntil([&] { return pressed.size() >= count; }, limit);
    }

    testing::PrivateXServer server;
    std::unique_ptr<X11GlobalHotkeyService> service;
    std::unique_ptr<Keyboard> keyboard;
    std::vector<std::uint32_t> pressed;
};

TEST_F(X11HotkeyBackendTest, GrabbedCombinationArrivesWithAndWithoutLockKeys) {
    const auto result = service->registerHotkey("4", {cmd | opt}, {1, 4});
    ASSERT_EQ(result.status, GlobalHotkeyService::statusOK);
    keyboard->chord({XK_Control_L, XK_Alt_L, XK_4});
    ASSERT_TRUE(pumpUntilPressed(1));
    EXPECT_EQ(pressed[0], 4u);

    // Plain 4 and Ctrl+4 are not the combination.
    keyboard->chord({XK_4});
    keyboard->chord({XK_Control_L, XK_4});
    EXPECT_FALSE(pumpUntilPressed(2, std::chrono::milliseconds(500)));
    keyboard->chord({XK_Caps_Lock});
    keyboard->chord({XK_Num_Lock});
    // A loaded test server may still be loading its keymap, and the service grabs again when the
    // mapping changes; a combination sent before that re-grab is lost, so it is sent again.
    int attempts = 0;
    do {
        keyboard->chord({XK_Control_L, XK_Alt_L, XK_4});
        ++attempts;
    } while (!pumpUntilPressed(2, std::chrono::seconds(2)) && attempts < 3);
    ASSERT_GE(pressed.size(), 2u) << "with CapsLock and NumLock on the combination still arrives";
    pumpUntil([] { return false; }, std::chrono::milliseconds(300));
    EXPECT_LE(pressed.size(), static_cast<std::size_t>(1 + attempts));
    EXPECT_TRUE(std::all_of(pressed.begin(), pressed.end(), [](std::uint32_t id) { return id == 4; }));
    const std::size_t arrived = pressed.size();

    service->unregisterHotkey(result.registration);
    keyboard->chord({XK_Control_L, XK_Alt_L, XK_4});
    EXPECT_FALSE(pumpUntilPressed(arrived + 1, std::chrono::seconds(1)))
        << "an unregistered combination no longer arrives";
}

TEST_F(X11HotkeyBackendTest, AHeldCombinationFiresOnce) {
    ASSERT_EQ(service->registerHotkey("4", {cmd | opt}, {1, 4}).status, GlobalHotkeyService::statusOK);
    const auto ctrl = keyboard->code(XK_Control_L);
    const auto alt = keyboard->code(XK_Alt_L);
    const auto four = keyboard->code(XK_4);
    keyboard->send(XCB_KEY_PRESS, ctrl);
    keyboard->send(XCB_KEY_PRESS, alt);
    keyboard->send(XCB_KEY_PRESS, four);
    keyboard->sync();
    // Held past the server's repeat delay (660 ms by default), it repeats as release-press pairs.
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(1300);
    while (std::chrono::steady_clock::now() < until) {
        pollfd descriptor{service->fileDescriptor(), POLLIN, 0};
        poll(&descriptor, 1, 20);
        service->processPendingEvents();
    }
    keyboard->send(XCB_KEY_RELEASE, four);
    keyboard->send(XCB_KEY_RELEASE, alt);
    keyboard->send(XCB_KEY_RELEASE, ctrl);
    keyboard->sync();
    pumpUntil([] { return false; }, std::chrono::seconds(1));
    EXPECT_EQ(pressed.size(), 1u) << "repeats of a held combination are not new presses";
}

TEST_F(X11HotkeyBackendTest, CombinationHeldByAnotherClientIsTakenWithItsStatus) {
    ASSERT_EQ(keyboard->grab(XK_5, XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1), 0);
    const auto taken = service->registerHotkey("5", {cmd | opt}, {1, 7});
    EXPECT_EQ(taken.status, 10) << "BadAccess";
    EXPECT_EQ(service->registerHotkey("6", {cmd | opt}, {1, 8}).status, GlobalHotkeyService::statusOK);
    EXPECT_EQ(service->registerHotkey("PRINT", {0}, {1, 1}).status, GlobalHotkeyService::statusOK);
    EXPECT_EQ(service->registerHotkey("NOPE", {0}, {1, 2}).status, GlobalHotkeyService::statusUnknownToken);
    keyboard->chord({XK_Control_L, XK_Alt_L, XK_6});
    keyboard->chord({XK_Print});
    ASSERT_TRUE(pumpUntilPressed(2));
    EXPECT_EQ(pressed, (std::vector<std::uint32_t>{8, 1}));
}

TEST_F(X11HotkeyBackendTest, GrabsFollowAKeyboardMappingChange) {
    ASSERT_EQ(service->registerHotkey("4", {cmd | opt}, {1, 4}).status, GlobalHotkeyService::statusOK);
    const xcb_keycode_t oldKey = keyboard->code(XK_4);
    const xcb_keycode_t spare = keyboard->code(XK_F12);
    ASSERT_NE(oldKey, 0);
    ASSERT_NE(spare, 0);
    // "4" moves to the key that was F12; the old key now types "q".
    keyboard->remap(oldKey, XK_q);
    keyboard->remap(spare, XK_4);
    ASSERT_EQ(keyboard->code(XK_4), spare);
    // Let the service see the server's mapping notices and grab again.
    pumpUntil([] { return false; }, std::chrono::seconds(1));
    const auto ctrl = keyboard->code(XK_Control_L);
    const auto alt = keyboard->code(XK_Alt_L);
    keyboard->chordCodes({ctrl, alt, spare});
    ASSERT_TRUE(pumpUntilPressed(1)) << "the combination is grabbed on the key that types 4 now";
    keyboard->chordCodes({ctrl, alt, oldKey});
    EXPECT_FALSE(pumpUntilPressed(2, std::chrono::seconds(1))) << "the key that no longer types 4 is released";
}

TEST_F(X11HotkeyBackendTest, KeyboardGrabSeesEveryKeyAsTokenAndModifiers) {
    ASSERT_EQ(keyboard->grab(XK_F3, XCB_MOD_MASK_CONTROL), 0) << "as if the desktop held Ctrl+F3";
    std::vector<RawKeyEvent> events;
    ASSERT_TRUE(service->grabKeyboard([&](const RawKeyEvent& event) {
        events.push_back(event);
        return true;
    }));
    keyboard->chord({XK_Control_L, XK_F3});
    keyboard->chord({XK_Shift_L, XK_4});
    ASSERT_TRUE(pumpUntil([&] { return events.size() >= 8; }));
    const auto downs = [&] {
        std::vector<RawKeyEvent> result;
        for (const auto& event : events) {
            if (event.type == RawKeyEvent::Type::keyDown && !event.isModifierKey) {
                result.push_back(event);
            }
        }
        return result;
    }();
    ASSERT_EQ(downs.size(), 2u);
    EXPECT_EQ(downs[0].token, "F3");
    EXPECT_EQ(downs[0].modifiers.rawValue, cmd);
    EXPECT_EQ(downs[1].token, "4") << "the unshifted symbol names the key";
    EXPECT_EQ(downs[1].modifiers.rawValue, HotkeyModifiers::shift);
    EXPECT_TRUE(events[0].isModifierKey);
    service->ungrabKeyboard();
    EXPECT_TRUE(service->grabKeyboard([](const RawKeyEvent&) { return true; })) << "the grab can be taken again";
}

} // namespace
} // namespace brisklet
