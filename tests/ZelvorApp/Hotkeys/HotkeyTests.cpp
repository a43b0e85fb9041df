#include "Platform/Fake/ManualClock.h"
#include "Platform/Fake/ManualMainQueue.h"
#include "Platform/Fake/ScriptedGlobalHotkeyService.h"
#include "ZelvorApp/Hotkeys/GlobalHotkeyTable.h"
#include "ZelvorApp/Hotkeys/HotkeyDesktopText.h"
#include "ZelvorApp/Hotkeys/HotkeyKeyMap.h"
#include "ZelvorApp/Hotkeys/HotkeyManager.h"
#include "ZelvorApp/Hotkeys/HotkeyRecordingEventTap.h"
#include "ZelvorApp/Hotkeys/HotkeyRecordingFunctionKeyListener.h"
#include "ZelvorApp/Hotkeys/HotkeyValidation.h"
#include "support/CapturedLog.h"

#include <gtest/gtest.h>

namespace brisklet {
namespace {

constexpr int cmd = HotkeyModifiers::command;
constexpr int opt = HotkeyModifiers::option;

TEST(HotkeyKeyMapTest, VocabularyAndVirtualKeyCodes) {
    EXPECT_EQ(HotkeyKeyMap::tokens().size(), 79u);
    for (const auto& token : HotkeyKeyMap::tokens()) {
        EXPECT_TRUE(HotkeyKeyMap::isKnownToken(token)) << token;
    }
    EXPECT_EQ(HotkeyKeyMap::keyCode("A"), 0);
    EXPECT_EQ(HotkeyKeyMap::keyCode("Q"), 12);
    EXPECT_EQ(HotkeyKeyMap::keyCode("4"), 21);
    EXPECT_EQ(HotkeyKeyMap::keyCode("5"), 23);
    EXPECT_EQ(HotkeyKeyMap::keyCode("ENTER"), 36);
    EXPECT_EQ(HotkeyKeyMap::keyCode("FORWARD_DELETE"), 117);
    EXPECT_EQ(HotkeyKeyMap::keyCode("F20"), 90);
    EXPECT_EQ(HotkeyKeyMap::keyCode("PRINT"), std::nullopt);
    EXPECT_EQ(HotkeyKeyMap::keyCodeToToken(36), "RETURN");
    EXPECT_EQ(HotkeyKeyMap::keyCodeToToken(126), "UP");
    // The media keys of the top row are recorded as the function keys they sit on.
    EXPECT_EQ(HotkeyKeyMap::keyCodeToToken(160), "F3");
    EXPECT_EQ(HotkeyKeyMap::keyCodeToToken(145), "F1");
    EXPECT_EQ(HotkeyKeyMap::keyCodeToToken(58), std::nullopt);
    EXPECT_EQ(HotkeyKeyMap::recordableFunctionTokens().size(), 20u);
}

TEST(HotkeyKeyMapTest, NormalizesTypedCharacters) {
    EXPECT_EQ(HotkeyKeyMap::normalizeToken("p"), "P");
    EXPECT_EQ(HotkeyKeyMap::normalizeToken("space"), "SPACE");
    EXPECT_EQ(HotkeyKeyMap::normalizeToken("\xEF\x9C\x86"), "F3"); // U+F706
    EXPECT_EQ(HotkeyKeyMap::normalizeToken("\xEF\x9C\x97"), "F20");
    EXPECT_EQ(HotkeyKeyMap::normalizeToken("\x7F"), "DELETE");
    EXPECT_EQ(HotkeyKeyMap::normalizeToken("\r"), "RETURN");
    EXPECT_EQ(HotkeyKeyMap::normalizeToken("\n"), "RETURN");
    EXPECT_EQ(HotkeyKeyMap::normalizeToken("\x1B"), "ESC");
    EXPECT_EQ(HotkeyKeyMap::normalizeToken("\t"), "TAB");
    EXPECT_EQ(HotkeyKeyMap::normalizeToken(" "), "SPACE");
    EXPECT_EQ(HotkeyKeyMap::normalizeToken("\xC3\xA9"), std::nullopt); // é
    EXPECT_EQ(HotkeyKeyMap::normalizeToken("ab"), std::nullopt);
    EXPECT_EQ(HotkeyKeyMap::normalizeToken(""), std::nullopt);
}

TEST(HotkeyValidationTest, ConflictsAndModifierKeys) {
    AppPreferences preferences;
    preferences.screenshotHotkey = {"1", {cmd | opt}};
    preferences.longshotHotkey = {"1", {cmd | opt}};
    EXPECT_EQ(HotkeyValidation::conflictingAction(GlobalHotkeyAction::longshot, preferences.longshotHotkey, preferences),
              GlobalHotkeyAction::screenshot);
    // Keys compare trimmed and upper-cased; modifiers must be equal.
    EXPECT_EQ(HotkeyValidation::conflictingAction(GlobalHotkeyAction::gifRegion, {" m ", {cmd | opt}}, preferences),
              GlobalHotkeyAction::appPanel);
    EXPECT_EQ(HotkeyValidation::conflictingAction(GlobalHotkeyAction::gifRegion, {"M", {cmd}}, preferences), std::nullopt);
    EXPECT_EQ(HotkeyValidation::conflictingAction(GlobalHotkeyAction::gifRegion, {"  ", {cmd | opt}}, preferences),
              std::nullopt);
    // An action never conflicts with itself.
    EXPECT_EQ(HotkeyValidation::conflictingAction(GlobalHotkeyAction::appPanel, {"M", {cmd | opt}}, preferences),
              std::nullopt);
    EXPECT_EQ(HotkeyValidation::conflictingAction(EditorHotkeyAction::save, {"c", {cmd}}, preferences),
              EditorHotkeyAction::copy);
    EXPECT_TRUE(HotkeyValidation::isModifierOnlyKeyCode(58));
    EXPECT_TRUE(HotkeyValidation::isModifierOnlyKeyCode(54));
    EXPECT_FALSE(HotkeyValidation::isModifierOnlyKeyCode(64));
    EXPECT_FALSE(HotkeyValidation::isModifierOnlyKeyCode(53));
}

TEST(HotkeyDesktopTextTest, WritesCombinationsTheDesktopWay) {
    EXPECT_EQ(HotkeyDesktopText::text({"4", {cmd | opt}}), "Ctrl+Alt+4");
    EXPECT_EQ(HotkeyDesktopText::text({" p ", {HotkeyModifiers::control | HotkeyModifiers::shift}}), "Shift+Super+P");
    EXPECT_EQ(HotkeyDesktopText::text({"PRINT", {0}}), "Print");
    EXPECT_EQ(HotkeyDesktopText::text({"FORWARD_DELETE", {cmd}}), "Ctrl+Delete");
    EXPECT_EQ(HotkeyDesktopText::text({"", {cmd}}), "");
}

TEST(HotkeyDispatchPolicyTest, KeyWindowRules) {
    using W = KeyWindowSnapshot::Window;
    using T = KeyWindowSnapshot::FocusedText;
    const auto dispatches = [](bool active, W window, T text = T::none) {
        return HotkeyDispatchPolicy::shouldDispatchHotkey({active, window, text});
    };
    EXPECT_TRUE(dispatches(false, W::settings, T::editable));
    EXPECT_TRUE(dispatches(true, W::none));
    EXPECT_TRUE(dispatches(true, W::visualLibrary, T::editable));
    EXPECT_TRUE(dispatches(true, W::statusPopover, T::editable));
    EXPECT_TRUE(dispatches(true, W::dragRecoveryPanel));
    EXPECT_FALSE(dispatches(true, W::settings));
    EXPECT_FALSE(dispatches(true, W::other, T::editable));
    EXPECT_TRUE(dispatches(true, W::other, T::readOnly));
    EXPECT_FALSE(dispatches(true, W::other, T::readOnlyField));
    EXPECT_TRUE(dispatches(true, W::other));
}

class HotkeyManagerTest : public ::testing::Test {
protected:
    HotkeyManagerTest() {
        manager.setTarget({[this](GlobalHotkeyAction action) { handled.push_back(action); },
                           [this] { ++escapes; }, [this] { return keyWindow; }});
    }

    testing::CapturedLog log;
    ManualClock clock;
    ManualMainQueue mainQueue{clock};
    ScriptedGlobalHotkeyService service;
    HotkeyManager manager{service, mainQueue, clock};
    AppPreferences preferences;
    std::vector<GlobalHotkeyAction> handled;
    int escapes = 0;
    KeyWindowSnapshot keyWindow;
};

TEST_F(HotkeyManagerTest, ReloadRegistersEveryActionUnderItsIdAndLogs) {
    preferences.pinClipboardTextHotkey.key = " p ";
    manager.reload(preferences);
    EXPECT_EQ(manager.registrationCount(), 10u);
    const auto screenshot = service.registeredFor(GlobalHotkeyTable::signature, 4);
    ASSERT_TRUE(screenshot);
    EXPECT_EQ(screenshot->token, "4");
    EXPECT_EQ(screenshot->modifiers.rawValue, cmd | opt);
    const auto pin = service.registeredFor(GlobalHotkeyTable::signature, 9);
    ASSERT_TRUE(pin);
    EXPECT_EQ(pin->token, "P");
    EXPECT_TRUE(log.mentions("hotkey registered action=screenshot key=⌥⌘4"));
    EXPECT_TRUE(log.mentions("hotkey registered action=pinClipboardText key=⌥⌘P"));
    EXPECT_EQ(log.linesStartingWith("hotkey reload actions=10 elapsedMs=0").size(), 1u);

    manager.reload(preferences);
    EXPECT_EQ(service.registered().size(), 10u) << "a reload replaces, it does not add";
}

TEST_F(HotkeyManagerTest, TakenAndUnknownCombinationsLeaveTheOthersWorking) {
    service.takenElsewhere.insert({"4", cmd | opt});
    preferences.longshotHotkey.key = "NOPE";
    preferences.gifRegionHotkey = preferences.gifWindowHotkey; // the second of two equal ones fails
    manager.reload(preferences);
    EXPECT_FALSE(manager.isRegistered(GlobalHotkeyAction::screenshot));
    EXPECT_FALSE(manager.isRegistered(GlobalHotkeyAction::longshot));
    EXPECT_TRUE(manager.isRegistered(GlobalHotkeyAction::gifRegion));
    EXPECT_FALSE(manager.isRegistered(GlobalHotkeyAction::gifWindow));
    EXPECT_EQ(manager.registrationCount(), 7u);
    EXPECT_TRUE(log.mentions("hotkey register failed action=screenshot key=⌥⌘4 status=10"));
    EXPECT_TRUE(log.mentions("hotkey register failed action=gifWindow key=⌥⌘3 status=10"));
    EXPECT_FALSE(log.mentions("action=longshot")) << "an unknown token registers nothing and says nothing";
    EXPECT_TRUE(log.mentions("hotkey reload actions=7"));

    EXPECT_TRUE(service.press("5", {cmd | opt}));
    mainQueue.drain();
    EXPECT_EQ(handled, std::vector{GlobalHotkeyAction::textRecognitionScreenshot});
}

TEST_F(HotkeyManagerTest, SuspensionPreservesActionsAndResumeRegistersAll) {
    manager.reload(preferences);
    manager.setSuspended(true, {GlobalHotkeyAction::screenshot});
    EXPECT_EQ(manager.registrationCount(), 1u);
    EXPECT_TRUE(manager.isRegistered(GlobalHotkeyAction::screenshot));
    const int calls = service.registerCalls;
    manager.setSuspended(true, {GlobalHotkeyAction::screenshot});
    EXPECT_EQ(service.registerCalls, calls) << "the same suspension again changes nothing";
    manager.suspend({});
    EXPECT_EQ(manager.registrationCount(), 0u);
    manager.resume();
    EXPECT_EQ(manager.registrationCount(), 10u);
    // A reload while suspended keeps the suspension.
    manager.suspend({GlobalHotkeyAction::appPanel});
    manager.reload(preferences);
    EXPECT_EQ(manager.registrationCount(), 1u);
}

TEST_F(HotkeyManagerTest, PressesArriveOnTheMainQueueUnlessOurWindowTakesTheKeys) {
    manager.reload(preferences);
    EXPECT_TRUE(service.press("4", {cmd | opt}));
    EXPECT_TRUE(handled.empty()) << "delivered as a task, after the current step";
    mainQueue.drain();
    EXPECT_EQ(handled, std::vector{GlobalHotkeyAction::screenshot});

    keyWindow = {true, KeyWindowSnapshot::Window::settings, KeyWindowSnapshot::FocusedText::none};
    EXPECT_TRUE(service.press("4", {cmd | opt}));
    mainQueue.drain();
    EXPECT_EQ(handled.size(), 1u) << "typing the combination in settings starts no screenshot";

    keyWindow = {true, KeyWindowSnapshot::Window::visualLibrary, KeyWindowSnapshot::FocusedText::editable};
    EXPECT_TRUE(service.press("L", {cmd | opt}));
    mainQueue.drain();
    EXPECT_EQ(handled.back(), GlobalHotkeyAction::visualLibrary);

    // Other signatures and ids are left to other handlers.
    EXPECT_FALSE(service.deliver({GlobalHotkeyTable::recordingSignature, 4}));
    EXPECT_FALSE(service.deliver({GlobalHotkeyTable::signature, 12}));
}

TEST_F(HotkeyManagerTest, PinnedScreenshotEscapeHotkey) {
    manager.setPinnedScreenshotEscapeEnabled(true);
    manager.setPinnedScreenshotEscapeEnabled(true);
    const auto escape = service.registeredFor(GlobalHotkeyTable::signature, 11);
    ASSERT_TRUE(escape);
    EXPECT_EQ(escape->token, "ESC");
    EXPECT_EQ(escape->modifiers.rawValue, 0);
    EXPECT_EQ(log.linesStartingWith("pinned screenshot escape hotkey registered").size(), 1u);
    EXPECT_TRUE(service.press("ESC", {0}));
    mainQueue.drain();
    EXPECT_EQ(escapes, 1);
    manager.reload(preferences);
    EXPECT_TRUE(manager.isPinnedScreenshotEscapeRegistered()) << "a reload leaves the Escape hotkey alone";
    manager.setPinnedScreenshotEscapeEnabled(false);
    EXPECT_FALSE(service.registeredFor(GlobalHotkeyTable::signature, 11));
    EXPECT_TRUE(log.mentions("pinned screenshot escape hotkey unregistered"));

    service.takenElsewhere.insert({"ESC", 0});
    manager.setPinnedScreenshotEscapeEnabled(true);
    EXPECT_TRUE(log.mentions("pinned screenshot escape hotkey register failed status=10"));
}

TEST(HotkeyManagerWithoutHandlerTest, LogsAndRegistersNoEscape) {
    testing::CapturedLog log;
    ManualClock clock;
    ManualMainQueue mainQueue{clock};
    ScriptedGlobalHotkeyService service;
    service.refusesHandlers = true;
    HotkeyManager manager{service, mainQueue, clock};
    EXPECT_FALSE(manager.hasHandler());
    EXPECT_EQ(log.linesStartingWith("hotkey install handler failed status=").size(), 1u);
    manager.setPinnedScreenshotEscapeEnabled(true);
    EXPECT_FALSE(manager.isPinnedScreenshotEscapeRegistered());
}

TEST(HotkeyRecordingListenerTest, GrabsEveryFunctionKeyWithSixteenModifierSets) {
    testing::CapturedLog log;
    ManualClock clock;
    ManualMainQueue mainQueue{clock};
    ScriptedGlobalHotkeyService service;
    service.takenElsewhere.insert({"F1", 0});
    HotkeyRecordingFunctionKeyListener listener{service, mainQueue};
    std::vector<HotkeyConfiguration> recorded;
    listener.start([&](HotkeyConfiguration configuration) { recorded.push_back(configuration); });
    EXPECT_EQ(HotkeyRecordingFunctionKeyListener::modifierSets().size(), 16u);
    EXPECT_EQ(listener.registeredCandidateCount(), 319u);
    EXPECT_TRUE(log.mentions("hotkey recording carbon listener registered candidates=319"));
    EXPECT_TRUE(service.press("F13", {cmd | HotkeyModifiers::shift}));
    mainQueue.drain();
    ASSERT_EQ(recorded.size(), 1u);
    EXPECT_EQ(recorded[0], (HotkeyConfiguration{"F13", {cmd | HotkeyModifiers::shift}}));
    listener.stop();
    EXPECT_TRUE(service.registered().empty());
    EXPECT_EQ(service.handlerCount(), 0u);
}

class HeldKeyboard final : public KeyboardGrab {
public:
    bool grabKeyboard(Listener listener) override {
        if (heldElsewhere) {
            return false;
        }
        listener_ = std::move(listener);
        return true;
    }
    void ungrabKeyboard() override { listener_ = nullptr; }
    bool type(const RawKeyEvent& event) { return listener_ && listener_(event); }
    bool grabbed() const { return static_cast<bool>(listener_); }
    bool heldElsewhere = false;

private:
    Listener listener_;
};

TEST(HotkeyRecordingEventTapTest, KeyDownsGoToTheRecorderTheRestToOnEvent) {
    testing::CapturedLog log;
    HeldKeyboard keyboard;
    std::vector<std::string> seen;
    {
        HotkeyRecordingEventTap tap{keyboard};
        tap.onRawKeyDown = [&](const RawKeyEvent& event) {
            seen.push_back("down " + event.token.value_or("?"));
            return !event.isModifierKey;
        };
        tap.onEvent = [&](const RawKeyEvent& event) {
            seen.push_back(std::string(event.type == RawKeyEvent::Type::keyUp ? "up " : "other ") +
                           event.token.value_or("?"));
            return false;
        };
        ASSERT_TRUE(tap.start());
        EXPECT_TRUE(keyboard.type({RawKeyEvent::Type::keyDown, "F13", {cmd}, false, 191}));
        EXPECT_FALSE(keyboard.type({RawKeyEvent::Type::keyDown, std::nullopt, {0}, true, 37}));
        EXPECT_FALSE(keyboard.type({RawKeyEvent::Type::keyUp, "F13", {cmd}, false, 191}));
    }
    EXPECT_EQ(seen, (std::vector<std::string>{"down F13", "down ?", "other ?", "up F13"}));
    EXPECT_FALSE(keyboard.grabbed()) << "the tap lets the keyboard go when it ends";

    keyboard.heldElsewhere = true;
    HotkeyRecordingEventTap blocked{keyboard};
    int trustRequests = 0;
    blocked.requestAccessibilityTrust = [&] { ++trustRequests; };
    EXPECT_FALSE(blocked.start());
    EXPECT_EQ(trustRequests, 1);
    EXPECT_TRUE(log.mentions("hotkey recording event tap unavailable; requesting accessibility trust"));
}

} // namespace
} // namespace brisklet
