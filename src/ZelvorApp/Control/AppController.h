#pragma once

#include "ZelvorApp/Control/AppEnvironment.h"
#include "ZelvorApp/Control/CaptureGates.h"
#include "ZelvorApp/Control/ExportBookkeeping.h"
#include "ZelvorApp/Control/Ports/AlertPresenter.h"
#include "ZelvorApp/Control/Ports/ScreenshotEditorPort.h"
#include "ZelvorApp/Control/RecordingFlows.h"
#include "ZelvorApp/Control/ScreenshotFlow.h"
#include "ZelvorApp/Control/StatusPopoverGate.h"
#include "ZelvorApp/Control/SuperScreenshotFlows.h"
#include "ZelvorApp/Control/UpdateFlow.h"
#include "ZelvorApp/Infrastructure/L10nKey.h"
#include "ZelvorApp/Memory/VisualMemoryRecordingService.h"
#include "ZelvorCore/Models/AppViewState.h"
#include "ZelvorCore/Models/GlobalHotkeyAction.h"
#include "ZelvorCore/Stores/PreferencesStore.h"
#include "ZelvorCore/Stores/RecentExportStore.h"

#include <functional>
#include <memory>
#include <set>

namespace brisklet {

class AppModel;
struct VisualMemoryItem;

/// Runs every user action of the application and owns its flows. Main queue only.
class AppController {
public:
    static constexpr int recentExportLimit = 8;
    static constexpr double startupVisibilityDelaySeconds = 0.7;
    static constexpr double startupFallbackDelaySeconds = 1.5;
    static constexpr double firstUpdateCheckDelaySeconds = 5.0;
    static constexpr double teardownFlushTimeoutSeconds = 5.0;
    static constexpr double thumbnailSettlingSeconds = 0.035;
    static constexpr double thumbnailFileMaxAgeSeconds = 86400;

    AppController(AppEnvironment environment, AppModel& model);
    ~AppController();
    AppController(const AppController&) = delete;
    AppController& operator=(const AppController&) = delete;

    /// Loads and migrates the preferences, cleans the library, synchronises the system and
    /// schedules the start-up timers.
    void start();
    void tearDown();

    void handleHotkey(GlobalHotkeyAction action);
    /// Escape while pinned screenshots float: closes the selected (or the newest) one.
    void handlePinnedScreenshotEscape();
    /// Raises an open editor; false when none is open.
    bool bringEditorToFront();
    /// Pinned windows opened or closed: the Escape hotkey follows.
    void pinnedWindowsChanged() { updatePinnedScreenshotEscapeHotkey(); }
    void startScreenshot(ScreenshotEditorInitialInteractionMode mode, ScreenshotToolbarImplementation toolbar);
    void startFloatingScreenshot();
    void startLongshot();
    void startGIFRegion();
    void startGIFWindow();
    void pauseCapture();
    void resumeCapture();
    void stopCapture();
    void cancelCapture();
    /// Ends whatever is running: an open selection is cancelled, a capture is stopped.
    void stopActiveOperation();
    void pinClipboardText();
    void openSettings();
    void openVisualLibrary();
    void openMainPanel();
    void openDefaultDirectory();
    /// Starts a super screenshot (a knowledge package) of a window picked in the window picker.
    void startSuperScreenshotWindow();
    /// Starts a super screenshot of a region drawn in the overlay.
    void startSuperScreenshotRegion();
    /// A manual update check; it always ends with an answer (the offer, or a note of the result).
    void checkForUpdates();
    /// Downloads and installs the update the last check found (the settings' "Install Update Now").
    void installAvailableUpdate();
    /// Stops a running update download.
    void cancelUpdateDownload();

    void updatePreferences(const std::function<void(AppPreferences&)>& change);
    /// Reads the stored preferences again (after `brisklet prefs import`) and applies them.
    void reloadPreferences();
    void setLaunchAtLoginEnabled(bool enabled);
    void setDesktopIconsHidden(bool hidden);
    void setGlobalHotkeysSuspended(bool suspended, GlobalHotkeySuspensionReason reason);

    /// Opens a library item in the editor; its next save is recorded in the library in any case.
    void annotateVisualMemoryItem(const VisualMemoryItem& item);
    /// Opens the editor on a pinned screenshot's picture; the pin hides meanwhile, then shows
    /// the edited version or comes back unchanged.
    void annotatePinnedImage(const std::string& pinID, Image image);
    /// Opens the editor on a floating thumbnail's picture; false while a capture or an editor is
    /// in the way. The card waits and is replaced by the edited version.
    bool annotateThumbnailImage(Image image, const VisualMemorySource& source, const std::string& thumbnailID);
    /// Save from a pinned screenshot's menu: a new PNG in the export directory, then the usual
    /// export bookkeeping (recent exports, library, thumbnail).
    void savePinnedImage(const Image& image);
    /// A file the application wrote outside an export flow (a thumbnail saved later) joins the
    /// recent exports.
    void recordSavedExport(const std::filesystem::path& url, ExportKind kind);
    void deleteAsset(const ExportedAsset& asset);
    void openVisualMemoryItem(const VisualMemoryItem& item);
    /// Copied text goes back to the clipboard as text, every other item as its file.
    void copyVisualMemoryItem(const VisualMemoryItem& item);
    /// The item's recognised text, whatever its kind.
    void copyOCR(const VisualMemoryItem& item);
    void toggleVisualMemoryFavorite(const VisualMemoryItem& item);
    void toggleVisualMemoryPinned(const VisualMemoryItem& item);
    void deleteVisualMemoryItem(const VisualMemoryItem& item);
    /// Tags typed in the library's tag editor; an automatic tag is hidden rather than forgotten.
    void addVisualMemoryTag(const VisualMemoryItem& item, const std::string& tag);
    void removeVisualMemoryTag(const VisualMemoryItem& item, const std::string& tag, bool isManual);
    VisualMemoryRecordingService::ManualCleanupResult cleanupVisualMemoryNow();
    /// A capture session finished producing its file, or failed.
    void captureSessionFinished(const ExportOutcome& outcome, ExportKind kind);
    /// A GIF recording's clock moved on (published for the control bar and the panel).
    void gifRecordingProgressed(double elapsedSeconds, double maxDurationSeconds);

    /// The toolbar build the stored flag asks for.
    ScreenshotToolbarImplementation preferredToolbar() const;
    bool globalHotkeysSuppressed() const { return !suspensionReasons_.empty(); }
    bool screenshotEditorAllowsScreenshotReplacement() const { return editorAllowsReplacement_; }
    /// The actions that still pass while hotkeys are suspended.
    std::set<GlobalHotkeyAction> allowedActionsWhileSuppressed() const;

private:
    void loadPreferences();
    void cleanupVisualMemoryAtStartup();
    void synchroniseSystem();
    void startServices();
    void scheduleStartupTimers();
    void startupVisibilityTimerFired();
    void startupFallbackTimerFired();
    /// Shows the welcome alert unless it was shown before; returns whether it showed it.
    bool runWelcomeCheck();
    void runStartupScreenRecordingRequest();
    void applyPreferences(const AppPreferences& previous);
    void stateChanged(AppViewState state);
    void updateFloatingThumbnailPresentation(AppViewState state);
    void updatePinnedScreenshotEscapeHotkey();
    void editorHotkeyScopeChanged(bool active, ScreenshotEditorInitialInteractionMode mode);
    bool canPinText() const;
    bool pinnedScreenshotEscapeApplies() const;
    /// An alert with one OK button that needs no answer.
    void presentNotice(L10nKey title, L10nKey message, AlertRequest::Style style);
    std::weak_ptr<bool> weakSelf() const { return alive_; }

    AppEnvironment env_;
    AppModel& model_;
    PreferencesStore preferencesStore_;
    RecentExportStore recentStore_;
    StatusPopoverGate popover_;
    CaptureGates gates_;
    ExportBookkeeping bookkeeping_;
    RecordingFlows recordingFlows_;
    ScreenshotFlow screenshotFlow_;
    SuperScreenshotFlows superScreenshots_;
    UpdateFlow updates_;
    std::set<GlobalHotkeySuspensionReason> suspensionReasons_;
    bool editorAllowsReplacement_ = false;
    int localizationObserver_ = 0;
    bool tornDown_ = false;
    std::shared_ptr<bool> alive_;
};

} // namespace brisklet
