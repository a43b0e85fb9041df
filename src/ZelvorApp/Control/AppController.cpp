#include "ZelvorApp/Control/AppController.h"

#include "Platform/Clock.h"
#include "Platform/DefaultsStore.h"
#include "Platform/DisplayServer.h"
#include "Platform/ImageCodec.h"
#include "Platform/MainQueue.h"
#include "Platform/Pasteboard.h"
#include "Platform/Workspace.h"
#include "ZelvorApp/Control/AppModel.h"
#include "ZelvorApp/Control/PinTextSourcePolicy.h"
#include "ZelvorApp/Control/Ports/AlertPresenter.h"
#include "ZelvorApp/Control/Ports/AppWindowPort.h"
#include "ZelvorApp/Control/Ports/ApplicationHost.h"
#include "ZelvorApp/Control/Ports/FloatingThumbnailPort.h"
#include "ZelvorApp/Control/Ports/HotkeyManagerPort.h"
#include "ZelvorApp/Control/Ports/PinnedWindowsPort.h"
#include "ZelvorApp/Control/Ports/SelectedTextSource.h"
#include "ZelvorApp/Control/Ports/StatusItemPort.h"
#include "ZelvorApp/Control/ReeditedCapture.h"
#include "ZelvorApp/Control/StartupPreferencesMigration.h"
#include "ZelvorApp/Editor/ScreenshotPngWriter.h"
#include "ZelvorApp/Infrastructure/DesktopVisibilityController.h"
#include "ZelvorApp/Infrastructure/LaunchAtLoginService.h"
#include "ZelvorApp/Infrastructure/LocalizationStore.h"
#include "ZelvorApp/Infrastructure/PermissionService.h"
#include "ZelvorApp/Infrastructure/RuntimeLogger.h"
#include "ZelvorApp/Export/ExportService.h"
#include "ZelvorApp/Export/ScreenshotCopyPersistenceCoordinator.h"
#include "ZelvorApp/Memory/ClipboardVisualMemoryMonitor.h"
#include "ZelvorApp/Memory/ClipboardVisualMemoryRecorder.h"
#include "ZelvorApp/Memory/VisualMemorySourceCollector.h"
#include "ZelvorCore/Stores/VisualMemoryStore.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>

namespace brisklet {

namespace {

long long wholeMs(double seconds) {
    return std::max(0LL, static_cast<long long>(std::floor(seconds * 1000.0)));
}

bool globalHotkeysDiffer(const AppPreferences& a, const AppPreferences& b) {
    return a.screenshotHotkey != b.screenshotHotkey || a.floatingScreenshotHotkey != b.floatingScreenshotHotkey ||
           a.textRecognitionScreenshotHotkey != b.textRecognitionScreenshotHotkey ||
           a.translateScreenshotHotkey != b.translateScreenshotHotkey || a.longshotHotkey != b.longshotHotkey ||
           a.gifRegionHotkey != b.gifRegionHotkey || a.gifWindowHotkey != b.gifWindowHotkey ||
           a.appPanelHotkey != b.appPanelHotkey || a.visualLibraryHotkey != b.visualLibraryHotkey ||
           a.pinClipboardTextHotkey != b.pinClipboardTextHotkey;
}

bool isRecordingOrEditingState(AppViewState state) {
    const int value = static_cast<int>(state);
    return value >= static_cast<int>(AppViewState::editingScreenshot) &&
           value <= static_cast<int>(AppViewState::finalizingGif);
}

bool isScreenshotCaptureState(AppViewState state) {
    return state == AppViewState::selectingScreenshotRegion || state == AppViewState::capturingSuperScreenshot ||
           state == AppViewState::takingScreenshot;
}

} // namespace

AppController::AppController(AppEnvironment environment, AppModel& model)
    : env_(std::move(environment)), model_(model), preferencesStore_(env_.services.defaults),
      recentStore_(env_.services.defaults, DefaultsKeys::recentExports, recentExportLimit),
      popover_(env_.ports.statusItem),
      gates_(env_, model_, [this] { return recordingFlows_.isVideoRecordingActive(); }),
      bookkeeping_(env_, model_, recentStore_),
      recordingFlows_(env_, model_, gates_, bookkeeping_, popover_,
                      [this](const auto& change) { updatePreferences(change); }),
      screenshotFlow_(env_, model_, gates_, bookkeeping_, popover_,
                      ScreenshotFlow::Hooks{[this](const auto& change) { updatePreferences(change); },
                                            [this](bool active, ScreenshotEditorInitialInteractionMode mode) {
                                                editorHotkeyScopeChanged(active, mode);
                                            }}),
      superScreenshots_(env_, model_, gates_, popover_), updates_(env_, model_, firstUpdateCheckDelaySeconds), alive_(std::make_shared<bool>(true)) {
    model_.setStateChangeReaction([this](AppViewState state) { stateChanged(state); });
}

AppController::~AppController() {
    model_.setStateChangeReaction({});
    if (!tornDown_) {
        tearDown();
    }
}

// MARK: start-up

void AppController::start() {
    loadPreferences();
    RuntimeLogger::configure(model_.preferences());
    model_.setRecentExports(recentStore_.load());
    cleanupVisualMemoryAtStartup();
    synchroniseSystem();
    RuntimeLogger::log("AppController init state=" + std::string(toString(model_.state())));
    startServices();
    scheduleStartupTimers();
}

void AppController::loadPreferences() {
    AppPreferences preferences = preferencesStore_.load();
    if (runStartupPreferencesMigrations(preferences, env_.services.defaults)) {
        preferencesStore_.save(preferences);
    }
    model_.setPreferences(std::move(preferences));
}

void AppController::cleanupVisualMemoryAtStartup() {
    // The library window reads the cards' proportions from the files' headers in the background
    // once start-up is done ("visualMemory aspect ratios prewarmed").
    model_.setVisualMemoryItems(env_.services.visualMemory.startupCleanup());
}

void AppController::synchroniseSystem() {
    model_.setDesktopIconsHidden(env_.services.desktopVisibility.currentDesktopIconsState() ==
                                 DesktopIconsState::hidden);
    if (env_.ports.floatingThumbnails) {
        env_.ports.floatingThumbnails->removeTemporaryFiles(thumbnailFileMaxAgeSeconds);
        env_.ports.floatingThumbnails->configure(model_.preferences().floatingThumbnailPosition,
                                                 model_.preferences().floatingThumbnailDismissDelay);
    }
    env_.services.launchAtLogin.sync(model_.preferences().launchAtLoginEnabled);
    env_.services.localization.apply(model_.preferences().appLanguage);
    model_.setPermissionSnapshot(env_.services.permissions.snapshot());
    std::weak_ptr<bool> alive = weakSelf();
    localizationObserver_ = env_.services.localization.addObserver([this, alive](const LocalizationStore& store) {
        if (!alive.expired()) {
            RuntimeLogger::log("localization changed language=" + std::string(toString(store.resolvedAppLanguage())));
            updates_.localizationChanged();
            model_.setState(model_.state());
        }
    });
}

void AppController::startServices() {
    if (env_.ports.statusItem) {
        env_.ports.statusItem->updateIcon(model_.state(), false);
    } else {
        RuntimeLogger::log("status item unavailable");
    }
    if (env_.ports.hotkeys) {
        env_.ports.hotkeys->reload(model_.preferences());
    } else {
        RuntimeLogger::log("global hotkeys unavailable; use brisklet action NAME");
    }
    env_.services.sources.startTracking();
    if (ClipboardVisualMemoryMonitor* monitor = env_.services.clipboardMonitor) {
        if (ClipboardVisualMemoryRecorder* recorder = env_.services.clipboardRecorder) {
            monitor->onTextCopied = [recorder](const std::string& text) { recorder->recordClipboardText(text); };
            monitor->onImageCopied = [recorder](const Image& image, const std::string& data) {
                recorder->recordClipboardImage(image, data);
            };
        }
        monitor->start();
        RuntimeLogger::log("clipboard visual memory monitor started");
    }
}

void AppController::scheduleStartupTimers() {
    std::weak_ptr<bool> alive = weakSelf();
    MainQueue& queue = env_.services.mainQueue;
    queue.postAfter(startupVisibilityDelaySeconds, [this, alive] {
        if (!alive.expired() && model_.state() == AppViewState::idle) {
            startupVisibilityTimerFired();
        }
    });
    queue.postAfter(startupFallbackDelaySeconds, [this, alive] {
        if (!alive.expired() && model_.state() == AppViewState::idle) {
            startupFallbackTimerFired();
        }
    });
    updates_.start(model_.preferences().automaticUpdateChecksEnabled);
}

void AppController::startupVisibilityTimerFired() {
    RuntimeLogger::log("startup visibility timer fired");
    if (!env_.services.permissions.isAppTranslocated()) {
        runStartupScreenRecordingRequest();
    }
    if (env_.ports.host.hasVisibleWindow()) {
        runWelcomeCheck();
        RuntimeLogger::log("startup popover skipped hasVisibleWindow=true");
        return;
    }
    if (!runWelcomeCheck()) {
        RuntimeLogger::log("welcome not needed; showing popover");
        openMainPanel();
    } else {
        RuntimeLogger::log("startup popover skipped hasVisibleWindow=false");
    }
}

void AppController::startupFallbackTimerFired() {
    StatusItemPort* status = env_.ports.statusItem;
    const bool popoverVisible = status && (status->isPopoverShown() || status->isDragRecoveryPanelVisible());
    const bool mainPanelVisible = env_.ports.mainPanelWindow && env_.ports.mainPanelWindow->isVisible();
    if (env_.ports.host.hasVisibleWindow() || env_.services.defaults.boolValue(DefaultsKeys::didShowWelcomeWindow) ||
        popoverVisible || mainPanelVisible) {
        return;
    }
    RuntimeLogger::log("startup fallback opening settings because no visible window and no popover");
    openSettings();
}

bool AppController::runWelcomeCheck() {
    DefaultsStore& defaults = env_.services.defaults;
    if (defaults.boolValue(DefaultsKeys::didShowWelcomeWindow)) {
        RuntimeLogger::log("welcome already shown previously");
        return false;
    }
    RuntimeLogger::log("presenting welcome fallback alert");
    RuntimeLogger::log("showWelcomeFallbackAlert");
    ApplicationHost& host = env_.ports.host;
    host.setActivationPolicy(ActivationPolicy::regular);
    host.activate();
    const LocalizationStore& text = env_.services.localization;
    AlertRequest alert{text.text(L10nKey::alertWelcomeTitle),
                       text.text(L10nKey::alertWelcomeMessage),
                       {text.text(L10nKey::alertOpenSettings), text.text(L10nKey::alertStartUsing),
                        text.text(L10nKey::alertQuit)},
                       AlertRequest::Style::informational};
    defaults.setBool(DefaultsKeys::didShowWelcomeWindow, true);
    std::weak_ptr<bool> alive = weakSelf();
    env_.ports.alerts.present(alert, [this, alive](int button) {
        if (alive.expired()) {
            return;
        }
        if (button == 0) {
            RuntimeLogger::log("welcome alert action=open settings");
            openSettings();
        } else if (button == 2) {
            RuntimeLogger::log("welcome alert action=terminate");
            env_.ports.host.terminate();
        } else {
            RuntimeLogger::log("welcome alert action=start using");
            env_.ports.host.setActivationPolicy(ActivationPolicy::accessory);
            openMainPanel();
        }
    });
    return true;
}

void AppController::runStartupScreenRecordingRequest() {
    PermissionService& permissions = env_.services.permissions;
    if (permissions.hasScreenRecordingAccess()) {
        return;
    }
    const std::string key =
        std::string(DefaultsKeys::didAttemptStartupScreenRecordingRequest) + "." + env_.services.bundleIdentifier;
    DefaultsStore& defaults = env_.services.defaults;
    if (env_.services.bundleIdentifier.empty() || defaults.boolValue(key)) {
        permissions.runRegistrationProbe();
        return;
    }
    defaults.setBool(key, true);
    ApplicationHost& host = env_.ports.host;
    const ActivationPolicy previous = host.activationPolicy();
    if (previous != ActivationPolicy::regular) {
        RuntimeLogger::log("temporarily promoting app to regular for startup screen recording request");
        host.setActivationPolicy(ActivationPolicy::regular);
    }
    host.activate();
    const bool granted = permissions.requestScreenRecordingAccess();
    RuntimeLogger::log(std::string("startup screen recording request result=") + (granted ? "true" : "false"));
    host.setActivationPolicy(previous);
    model_.setPermissionSnapshot(permissions.snapshot());
}

// MARK: state

void AppController::stateChanged(AppViewState state) {
    if (env_.ports.statusItem) {
        env_.ports.statusItem->updateIcon(state, recordingFlows_.isVideoRecordingActive());
    }
    updateFloatingThumbnailPresentation(state);
    updatePinnedScreenshotEscapeHotkey();
    updates_.stateChanged(state);
}

void AppController::updateFloatingThumbnailPresentation(AppViewState state) {
    FloatingThumbnailPort* thumbnails = env_.ports.floatingThumbnails;
    if (!thumbnails) {
        return;
    }
    const bool hidesForScreenshot = model_.preferences().hidesFloatingThumbnailDuringScreenshot;
    const bool screenshotState = isScreenshotCaptureState(state);
    if (!isRecordingOrEditingState(state) && !(screenshotState && hidesForScreenshot)) {
        thumbnails->resume();
        return;
    }
    const bool hid = thumbnails->suspend();
    if (hid && hidesForScreenshot && screenshotState) {
        RuntimeLogger::log("floating thumbnail hidden before screenshot settlingDelay=0.035");
        // The capture must not see the thumbnails fading out.
        env_.services.mainQueue.runFor(thumbnailSettlingSeconds);
    }
}

bool AppController::pinnedScreenshotEscapeApplies() const {
    const bool pinned = env_.ports.pinnedWindows && env_.ports.pinnedWindows->pinnedImageCount() > 0;
    return pinned && model_.preferences().closesPinnedScreenshotWithEscape && model_.state() == AppViewState::idle;
}

void AppController::updatePinnedScreenshotEscapeHotkey() {
    if (!env_.ports.hotkeys) {
        return;
    }
    env_.ports.hotkeys->setPinnedScreenshotEscapeHotkeyActive(pinnedScreenshotEscapeApplies());
}

void AppController::handlePinnedScreenshotEscape() {
    if (!pinnedScreenshotEscapeApplies() || globalHotkeysSuppressed()) {
        updatePinnedScreenshotEscapeHotkey();
        return;
    }
    RuntimeLogger::log("pinned screenshot escape closes pinned screenshot");
    env_.ports.pinnedWindows->closeSelectedOrMostRecentImage();
    updatePinnedScreenshotEscapeHotkey();
}

bool AppController::bringEditorToFront() {
    ScreenshotEditorPort* editor = env_.ports.editor;
    if (!editor || !editor->isOpen()) {
        return false;
    }
    editor->bringToFront();
    RuntimeLogger::log("editor brought to front");
    return true;
}

// MARK: hotkeys

std::set<GlobalHotkeyAction> AppController::allowedActionsWhileSuppressed() const {
    if (suspensionReasons_.contains(GlobalHotkeySuspensionReason::recording)) {
        return {};
    }
    if (suspensionReasons_.contains(GlobalHotkeySuspensionReason::screenshotEditor) && editorAllowsReplacement_) {
        return {GlobalHotkeyAction::screenshot};
    }
    return {};
}

void AppController::setGlobalHotkeysSuspended(bool suspended, GlobalHotkeySuspensionReason reason) {
    if (suspended) {
        suspensionReasons_.insert(reason);
    } else {
        suspensionReasons_.erase(reason);
    }
    if (env_.ports.hotkeys) {
        if (globalHotkeysSuppressed()) {
            env_.ports.hotkeys->suspend(allowedActionsWhileSuppressed());
        } else {
            env_.ports.hotkeys->resume();
        }
    }
    updatePinnedScreenshotEscapeHotkey();
}

void AppController::editorHotkeyScopeChanged(bool active, ScreenshotEditorInitialInteractionMode mode) {
    editorAllowsReplacement_ =
        active && (mode != ScreenshotEditorInitialInteractionMode::normal || model_.preferences().allowNestedScreenshotHotkey);
    setGlobalHotkeysSuspended(active, GlobalHotkeySuspensionReason::screenshotEditor);
}

ScreenshotToolbarImplementation AppController::preferredToolbar() const {
    return env_.services.defaults.boolValue(DefaultsKeys::screenshotToolbarUseFallback)
               ? ScreenshotToolbarImplementation::appKit
               : ScreenshotToolbarImplementation::declarative;
}

void AppController::handleHotkey(GlobalHotkeyAction action) {
    if (globalHotkeysSuppressed() && !allowedActionsWhileSuppressed().contains(action)) {
        RuntimeLogger::log("hotkey ignored action=" + std::string(toString(action)) + " reason=suspended");
        return;
    }
    const AppViewState state = model_.state();
    switch (action) {
    case GlobalHotkeyAction::screenshot: {
        if (state == AppViewState::selectingScreenshotRegion) {
            screenshotFlow_.cancelActiveSelection();
            return;
        }
        const bool mayReplaceEditor = model_.preferences().allowNestedScreenshotHotkey || editorAllowsReplacement_;
        const bool busy = state == AppViewState::takingScreenshot || state == AppViewState::exportingScreenshot ||
                          (!mayReplaceEditor && state == AppViewState::editingScreenshot);
        if (busy) {
            RuntimeLogger::log("screenshot hotkey ignored state=" + std::string(toString(state)));
            return;
        }
        startScreenshot(ScreenshotEditorInitialInteractionMode::normal, preferredToolbar());
        return;
    }
    case GlobalHotkeyAction::floatingScreenshot:
        startFloatingScreenshot();
        return;
    case GlobalHotkeyAction::textRecognitionScreenshot:
        startScreenshot(ScreenshotEditorInitialInteractionMode::textRecognition, preferredToolbar());
        return;
    case GlobalHotkeyAction::translateScreenshot:
        startScreenshot(ScreenshotEditorInitialInteractionMode::translate, preferredToolbar());
        return;
    case GlobalHotkeyAction::pinClipboardText:
        pinClipboardText();
        return;
    case GlobalHotkeyAction::longshot:
        startLongshot();
        return;
    case GlobalHotkeyAction::gifRegion:
        startGIFRegion();
        return;
    case GlobalHotkeyAction::gifWindow:
        startGIFWindow();
        return;
    case GlobalHotkeyAction::appPanel:
        openMainPanel();
        return;
    case GlobalHotkeyAction::visualLibrary:
        openVisualLibrary();
        return;
    }
}

// MARK: actions

void AppController::startScreenshot(ScreenshotEditorInitialInteractionMode mode,
                                    ScreenshotToolbarImplementation toolbar) {
    screenshotFlow_.startScreenshot(mode, toolbar);
}

void AppController::startFloatingScreenshot() {
    screenshotFlow_.startFloatingScreenshot();
}

void AppController::startLongshot() {
    recordingFlows_.startLongshot();
}

void AppController::startGIFRegion() {
    recordingFlows_.startGIFRegion();
}

void AppController::startGIFWindow() {
    recordingFlows_.startGIFWindow();
}

void AppController::pauseCapture() {
    recordingFlows_.pause();
}

void AppController::resumeCapture() {
    recordingFlows_.resume();
}

void AppController::stopCapture() {
    recordingFlows_.stop();
}

void AppController::cancelCapture() {
    recordingFlows_.cancel();
}

void AppController::gifRecordingProgressed(double elapsedSeconds, double maxDurationSeconds) {
    recordingFlows_.gifProgress(elapsedSeconds, maxDurationSeconds);
}

void AppController::captureSessionFinished(const ExportOutcome& outcome, ExportKind kind) {
    recordingFlows_.sessionFinished(outcome, kind);
}

void AppController::stopActiveOperation() {
    if (model_.state() == AppViewState::selectingScreenshotRegion) {
        screenshotFlow_.cancelActiveSelection();
    } else if (recordingFlows_.isCapturing()) {
        recordingFlows_.stop();
    } else {
        RuntimeLogger::log("stop active operation ignored state=" + std::string(toString(model_.state())));
    }
}

bool AppController::canPinText() const {
    return isBetweenCaptures(model_.state());
}

void AppController::pinClipboardText() {
    if (!canPinText()) {
        RuntimeLogger::log("pin text ignored state=" + std::string(toString(model_.state())));
        return;
    }
    PermissionService& permissions = env_.services.permissions;
    const auto frontmost = env_.services.workspace.frontmostApplication();
    if (!permissions.isAccessibilityTrusted() && !permissions.requestAccessibilityAccess()) {
        model_.setLastMessage(env_.services.localization.text(L10nKey::messageAccessibilityRequiredToPinSelectedText));
        RuntimeLogger::log("pin text skipped reason=accessibilityPermissionRequired app=" +
                           (frontmost ? frontmost->localizedName : std::string("nil")));
        return;
    }
    std::optional<std::string> selected;
    if (const SelectedTextSource* source = env_.services.selectedText) {
        selected = source->focusedElementSelectedText();
        if (selected) {
            RuntimeLogger::log("pin text selected source=axFocused length=" + std::to_string(selected->size()));
        } else if ((selected = source->frontmostApplicationSelectedText())) {
            RuntimeLogger::log("pin text selected source=ax app=" +
                               (frontmost ? frontmost->localizedName : std::string("nil")) +
                               " length=" + std::to_string(selected->size()));
        } else {
            RuntimeLogger::log("pin text selected source=ax none");
        }
    }
    const auto choice = PinTextSourcePolicy::textToPin(selected, env_.services.pasteboard.readText());
    if (!choice) {
        RuntimeLogger::log("pin clipboard text skipped reason=empty");
        return;
    }
    if (!env_.ports.pinnedWindows) {
        RuntimeLogger::log("pinned windows unavailable flow=pinText");
        return;
    }
    env_.ports.pinnedWindows->pinText(choice->text, screenUnderMouse(env_.services.displays));
    RuntimeLogger::log("clipboard text pinned length=" + std::to_string(choice->text.size()) + " source=" +
                       (choice->source == PinTextSourcePolicy::Source::selection ? "selection" : "pasteboard"));
}

void AppController::openSettings() {
    if (!env_.ports.settingsWindow) {
        RuntimeLogger::log("settings window unavailable");
        return;
    }
    env_.ports.settingsWindow->present();
}

void AppController::openMainPanel() {
    if (env_.ports.statusItem) {
        env_.ports.statusItem->showPopover();
    } else if (env_.ports.mainPanelWindow) {
        env_.ports.mainPanelWindow->present();
    } else {
        RuntimeLogger::log("main panel unavailable");
    }
}

void AppController::openVisualLibrary() {
    RuntimeLogger::log("openVisualLibrary items=" + std::to_string(model_.visualMemoryItems().size()));
    if (env_.ports.statusItem && env_.ports.statusItem->isPopoverShown()) {
        env_.ports.statusItem->closePopover([] {});
    }
    if (!env_.ports.libraryWindow) {
        RuntimeLogger::log("visual library window unavailable");
        return;
    }
    const Clock& clock = env_.services.clock;
    const double started = clock.monotonicSeconds();
    env_.ports.libraryWindow->present();
    RuntimeLogger::log("openVisualLibrary presented elapsedMs=" +
                       std::to_string(wholeMs(clock.monotonicSeconds() - started)));
    model_.setVisualMemoryItems(env_.services.visualMemory.postPresentCleanup());
}

void AppController::startSuperScreenshotWindow() {
    superScreenshots_.startWindow();
}

void AppController::startSuperScreenshotRegion() {
    superScreenshots_.startRegion();
}

void AppController::checkForUpdates() {
    updates_.checkManually();
}

void AppController::installAvailableUpdate() {
    updates_.installAvailableUpdate();
}

void AppController::cancelUpdateDownload() {
    updates_.cancelDownload();
}

void AppController::presentNotice(L10nKey title, L10nKey message, AlertRequest::Style style) {
    const LocalizationStore& text = env_.services.localization;
    env_.ports.alerts.present({text.text(title), text.text(message), {text.text(L10nKey::genericOK)}, style}, [](int) {});
}

void AppController::openDefaultDirectory() {
    std::error_code error;
    const auto directory = model_.preferences().exportDirectoryURL();
    std::filesystem::create_directories(directory, error);
    env_.ports.host.openFile(directory);
}

// MARK: preferences

void AppController::updatePreferences(const std::function<void(AppPreferences&)>& change) {
    const AppPreferences previous = model_.preferences();
    AppPreferences updated = previous;
    change(updated);
    if (updated == previous) {
        return;
    }
    preferencesStore_.save(updated);
    model_.setPreferences(std::move(updated));
    applyPreferences(previous);
}

void AppController::reloadPreferences() {
    const AppPreferences previous = model_.preferences();
    env_.services.defaults.reload();
    AppPreferences loaded = preferencesStore_.load();
    if (runStartupPreferencesMigrations(loaded, env_.services.defaults)) {
        preferencesStore_.save(loaded);
    }
    RuntimeLogger::log("preferences reloaded changed=" + std::string(loaded == previous ? "false" : "true"));
    model_.setPreferences(std::move(loaded));
    applyPreferences(previous);
}

void AppController::applyPreferences(const AppPreferences& previous) {
    const AppPreferences& current = model_.preferences();
    RuntimeLogger::configure(current);
    env_.services.localization.apply(current.appLanguage);
    if (env_.ports.hotkeys && globalHotkeysDiffer(previous, current)) {
        env_.ports.hotkeys->reload(current);
    }
    if (env_.ports.floatingThumbnails) {
        env_.ports.floatingThumbnails->configure(current.floatingThumbnailPosition,
                                                 current.floatingThumbnailDismissDelay);
        updateFloatingThumbnailPresentation(model_.state());
    }
    if (previous.launchAtLoginEnabled != current.launchAtLoginEnabled) {
        env_.services.launchAtLogin.sync(current.launchAtLoginEnabled);
    }
    if (previous.automaticUpdateChecksEnabled != current.automaticUpdateChecksEnabled) {
        updates_.automaticChecksChanged(current.automaticUpdateChecksEnabled);
    }
}

void AppController::setLaunchAtLoginEnabled(bool enabled) {
    // The preference keeps what the user asked for even when the desktop refused it; the log
    // line of the login-item service says why.
    updatePreferences([enabled](AppPreferences& preferences) { preferences.launchAtLoginEnabled = enabled; });
}

void AppController::setDesktopIconsHidden(bool hidden) {
    env_.services.desktopVisibility.setDesktopIconsHidden(hidden);
    model_.setDesktopIconsHidden(env_.services.desktopVisibility.currentDesktopIconsState() ==
                                 DesktopIconsState::hidden);
}

// MARK: library

void AppController::annotateVisualMemoryItem(const VisualMemoryItem& item) {
    auto image = env_.services.codec.readFile(item.url);
    if (!image) {
        RuntimeLogger::log("visualMemory annotate failed url=" + item.url.string() + " error=unreadable");
        return;
    }
    bookkeeping_.forceNextScreenshotRecording();
    screenshotFlow_.annotateImage(std::move(image).value(),
                                  VisualMemorySource{item.sourceApp, item.sourceWindow, item.sourceURL});
}

void AppController::annotatePinnedImage(const std::string& pinID, Image image) {
    if (PinnedWindowsPort* pins = env_.ports.pinnedWindows) {
        pins->setImageHidden(pinID, true);
    }
    screenshotFlow_.annotateImage(std::move(image), VisualMemorySource{},
                                  ReeditedCapture{ReeditedCapture::Kind::pinnedScreenshot, pinID});
}

bool AppController::annotateThumbnailImage(Image image, const VisualMemorySource& source,
                                           const std::string& thumbnailID) {
    if (model_.state() != AppViewState::idle) {
        RuntimeLogger::log("floating thumbnail annotate declined state=" + std::string(toString(model_.state())));
        return false;
    }
    screenshotFlow_.annotateImage(std::move(image), source,
                                  ReeditedCapture{ReeditedCapture::Kind::floatingThumbnail, thumbnailID});
    return true;
}

void AppController::savePinnedImage(const Image& image) {
    const auto saved = ScreenshotPngWriter::writeNew(env_.services.codec, env_.services.clock, image,
                                                     model_.preferences().exportDirectoryURL());
    if (saved) {
        RuntimeLogger::log("pinned screenshot saved url=" + saved.value().string());
        bookkeeping_.handleExportOutcome(ExportOutcome::success(saved.value()), ExportKind::screenshot);
    } else {
        RuntimeLogger::log("pinned screenshot save failed error=" + saved.error().description());
        bookkeeping_.handleExportOutcome(ExportOutcome::failure(saved.error()), ExportKind::screenshot);
    }
}

void AppController::recordSavedExport(const std::filesystem::path& url, ExportKind kind) {
    bookkeeping_.recordRecentExport(url, kind);
    RuntimeLogger::log("floating thumbnail saved url=" + url.string());
}

void AppController::deleteAsset(const ExportedAsset& asset) {
    std::error_code error;
    std::filesystem::remove(asset.url, error);
    model_.setRecentExports(recentStore_.remove(asset.url));
    model_.setVisualMemoryItems(env_.services.visualMemoryStore.remove(asset.url));
    RuntimeLogger::log("asset deleted url=" + asset.url.string());
}

void AppController::openVisualMemoryItem(const VisualMemoryItem& item) {
    RuntimeLogger::log("visualMemory open id=" + item.id);
    env_.ports.host.openFile(item.url);
}

void AppController::copyVisualMemoryItem(const VisualMemoryItem& item) {
    if (item.kind == ExportKind::clipboardText) {
        std::ifstream file(item.url, std::ios::binary);
        std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
        if (!file.good() && !file.eof()) {
            RuntimeLogger::log("visualMemory copy failed id=" + item.id + " error=unreadable");
            return;
        }
        env_.services.exportService.copyTextToPasteboard(text.empty() ? item.ocrText : text);
    } else {
        env_.services.exportService.copyFileToPasteboard(item.url);
    }
    RuntimeLogger::log("visualMemory copied id=" + item.id + " kind=" + std::string(toString(item.kind)));
}

void AppController::copyOCR(const VisualMemoryItem& item) {
    if (item.ocrText.empty()) {
        return;
    }
    env_.services.exportService.copyTextToPasteboard(item.ocrText);
    RuntimeLogger::log("visualMemory text copied id=" + item.id + " length=" + std::to_string(item.ocrText.size()));
}

void AppController::toggleVisualMemoryFavorite(const VisualMemoryItem& item) {
    model_.setVisualMemoryItems(env_.services.visualMemoryStore.toggleFavorite(item.id));
}

void AppController::toggleVisualMemoryPinned(const VisualMemoryItem& item) {
    model_.setVisualMemoryItems(env_.services.visualMemoryStore.togglePinned(item.id, env_.services.clock.now()));
}

void AppController::deleteVisualMemoryItem(const VisualMemoryItem& item) {
    deleteAsset(ExportedAsset{item.url, item.kind, item.createdAt, item.byteCount});
}

void AppController::addVisualMemoryTag(const VisualMemoryItem& item, const std::string& tag) {
    model_.setVisualMemoryItems(env_.services.visualMemoryStore.addManualTag(item.id, tag));
    RuntimeLogger::log("visualMemory tag added id=" + item.id + " tag=" + normalizedTag(tag));
}

void AppController::removeVisualMemoryTag(const VisualMemoryItem& item, const std::string& tag, bool isManual) {
    VisualMemoryStore& store = env_.services.visualMemoryStore;
    model_.setVisualMemoryItems(isManual ? store.removeManualTag(item.id, tag) : store.removeAutoTag(item.id, tag));
    RuntimeLogger::log("visualMemory tag removed id=" + item.id + " tag=" + normalizedTag(tag) +
                       " manual=" + (isManual ? "true" : "false"));
}

VisualMemoryRecordingService::ManualCleanupResult AppController::cleanupVisualMemoryNow() {
    auto result = env_.services.visualMemory.cleanupNow();
    model_.setVisualMemoryItems(result.items);
    return result;
}

// MARK: tear-down

void AppController::tearDown() {
    if (tornDown_) {
        return;
    }
    tornDown_ = true;
    RuntimeLogger::log("tearDown");
    updates_.tearDown();
    if (!env_.services.copyPersistence.flushPendingWrites(teardownFlushTimeoutSeconds)) {
        RuntimeLogger::log("screenshot copy persistence flush timed out");
    }
    if (env_.ports.floatingThumbnails) {
        env_.ports.floatingThumbnails->dismissAll();
    }
    if (localizationObserver_) {
        env_.services.localization.removeObserver(localizationObserver_);
        localizationObserver_ = 0;
    }
    if (env_.ports.hotkeys) {
        env_.ports.hotkeys->unregisterAll();
        env_.ports.hotkeys->setPinnedScreenshotEscapeHotkeyActive(false);
    }
    RuntimeLogger::log("pinned screenshot escape hotkey unregistered");
    if (recordingFlows_.isCapturing()) {
        recordingFlows_.cancel();
    }
    if (env_.services.clipboardMonitor) {
        env_.services.clipboardMonitor->stop();
    }
    env_.services.sources.stopTracking();
}

} // namespace brisklet
