#include "Platform/Fake/ManualClock.h"
#include "Platform/Fake/ManualMainQueue.h"
#include "ZelvorApp/Infrastructure/LocalizationStore.h"
#include "ZelvorApp/StatusBar/StatusBarContextMenuModelBuilder.h"
#include "ZelvorApp/StatusBar/StatusBarController.h"
#include "ZelvorCore/Models/AppPreferences.h"
#include "support/CapturedLog.h"

#include <gtest/gtest.h>

namespace brisklet {
namespace {

using A = StatusBarContextMenuAction;

std::vector<std::optional<A>> actionsOf(const std::vector<StatusBarContextMenuItem>& items) {
    std::vector<std::optional<A>> actions;
    for (const auto& item : items) {
        actions.push_back(item.isSeparator ? std::nullopt : item.action);
    }
    return actions;
}

class MenuModelTest : public ::testing::Test {
protected:
    LocalizationStore localization{[] { return std::vector<std::string>{"en"}; }};
    AppPreferences preferences;
};

TEST_F(MenuModelTest, IdleMenuListsEveryCaptureWithItsShortcut) {
    const auto items = StatusBarContextMenuModelBuilder(AppViewState::idle, preferences, localization).items();
    const std::vector<std::optional<A>> expected{
        A::startScreenshot, A::startFloatingScreenshot, A::startTextRecognitionScreenshot,
        A::startTranslateScreenshot, A::startLongshot, A::startGIFRegion, A::startGIFWindow,
        A::startSuperScreenshot, std::nullopt, A::openVisualLibrary, A::openDefaultDirectory, std::nullopt,
        A::openSettings, A::checkForUpdates, A::quit};
    EXPECT_EQ(actionsOf(items), expected);
    EXPECT_EQ(items[0].title, "Screenshot");
    EXPECT_EQ(items[0].iconName, "camera.viewfinder");
    ASSERT_TRUE(items[0].shortcut);
    EXPECT_EQ(items[0].shortcut->keyEquivalent, "4");
    EXPECT_EQ(items[0].shortcut->modifierMask, 0x100000 | 0x80000);
    EXPECT_EQ(items[0].shortcut->displayValue, "⌥⌘4");
    EXPECT_EQ(items[0].shortcut->desktopText, "Ctrl+Alt+4");
    EXPECT_FALSE(items[7].shortcut) << "the super screenshot has no hotkey";
    EXPECT_EQ(items[12].title, "Settings…");
    EXPECT_EQ(items[14].shortcut->keyEquivalent, "q");
    for (const auto& item : items) {
        EXPECT_TRUE(item.isSeparator || item.iconName) << item.title << " has no icon";
    }
}

TEST_F(MenuModelTest, RunningCaptureOffersOnlyStop) {
    for (const auto state : {AppViewState::recordingGif, AppViewState::pausedGif, AppViewState::capturingLongshot,
                             AppViewState::pausedLongshot}) {
        const auto items = StatusBarContextMenuModelBuilder(state, preferences, localization).items();
        EXPECT_EQ(items[0].action, A::stopActiveOperation);
        EXPECT_EQ(items[0].title, "Stop");
        EXPECT_TRUE(items[1].isSeparator);
    }
}

TEST_F(MenuModelTest, ShortcutsFollowThePreferences) {
    preferences.longshotHotkey.key = "  ";
    preferences.gifRegionHotkey = {"F3", {HotkeyModifiers::control | HotkeyModifiers::shift}};
    preferences.gifWindowHotkey = {"SPACE", {HotkeyModifiers::command}};
    const auto items = StatusBarContextMenuModelBuilder(AppViewState::idle, preferences, localization).items();
    EXPECT_FALSE(items[4].shortcut) << "a cleared hotkey shows no shortcut";
    ASSERT_TRUE(items[5].shortcut);
    EXPECT_EQ(items[5].shortcut->keyEquivalent, "\xEF\x9C\x86");
    EXPECT_EQ(items[5].shortcut->modifierMask, 0x40000 | 0x20000);
    EXPECT_EQ(items[5].shortcut->desktopText, "Shift+Super+F3");
    EXPECT_EQ(items[6].shortcut->keyEquivalent, " ");
}

class FakeStatusItemView final : public StatusItemView {
public:
    bool hasStatusItem() const override { return trayPresent; }
    void setIcon(IconStyle style) override { icons.push_back(style); }
    void showContextMenu(const std::vector<StatusBarContextMenuItem>& items,
                         std::function<void(StatusBarContextMenuAction)> onChoose) override {
        menus.push_back(items);
        choose = std::move(onChoose);
    }
    Placement showPopover() override {
        popover = true;
        ++shows;
        return {Rect{{10, 20}, {300, 400}}, Rect{{290, 0}, {24, 24}}, Rect{{0, 0}, {1920, 1080}}};
    }
    Placement alignPopover() override { return showPopover(); }
    void hidePopover() override { popover = false; }
    bool isPopoverShown() const override { return popover; }
    void showDragRecoveryPanel() override { recovery = true; }
    void hideDragRecoveryPanel() override { recovery = false; }
    bool isDragRecoveryPanelVisible() const override { return recovery; }

    bool trayPresent = true;
    bool popover = false;
    bool recovery = false;
    int shows = 0;
    std::vector<IconStyle> icons;
    std::vector<std::vector<StatusBarContextMenuItem>> menus;
    std::function<void(StatusBarContextMenuAction)> choose;
};

class StatusBarControllerTest : public ::testing::Test {
protected:
    StatusBarControllerTest() {
        controller.setTarget({[this] { return state; }, [this] { return editorOpen; }, [this] { ++longshotStops; },
                              [this] { ++gifStops; },
                              [this] {
                                  return StatusBarContextMenuModelBuilder(state, preferences, localization).items();
                              },
                              [this](A action) { performed.push_back(action); }});
    }

    testing::CapturedLog log;
    ManualClock clock;
    ManualMainQueue mainQueue{clock};
    FakeStatusItemView view;
    StatusBarController controller{view, mainQueue};
    LocalizationStore localization{[] { return std::vector<std::string>{"en"}; }};
    AppPreferences preferences;
    AppViewState state = AppViewState::idle;
    bool editorOpen = false;
    int longshotStops = 0;
    int gifStops = 0;
    std::vector<A> performed;
};

TEST_F(StatusBarControllerTest, IconStyleFollowsTheState) {
    using S = StatusItemView::IconStyle;
    EXPECT_EQ(StatusBarController::iconStyle(AppViewState::idle, false), S::normal);
    EXPECT_EQ(StatusBarController::iconStyle(AppViewState::capturingLongshot, true), S::stop);
    EXPECT_EQ(StatusBarController::iconStyle(AppViewState::recordingGif, false), S::stop);
    EXPECT_EQ(StatusBarController::iconStyle(AppViewState::pausedGif, true), S::normal);
    EXPECT_EQ(StatusBarController::iconStyle(AppViewState::finalizingGif, false), S::busy);
    EXPECT_EQ(StatusBarController::iconStyle(AppViewState::capturingSuperScreenshot, false), S::busy);
    controller.updateIcon(AppViewState::finalizingLongshot, false);
    EXPECT_EQ(view.icons.back(), S::busy);
    EXPECT_TRUE(log.mentions("update status item icon for state=finalizingLongshot style=busy"));
}

TEST_F(StatusBarControllerTest, RightClickAlwaysOpensTheMenuAndItsChoiceReachesTheController) {
    state = AppViewState::recordingGif;
    controller.handleClick(StatusBarController::Button::right);
    ASSERT_EQ(view.menus.size(), 1u);
    EXPECT_EQ(view.menus[0][0].action, A::stopActiveOperation);
    EXPECT_TRUE(log.mentions("showContextMenu state=recordingGif"));
    view.choose(A::stopActiveOperation);
    EXPECT_EQ(performed, std::vector{A::stopActiveOperation});
    EXPECT_EQ(gifStops, 0) << "a right click never stops by itself";

    view.trayPresent = false;
    controller.handleClick(StatusBarController::Button::right);
    EXPECT_TRUE(log.mentions("showContextMenu skipped (button/controller missing)"));
}

TEST_F(StatusBarControllerTest, LeftClickStopsCapturesRaisesTheEditorOrTogglesThePanel) {
    state = AppViewState::recordingGif;
    controller.handleClick(StatusBarController::Button::left);
    EXPECT_EQ(gifStops, 1);
    state = AppViewState::pausedLongshot;
    controller.handleClick(StatusBarController::Button::left);
    EXPECT_EQ(longshotStops, 1);
    state = AppViewState::selectingScreenshotRegion;
    controller.handleClick(StatusBarController::Button::left);
    EXPECT_FALSE(view.popover);
    state = AppViewState::editingScreenshot;
    editorOpen = true;
    controller.handleClick(StatusBarController::Button::left);
    EXPECT_FALSE(view.popover);
    editorOpen = false;
    state = AppViewState::idle;
    controller.handleClick(StatusBarController::Button::left);
    EXPECT_TRUE(view.popover);
    EXPECT_TRUE(log.mentions("alignPopoverWindow reason=show frame={{10, 20}, {300, 400}} anchor={{290, 0}, {24, 24}}"));
    controller.handleClick(StatusBarController::Button::left);
    EXPECT_FALSE(view.popover);
    EXPECT_TRUE(log.mentions("status item tapped state=idle"));
}

TEST_F(StatusBarControllerTest, SuppressedPresentationOpensNothing) {
    controller.setPopoverPresentationSuppressed(true);
    controller.handleClick(StatusBarController::Button::left);
    controller.showPopover();
    EXPECT_FALSE(view.popover);
    EXPECT_TRUE(log.mentions("set popover presentation suppressed=true"));
    EXPECT_TRUE(log.mentions("togglePopover skipped because popover presentation is suppressed"));
    EXPECT_TRUE(log.mentions("showPopover skipped because popover presentation is suppressed"));
    controller.setPopoverPresentationSuppressed(false);
    controller.showPopover();
    EXPECT_TRUE(view.popover);
}

TEST_F(StatusBarControllerTest, CloseCallbacksRunInOrderOnceThePanelIsGone) {
    std::vector<int> order;
    controller.closePopover([&] { order.push_back(0); });
    EXPECT_EQ(order, std::vector{0}) << "nothing shown: runs at once";
    controller.showPopover();
    controller.closePopover([&] { order.push_back(1); });
    controller.closePopover([&] { order.push_back(2); });
    EXPECT_EQ(order.size(), 1u) << "waits for the close to finish";
    controller.popoverDidClose();
    EXPECT_EQ(order, (std::vector{0, 1, 2}));
}

TEST_F(StatusBarControllerTest, ResignClosesThePanelExceptDuringALibraryDrag) {
    controller.showPopover();
    EXPECT_TRUE(controller.beginVisualMemoryDrag());
    EXPECT_FALSE(view.popover);
    EXPECT_TRUE(view.recovery);
    controller.applicationDidResignActive();
    EXPECT_TRUE(log.mentions("closePopover skipped for visual memory drag application resign"));
    controller.endVisualMemoryDrag();
    mainQueue.drain();
    EXPECT_TRUE(view.popover);
    EXPECT_FALSE(view.recovery);
    EXPECT_TRUE(log.mentions("status popover restored after visual memory drag"));

    controller.applicationDidResignActive();
    EXPECT_TRUE(log.mentions("closePopover reason=applicationResign"));
    EXPECT_FALSE(view.popover);

    controller.showPopover();
    controller.beginVisualMemoryDrag();
    view.recovery = false; // closed by the user meanwhile
    controller.endVisualMemoryDrag();
    mainQueue.drain();
    EXPECT_FALSE(view.popover);
    EXPECT_TRUE(log.mentions("status popover closed during visual memory drag; clearing stale presentation"));
    EXPECT_FALSE(controller.beginVisualMemoryDrag()) << "no panel, nothing to hide";
}

TEST(StatusBarControllerWithoutTargetTest, SaysTheControllerIsMissing) {
    testing::CapturedLog log;
    ManualClock clock;
    ManualMainQueue mainQueue{clock};
    FakeStatusItemView view;
    StatusBarController controller{view, mainQueue};
    controller.handleClick(StatusBarController::Button::left);
    controller.showPopover();
    EXPECT_TRUE(log.mentions("StatusBarController init"));
    EXPECT_TRUE(log.mentions("status item tapped but controller missing"));
    EXPECT_TRUE(log.mentions("showPopover skipped (button/controller missing)"));
    EXPECT_FALSE(view.popover);
}

} // namespace
} // namespace brisklet
