#include "ZelvorApp/Control/AppActionDispatcher.h"
#include "ZelvorApp/Control/AppDelegate.h"
#include "ZelvorApp/Control/AppHarness.h"
#include "ZelvorApp/Control/PinTextSourcePolicy.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace brisklet {
namespace {

using control_testing::AppHarness;
namespace fs = std::filesystem;

bool hasLine(AppHarness& app, const std::string& prefix) {
    return !app.log.linesStartingWith(prefix).empty();
}

/// Opens the editor on a confirmed region.
void openEditor(AppHarness& app, AppController& controller) {
    controller.handleHotkey(GlobalHotkeyAction::screenshot);
    app.overlay.select(app.regionSelection());
    app.settle();
    ASSERT_EQ(app.model.state(), AppViewState::editingScreenshot);
}

TEST(AppControllerStartup, TimersShowWelcomeOnceThenThePopoverOnLaterLaunches) {
    {
        AppHarness app;
        app.started();
        EXPECT_TRUE(hasLine(app, "AppController init state=idle"));
        EXPECT_EQ(app.thumbnails.cleanupAges, std::vector<double>{86400});
        app.mainQueue.runFor(0.69);
        EXPECT_FALSE(hasLine(app, "startup visibility timer fired"));
        app.mainQueue.runFor(0.01);
        EXPECT_TRUE(hasLine(app, "startup visibility timer fired"));
        ASSERT_EQ(app.alerts.alerts.size(), 1u);
        EXPECT_EQ(app.alerts.alerts[0].buttons.size(), 3u);
        EXPECT_TRUE(app.defaults.boolValue(DefaultsKeys::didShowWelcomeWindow));
        app.alerts.answer(1); // start using
        EXPECT_EQ(app.statusItem.popoverShows, 1);
        EXPECT_EQ(app.host.policy, ActivationPolicy::accessory);
        app.mainQueue.runFor(0.8);
        EXPECT_FALSE(hasLine(app, "startup fallback opening settings"));
        EXPECT_EQ(app.settingsWindow.presents, 0);
        app.mainQueue.runFor(3.5);
        EXPECT_TRUE(hasLine(app, "automatic update check"));
    }
    AppHarness again;
    again.defaults.setBool(DefaultsKeys::didShowWelcomeWindow, true);
    again.started();
    again.mainQueue.runFor(0.7);
    EXPECT_TRUE(hasLine(again, "welcome not needed; showing popover"));
    EXPECT_TRUE(again.alerts.alerts.empty());
    EXPECT_EQ(again.statusItem.popoverShows, 1);
}

TEST(AppControllerStartup, FallbackOpensSettingsWhenNothingWasShown) {
    AppHarness app;
    AppController& controller = app.started();
    // A screenshot started before the first timer keeps the welcome from running.
    app.mainQueue.runFor(0.3);
    controller.handleHotkey(GlobalHotkeyAction::screenshot);
    app.mainQueue.runFor(0.5);
    app.overlay.cancel();
    EXPECT_EQ(app.model.state(), AppViewState::idle);
    EXPECT_FALSE(hasLine(app, "startup visibility timer fired"));
    app.mainQueue.runFor(0.7);
    EXPECT_TRUE(hasLine(app, "startup fallback opening settings because no visible window and no popover"));
    EXPECT_EQ(app.settingsWindow.presents, 1);
}

TEST(AppControllerStartup, ScreenRecordingIsRequestedInFrontOnceThenProbedSilently) {
    AppHarness app;
    app.privacy.screenGranted = false;
    app.started();
    app.mainQueue.runFor(0.7);
    EXPECT_TRUE(hasLine(app, "temporarily promoting app to regular for startup screen recording request"));
    EXPECT_TRUE(hasLine(app, "startup screen recording request result=false"));
    EXPECT_TRUE(app.defaults.boolValue("brisklet.didAttemptStartupScreenRecordingRequest.com.brisklet.Brisklet"));
    EXPECT_EQ(app.privacy.screenRequests, 1);
}

TEST(AppDelegate, SecondInstanceOfTheSameExecutableInTheSameSessionEnds) {
    AppHarness app;
    int controllersMade = 0;
    auto factory = [&] {
        ++controllersMade;
        return std::make_unique<AppController>(
            AppEnvironment{AppServices{app.defaults, app.mainQueue, app.clock, app.localization, app.codec,
                                       app.permissions, app.desktopVisibility, app.launchAtLogin, app.exportService,
                                       app.copyPersistence, app.store, app.visualMemory, app.sources, app.capture,
                                       app.displays, app.captureQueue, app.pasteboard, app.workspace},
                           app.ports},
            app.model);
    };
    app.host.processes = {{100, app.host.executable, true, app.host.session},
                          {200, fs::path("/usr/bin/brisklet-engine"), false, app.host.session},
                          {300, fs::path("/opt/other/brisklet-engine"), true, app.host.session},
                          {400, fs::path("/usr/bin/brisklet-engine"), true, std::string(":1|other")}};
    {
        AppDelegate delegate(app.host, {}, factory);
        EXPECT_TRUE(delegate.applicationDidFinishLaunching()) << "commands, other paths and other sessions do not count";
        EXPECT_TRUE(hasLine(app, "applicationDidFinishLaunching complete; log file: "));
        EXPECT_TRUE(hasLine(app, "set activation policy to accessory"));
        delegate.applicationWillTerminate();
        EXPECT_TRUE(hasLine(app, "tearDown"));
    }
    app.host.processes.push_back({500, fs::path("/usr/bin/brisklet-engine"), true, app.host.session});
    AppDelegate duplicate(app.host, {}, factory);
    EXPECT_FALSE(duplicate.applicationDidFinishLaunching());
    EXPECT_TRUE(hasLine(app, "duplicate instance detected; terminating current process"));
    EXPECT_EQ(app.host.terminations, 1);
    EXPECT_EQ(controllersMade, 1);
}

TEST(AppDelegate, DebugNotificationsNeedTheBypassSwitch) {
    AppHarness app;
    auto factory = [&] { return std::make_unique<AppController>(AppEnvironment{AppServices{app.defaults, app.mainQueue, app.clock, app.localization, app.codec, app.permissions, app.desktopVisibility, app.launchAtLogin, app.exportService, app.copyPersistence, app.store, app.visualMemory, app.sources, app.capture, app.displays, app.captureQueue, app.pasteboard, app.workspace}, app.ports}, app.model); };
    AppDelegate plain(app.host, {}, factory);
    plain.applicationDidFinishLaunching();
    EXPECT_FALSE(plain.handleDebugNotification(AppDelegate::debugStartScreenshot));
    EXPECT_TRUE(app.overlay.configurations.empty());
    plain.applicationWillTerminate();

    AppDebugSwitches switches;
    switches.bypassScreenRecordingPermission = true;
    switches.legacyRegularMode = true;
    AppDelegate debug(app.host, switches, factory);
    debug.applicationDidFinishLaunching();
    EXPECT_TRUE(hasLine(app, "set activation policy to regular"));
    EXPECT_TRUE(debug.handleDebugNotification(AppDelegate::debugStartScreenshot));
    EXPECT_EQ(app.overlay.configurations.size(), 1u);
}

TEST(AppControllerHotkeys, ScreenshotHotkeyTogglesTheOverlay) {
    AppHarness app;
    AppController& controller = app.started();
    controller.handleHotkey(GlobalHotkeyAction::screenshot);
    EXPECT_EQ(app.model.state(), AppViewState::selectingScreenshotRegion);
    ASSERT_EQ(app.overlay.configurations.size(), 1u);
    const SelectionOverlayConfiguration& configuration = app.overlay.configurations[0];
    EXPECT_TRUE(configuration.autoConfirmOnMouseUp);
    EXPECT_TRUE(configuration.waitForCleanSnapshotBeforeConfirm);
    EXPECT_FALSE(configuration.showsActionButtons);
    EXPECT_EQ(configuration.preferredScreenFrame, (Rect{{0, 0}, {800, 600}}));
    controller.handleHotkey(GlobalHotkeyAction::screenshot);
    EXPECT_EQ(app.model.state(), AppViewState::idle);
    EXPECT_EQ(app.overlay.closeReasons, std::vector<std::string>{"cancelling active selection overlay"});
    EXPECT_TRUE(hasLine(app, "screenshot hotkey cancels active selection"));
    EXPECT_EQ(app.overlay.configurations.size(), 1u) << "the second press only closes";
}

TEST(AppControllerHotkeys, NestedScreenshotFollowsThePreference) {
    AppHarness app;
    AppController& controller = app.started();
    openEditor(app, controller);
    app.editor.handlers().onHotkeyScopeChanged(true);
    EXPECT_TRUE(controller.globalHotkeysSuppressed());
    EXPECT_TRUE(app.hotkeys.suspended);
    EXPECT_TRUE(app.hotkeys.allowedWhileSuspended.empty());
    controller.handleHotkey(GlobalHotkeyAction::screenshot);
    EXPECT_EQ(app.model.state(), AppViewState::editingScreenshot);
    EXPECT_EQ(app.overlay.configurations.size(), 1u);
    app.editor.handlers().onHotkeyScopeChanged(false);
    controller.handleHotkey(GlobalHotkeyAction::screenshot);
    EXPECT_EQ(app.overlay.configurations.size(), 1u) << "editing without the preference ignores the key";

    controller.updatePreferences([](AppPreferences& p) { p.allowNestedScreenshotHotkey = true; });
    app.editor.handlers().onHotkeyScopeChanged(true);
    EXPECT_EQ(app.hotkeys.allowedWhileSuspended, std::set<GlobalHotkeyAction>{GlobalHotkeyAction::screenshot});
    controller.handleHotkey(GlobalHotkeyAction::longshot);
    EXPECT_EQ(app.model.state(), AppViewState::editingScreenshot) << "only the screenshot key passes";
    controller.handleHotkey(GlobalHotkeyAction::screenshot);
    EXPECT_EQ(app.model.state(), AppViewState::selectingScreenshotRegion);
    EXPECT_EQ(app.editor.discards, 1);
    EXPECT_TRUE(hasLine(app, "discarding existing screenshot editor before new screenshot"));
    EXPECT_FALSE(controller.globalHotkeysSuppressed());
}

TEST(AppControllerHotkeys, RecordingAHotkeyHoldsBackEveryHotkey) {
    AppHarness app;
    AppController& controller = app.started();
    controller.setGlobalHotkeysSuspended(true, GlobalHotkeySuspensionReason::recording);
    for (const GlobalHotkeyAction action : allCases<GlobalHotkeyAction>()) {
        controller.handleHotkey(action);
    }
    EXPECT_TRUE(app.overlay.configurations.empty());
    EXPECT_EQ(app.model.state(), AppViewState::idle);
    EXPECT_TRUE(app.hotkeys.suspended);
    controller.setGlobalHotkeysSuspended(false, GlobalHotkeySuspensionReason::recording);
    EXPECT_FALSE(app.hotkeys.suspended);
    controller.handleHotkey(GlobalHotkeyAction::screenshot);
    EXPECT_EQ(app.overlay.configurations.size(), 1u);
}

TEST(AppControllerHotkeys, EscapeClosesPinnedScreenshotsOnlyWhileIdleAndAllowed) {
    AppHarness app;
    AppController& controller = app.started();
    app.pinned.pinImage(Image(4, 4), Rect{{0, 0}, {4, 4}}, PinnedMouseDoubleClickAction::none);
    app.pinned.pinImage(Image(4, 4), Rect{{10, 0}, {4, 4}}, PinnedMouseDoubleClickAction::none);
    controller.pinnedWindowsChanged();
    EXPECT_EQ(app.hotkeys.escapeActive, app.model.preferences().closesPinnedScreenshotWithEscape);
    controller.updatePreferences([](AppPreferences& p) { p.closesPinnedScreenshotWithEscape = true; });
    controller.pinnedWindowsChanged();
    EXPECT_TRUE(app.hotkeys.escapeActive);

    controller.handlePinnedScreenshotEscape();
    EXPECT_EQ(app.pinned.closedImages, 1);
    EXPECT_TRUE(app.hotkeys.escapeActive) << "one pinned screenshot is still open";

    // A selection in progress owns Escape.
    controller.handleHotkey(GlobalHotkeyAction::screenshot);
    EXPECT_FALSE(app.hotkeys.escapeActive);
    controller.handlePinnedScreenshotEscape();
    EXPECT_EQ(app.pinned.closedImages, 1);
    controller.stopActiveOperation();
    app.mainQueue.drain();
    EXPECT_EQ(app.model.state(), AppViewState::idle);
    EXPECT_TRUE(app.hotkeys.escapeActive);

    controller.handlePinnedScreenshotEscape();
    EXPECT_EQ(app.pinned.closedImages, 2);
    EXPECT_FALSE(app.hotkeys.escapeActive) << "nothing left to close";
}

TEST(AppControllerScreenshot, SaveRecordsTheExportAndShowsItsThumbnail) {
    AppHarness app;
    AppController& controller = app.started();
    openEditor(app, controller);
    ASSERT_EQ(app.editor.requests.size(), 1u);
    EXPECT_EQ(app.editor.requests[0].image.width(), 200);
    EXPECT_EQ(app.host.policy, ActivationPolicy::regular);
    const fs::path file = app.paths.root() / "shot.png";
    std::ofstream(file) << "png";
    app.editor.handlers().onFinish(ScreenshotSaveResult::success(file));
    EXPECT_EQ(app.model.state(), AppViewState::idle);
    EXPECT_EQ(app.host.policy, ActivationPolicy::accessory);
    ASSERT_EQ(app.model.recentExports().size(), 1u);
    EXPECT_EQ(app.model.recentExports()[0].url, file);
    EXPECT_EQ(app.model.recentExports()[0].byteCount, 3);
    ASSERT_EQ(app.thumbnails.presented.size(), 1u);
    EXPECT_EQ(app.thumbnails.contexts[0].captureFrame, (Rect{{10, 10}, {200, 100}})) << "shown where it was taken";
    EXPECT_EQ(app.model.visualMemoryItems().size(), 1u);
    EXPECT_EQ(app.model.preferences().lastScreenshotSelection->globalRect, (Rect{{10, 10}, {200, 100}}));
    const std::vector<AppViewState> tail(app.statusItem.iconStates.end() - 2, app.statusItem.iconStates.end());
    EXPECT_EQ(tail, (std::vector<AppViewState>{AppViewState::exportSuccess, AppViewState::idle}));
}

TEST(AppControllerScreenshot, FailedSaveHoldsTheFailureStateForOnePointTwoSeconds) {
    AppHarness app;
    AppController& controller = app.started();
    openEditor(app, controller);
    app.editor.handlers().onFinish(
        ScreenshotSaveResult::failure(ScreenshotEditorFailure{ScreenshotEditorError::encodeFailed}));
    EXPECT_EQ(app.model.state(), AppViewState::exportFailure);
    ASSERT_FALSE(app.alerts.alerts.empty());
    EXPECT_EQ(app.alerts.alerts.back().message, app.localization.text(L10nKey::errorEditorEncodeFailed));
    app.mainQueue.runFor(1.19);
    EXPECT_EQ(app.model.state(), AppViewState::exportFailure);
    app.mainQueue.runFor(0.01);
    EXPECT_EQ(app.model.state(), AppViewState::idle);
    EXPECT_TRUE(app.model.recentExports().empty());
}

TEST(AppControllerScreenshot, CopyWithoutAutoSaveWritesNothing) {
    AppHarness app;
    AppController& controller = app.started();
    openEditor(app, controller);
    app.editor.handlers().onCopy(ScreenshotCopyPayload{Image(4, 4), std::nullopt});
    EXPECT_EQ(app.model.state(), AppViewState::idle);
    EXPECT_EQ(app.model.lastMessage(), app.localization.text(L10nKey::messageScreenshotCopied));
    EXPECT_EQ(app.copyQueue->pendingTaskCount(), 0u);
    EXPECT_TRUE(app.model.recentExports().empty());
    EXPECT_TRUE(hasLine(app, "screenshot copy finished without persistence totalMs="));
}

TEST(AppControllerScreenshot, CopyWithAutoSaveWritesThePngAndRecordsIt) {
    AppHarness app;
    AppController& controller = app.started();
    openEditor(app, controller);
    const fs::path file = app.paths.root() / "copied.png";
    Image image(4, 4);
    image.fill(255, 0, 0);
    app.editor.handlers().onCopy(ScreenshotCopyPayload{image, file});
    EXPECT_EQ(app.model.state(), AppViewState::idle);
    EXPECT_TRUE(app.model.recentExports().empty()) << "the list changes once the file exists";
    app.copyQueue->runPending();
    app.settle();
    ASSERT_TRUE(fs::exists(file));
    ASSERT_EQ(app.model.recentExports().size(), 1u);
    EXPECT_EQ(app.model.recentExports()[0].url, file);
    EXPECT_EQ(app.model.visualMemoryItems().size(), 1u);
    EXPECT_TRUE(hasLine(app, "screenshot copy persisted encodeMs="));
}

TEST(AppControllerScreenshot, PinAndCancelReturnToIdle) {
    AppHarness app;
    AppController& controller = app.started();
    openEditor(app, controller);
    app.editor.handlers().onPin(Image(3, 3), Rect{{5, 5}, {3, 3}});
    EXPECT_EQ(app.model.state(), AppViewState::idle);
    ASSERT_EQ(app.pinned.images.size(), 1u);
    openEditor(app, controller);
    app.editor.handlers().onCancel();
    EXPECT_EQ(app.model.state(), AppViewState::idle);
    EXPECT_TRUE(hasLine(app, "screenshot editor cancel"));
    EXPECT_EQ(app.editor.closes, 2);
}

TEST(AppControllerScreenshot, APinWithNowhereToPinKeepsTheImageOnTheClipboard) {
    AppHarness app;
    app.ports.pinnedWindows = nullptr;
    AppController& controller = app.started();
    openEditor(app, controller);
    Image pinned(3, 3);
    pinned.fill(9, 8, 7);
    app.editor.handlers().onPin(pinned, Rect{{5, 5}, {3, 3}});
    EXPECT_EQ(app.model.state(), AppViewState::idle);
    ASSERT_TRUE(app.pasteboard.readImage()) << "the editor is gone; the work must not be";
    EXPECT_EQ(*app.pasteboard.readImage(), pinned);
    EXPECT_TRUE(hasLine(app, "pinned windows unavailable flow=screenshotPin copiedToClipboard=true"));
}

TEST(AppControllerScreenshot, MissingOverlayOrEditorIsSaidAndReturnsToIdle) {
    AppHarness app;
    app.ports.selectionOverlay = nullptr;
    AppController& controller = app.started();
    controller.handleHotkey(GlobalHotkeyAction::screenshot);
    EXPECT_TRUE(hasLine(app, "selection overlay unavailable flow=screenshot"));
    EXPECT_EQ(app.model.state(), AppViewState::idle);

    AppHarness noEditor;
    noEditor.ports.editor = nullptr;
    AppController& other = noEditor.started();
    other.handleHotkey(GlobalHotkeyAction::screenshot);
    noEditor.overlay.select(noEditor.regionSelection());
    noEditor.settle();
    EXPECT_TRUE(hasLine(noEditor, "screenshot editor unavailable"));
    EXPECT_EQ(noEditor.model.state(), AppViewState::idle);
}

TEST(AppControllerScreenshot, WindowCapturesRunOffTheMainQueue) {
    AppHarness app;
    AppController& controller = app.started();
    Image window(50, 40);
    window.fill(1, 2, 3);
    app.tool.setImage(window);
    controller.handleHotkey(GlobalHotkeyAction::screenshot);
    ScreenSelectionResult result = app.regionSelection();
    result.captureSource.windowID = 0x42;
    result.screenSnapshotImage.reset();
    app.overlay.select(result);
    EXPECT_EQ(app.model.state(), AppViewState::takingScreenshot);
    EXPECT_EQ(app.captureQueue.pendingTaskCount(), 1u);
    app.settle();
    ASSERT_EQ(app.editor.requests.size(), 1u);
    EXPECT_EQ(app.editor.requests[0].image.width(), 50);
    EXPECT_EQ(app.editor.requests[0].captureContext, BackgroundCaptureContext::window)
        << "the background offers window frames for a clicked window";
}

TEST(AppControllerScreenshot, AClickedWindowIsCutFromTheFrozenScreen) {
    AppHarness app;
    AppController& controller = app.started();
    controller.handleHotkey(GlobalHotkeyAction::screenshot);
    ScreenSelectionResult result = app.regionSelection();
    result.captureSource.windowID = 0x42;
    app.overlay.select(result);
    app.settle();
    ASSERT_EQ(app.editor.requests.size(), 1u);
    EXPECT_EQ(app.editor.requests[0].image.width(), 200) << "the selection, frame and all, as the user saw it";
    EXPECT_EQ(app.editor.requests[0].captureContext, BackgroundCaptureContext::window);
    const std::uint8_t* corner = app.editor.requests[0].image.row(0);
    EXPECT_EQ((std::array<int, 3>{corner[0], corner[1], corner[2]}), (std::array<int, 3>{20, 120, 220}));
}

TEST(AppControllerScreenshot, PermissionDeniedAfterTheRequestShowsGuidance) {
    AppHarness app;
    AppController& controller = app.started();
    app.privacy.screenGranted = false;
    controller.handleHotkey(GlobalHotkeyAction::screenshot);
    EXPECT_EQ(app.model.state(), AppViewState::permissionRequired);
    EXPECT_TRUE(hasLine(app, "screen recording permission required after request"));
    ASSERT_FALSE(app.alerts.alerts.empty());
    EXPECT_EQ(app.alerts.alerts.back().title, app.localization.text(L10nKey::alertPermissionRequiredTitle));
    EXPECT_TRUE(app.overlay.configurations.empty());
}

TEST(AppControllerExports, AppshotShowsTheAlertAndScreenshotsFollowTheThumbnailPreference) {
    AppHarness app;
    AppController& controller = app.started();
    const fs::path window = app.paths.root() / "appshot.png";
    std::ofstream(window) << "x";
    controller.captureSessionFinished(ExportOutcome::success(window), ExportKind::appshot);
    ASSERT_EQ(app.alerts.alerts.size(), 1u);
    EXPECT_EQ(app.alerts.alerts[0].buttons.size(), 4u);
    EXPECT_EQ(app.alerts.alerts[0].buttons[2], app.localization.text(L10nKey::alertDeleteFile));
    EXPECT_TRUE(app.thumbnails.presented.empty());
    app.alerts.answer(2);
    EXPECT_FALSE(fs::exists(window)) << "the alert's delete button deletes the export";
    EXPECT_TRUE(app.model.recentExports().empty());

    controller.updatePreferences([](AppPreferences& p) { p.showsFloatingThumbnailAfterScreenshotExport = false; });
    const fs::path shot = app.paths.root() / "shot.png";
    std::ofstream(shot) << "x";
    controller.captureSessionFinished(ExportOutcome::success(shot), ExportKind::screenshot);
    EXPECT_TRUE(app.thumbnails.presented.empty());
    EXPECT_EQ(app.alerts.alerts.size(), 1u);
    EXPECT_EQ(app.model.state(), AppViewState::idle);
}

TEST(AppControllerExports, AnnotatedLibraryItemIsRecordedEvenWithScreenshotsOff) {
    AppHarness app;
    AppController& controller = app.started();
    controller.updatePreferences([](AppPreferences& p) {
        p.saveScreenshotToVisualMemory = false;
        p.showsFloatingThumbnailAfterScreenshotExport = false;
    });
    const fs::path original = app.paths.root() / "library.png";
    ASSERT_TRUE(app.codec.writeFile(Image(30, 20), original, ImageFormat::png));
    VisualMemoryItem item = VisualMemoryItem::forFile(original, ExportKind::screenshot, app.clock.now());
    controller.annotateVisualMemoryItem(item);
    ASSERT_EQ(app.editor.requests.size(), 1u);
    EXPECT_EQ(app.editor.requests[0].image.width(), 30);
    const fs::path saved = app.paths.root() / "annotated.png";
    ASSERT_TRUE(app.codec.writeFile(Image(30, 20), saved, ImageFormat::png));
    app.editor.handlers().onFinish(ScreenshotSaveResult::success(saved));
    ASSERT_EQ(app.model.visualMemoryItems().size(), 1u);
    EXPECT_EQ(app.model.visualMemoryItems()[0].url, saved);
    EXPECT_EQ(app.thumbnails.presented.size(), 1u) << "a forced export shows its thumbnail";

    const fs::path next = app.paths.root() / "next.png";
    ASSERT_TRUE(app.codec.writeFile(Image(30, 20), next, ImageFormat::png));
    controller.captureSessionFinished(ExportOutcome::success(next), ExportKind::screenshot);
    EXPECT_EQ(app.model.visualMemoryItems().size(), 1u) << "the force applies to one export only";
}

TEST(AppControllerExports, AReeditedPinIsReplacedBySaveOrPinAndRestoredByCancel) {
    AppHarness app;
    AppController& controller = app.started();
    controller.annotatePinnedImage("pin-1", Image(30, 20));
    ASSERT_EQ(app.pinned.visibility.size(), 1u);
    EXPECT_EQ(app.pinned.visibility[0], std::make_pair(std::string("pin-1"), true)) << "hidden while edited";
    app.editor.handlers().onCancel();
    EXPECT_EQ(app.pinned.visibility.back(), std::make_pair(std::string("pin-1"), false)) << "back as it was";
    EXPECT_TRUE(app.pinned.replacements.empty());

    controller.annotatePinnedImage("pin-1", Image(30, 20));
    const fs::path saved = app.paths.root() / "edited.png";
    ASSERT_TRUE(app.codec.writeFile(Image(44, 22), saved, ImageFormat::png));
    app.editor.handlers().onFinish(ScreenshotSaveResult::success(saved));
    ASSERT_EQ(app.pinned.replacements.size(), 1u);
    EXPECT_EQ(app.pinned.replacements[0].first, "pin-1");
    EXPECT_EQ(app.pinned.replacements[0].second.width(), 44) << "the pin shows what was saved";
    EXPECT_EQ(app.model.recentExports().size(), 1u) << "and the file is an export like any other";

    controller.annotatePinnedImage("pin-1", Image(30, 20));
    app.editor.handlers().onPin(Image(50, 25), Rect{{5, 5}, {50, 25}});
    EXPECT_TRUE(app.pinned.images.empty()) << "no second pin: the old one takes the new picture";
    ASSERT_EQ(app.pinned.replacements.size(), 2u);
    EXPECT_EQ(app.pinned.replacements[1].second.width(), 50);
}

TEST(AppControllerExports, AReeditedCardIsReplacedByItsNewVersionOrGoesOnCountingDown) {
    AppHarness app;
    AppController& controller = app.started();
    ASSERT_TRUE(controller.annotateThumbnailImage(Image(30, 20), VisualMemorySource{}, "card-a"));
    app.editor.handlers().onCancel();
    EXPECT_EQ(app.thumbnails.resumedIDs, std::vector<std::string>{"card-a"});

    ASSERT_TRUE(controller.annotateThumbnailImage(Image(30, 20), VisualMemorySource{}, "card-a"));
    app.editor.handlers().onCopy(ScreenshotCopyPayload{Image(30, 20), std::nullopt});
    EXPECT_EQ(app.thumbnails.resumedIDs.size(), 2u) << "a copy without a file leaves the card as it was";

    ASSERT_TRUE(controller.annotateThumbnailImage(Image(30, 20), VisualMemorySource{}, "card-a"));
    const fs::path saved = app.paths.root() / "edited.png";
    ASSERT_TRUE(app.codec.writeFile(Image(30, 20), saved, ImageFormat::png));
    app.editor.handlers().onFinish(ScreenshotSaveResult::success(saved));
    EXPECT_EQ(app.thumbnails.removedIDs, std::vector<std::string>{"card-a"});
    ASSERT_EQ(app.thumbnails.presented.size(), 1u) << "the new version takes the old card's place";
    EXPECT_EQ(app.thumbnails.presented[0].url, saved);
}

TEST(AppControllerExports, SaveFromAPinWritesANewScreenshot) {
    AppHarness app;
    AppController& controller = app.started();
    const fs::path directory = app.paths.root() / "exports";
    controller.updatePreferences([&directory](AppPreferences& p) { p.exportDirectory = directory.string(); });
    controller.savePinnedImage(Image(12, 8));
    controller.savePinnedImage(Image(12, 8));
    ASSERT_EQ(app.model.recentExports().size(), 2u);
    EXPECT_NE(app.model.recentExports()[0].url, app.model.recentExports()[1].url) << "never over an earlier one";
    for (const auto& asset : app.model.recentExports()) {
        EXPECT_EQ(asset.url.parent_path(), directory);
        EXPECT_EQ(app.codec.readFile(asset.url).value().width(), 12);
    }
}

TEST(AppControllerPinText, WhitespaceSelectionFallsBackToTheClipboard) {
    AppHarness app;
    AppController& controller = app.started();
    app.selectedText.focused = " \r\n\t ";
    app.pasteboard.writeText("  from the\r\nclipboard\r ");
    controller.handleHotkey(GlobalHotkeyAction::pinClipboardText);
    EXPECT_EQ(app.pinned.texts, std::vector<std::string>{"from the\nclipboard"});
    EXPECT_TRUE(hasLine(app, "clipboard text pinned length=18 source=pasteboard"));

    app.privacy.accessibilityTrusted = false;
    controller.pinClipboardText();
    EXPECT_EQ(app.pinned.texts.size(), 1u);
    EXPECT_EQ(app.privacy.accessibilityRequests, 1);
    EXPECT_TRUE(hasLine(app, "pin text skipped reason=accessibilityPermissionRequired app=Firefox"));
}

TEST(PinTextSourcePolicy, NormalisesLineEndsAndPrefersTheSelection) {
    EXPECT_EQ(PinTextSourcePolicy::normalized("a\r\nb\rc\n"), "a\nb\nc");
    const auto selection = PinTextSourcePolicy::textToPin(std::string(" sel "), std::string("clip"));
    EXPECT_EQ(selection, (PinTextSourcePolicy::Choice{"sel", PinTextSourcePolicy::Source::selection}));
    EXPECT_FALSE(PinTextSourcePolicy::textToPin(std::string("\n"), std::string(" ")).has_value());
}

TEST(AppControllerTearDown, FlushWaitsForASlowPngWrite) {
    AppHarness app;
    AppController& controller = app.started();
    openEditor(app, controller);
    const fs::path file = app.paths.root() / "slow.png";
    app.editor.handlers().onCopy(ScreenshotCopyPayload{Image(8, 8), file});
    // The write finishes two seconds into the flush.
    app.mainQueue.postAfter(2.0, [&app] { app.copyQueue->runPending(); });
    controller.tearDown();
    EXPECT_TRUE(fs::exists(file));
    EXPECT_FALSE(hasLine(app, "screenshot copy persistence flush timed out"));
    EXPECT_TRUE(hasLine(app, "tearDown"));
    EXPECT_EQ(app.hotkeys.unregistrations, 1);
    EXPECT_EQ(app.thumbnails.dismissals, 1);
}

TEST(AppControllerTearDown, FlushGivesUpAfterFiveSeconds) {
    AppHarness app;
    AppController& controller = app.started();
    openEditor(app, controller);
    app.editor.handlers().onCopy(ScreenshotCopyPayload{Image(8, 8), app.paths.root() / "stuck.png"});
    const double before = app.clock.monotonicSeconds();
    controller.tearDown();
    EXPECT_TRUE(hasLine(app, "screenshot copy persistence flush timed out"));
    EXPECT_NEAR(app.clock.monotonicSeconds() - before, 5.0, 0.02);
}

TEST(AppControllerSystem, LoginItemFollowsThePreference) {
    AppHarness app;
    AppController& controller = app.started();
    EXPECT_TRUE(app.loginItems.isRegistered()) << "launch at login is on by default";
    controller.setLaunchAtLoginEnabled(false);
    EXPECT_FALSE(app.loginItems.isRegistered());
    EXPECT_FALSE(app.model.preferences().launchAtLoginEnabled);
    EXPECT_FALSE(PreferencesStore(app.defaults).load().launchAtLoginEnabled);
}

TEST(AppActionDispatcher, NamesEveryHotkeyActionAndTheCommands) {
    const auto names = AppActionDispatcher::actionNames();
    EXPECT_EQ(names.front(), "screenshot");
    EXPECT_NE(std::find(names.begin(), names.end(), "stopActiveOperation"), names.end());
    AppHarness app;
    AppController& controller = app.started();
    EXPECT_TRUE(AppActionDispatcher::dispatch("screenshot", controller, app.host));
    EXPECT_EQ(app.model.state(), AppViewState::selectingScreenshotRegion);
    EXPECT_TRUE(AppActionDispatcher::dispatch("stopActiveOperation", controller, app.host));
    EXPECT_EQ(app.model.state(), AppViewState::idle);
    EXPECT_TRUE(AppActionDispatcher::dispatch("quit", controller, app.host));
    EXPECT_EQ(app.host.terminations, 1);
    EXPECT_FALSE(AppActionDispatcher::dispatch("selfDestruct", controller, app.host));
}

} // namespace
} // namespace brisklet
