#pragma once

#include "ZelvorCore/Foundation/Json.h"
#include "ZelvorCore/Models/AppLanguage.h"
#include "ZelvorCore/Models/BackgroundComposition.h"
#include "ZelvorCore/Models/HotkeyConfiguration.h"
#include "ZelvorCore/Models/LongshotConfig.h"
#include "ZelvorCore/Models/PreferenceChoices.h"
#include "ZelvorCore/Models/RecordingOptions.h"
#include "ZelvorCore/Models/SelectionAssistantPreferences.h"
#include "ZelvorCore/Models/VisualMemoryRetention.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace brisklet {

/// The one persisted preferences document. Every key is optional when read; a missing key takes
/// the value of `AppPreferences::defaults()`.
struct AppPreferences {
    AppLanguage appLanguage = AppLanguage::system;
    VisualAppearanceMode visualAppearanceMode = VisualAppearanceMode::system;
    TranslationTargetLanguage translationTargetLanguage = TranslationTargetLanguage::automatic;
    HotkeyConfiguration screenshotHotkey{"4", {HotkeyModifiers::command | HotkeyModifiers::option}};
    HotkeyConfiguration floatingScreenshotHotkey{"7", {HotkeyModifiers::command | HotkeyModifiers::option}};
    bool showsFloatingThumbnailAfterScreenshotExport = true;
    bool hidesFloatingThumbnailDuringScreenshot = true;
    bool showsPinnedScreenshotOpacityControl = false;
    bool closesPinnedScreenshotWithEscape = false;
    double floatingThumbnailDismissDelay = 10.0;
    FloatingThumbnailPosition floatingThumbnailPosition = FloatingThumbnailPosition::bottomRight;
    HotkeyConfiguration selectionFullScreenHotkey{"A", {HotkeyModifiers::command}};
    HotkeyConfiguration textRecognitionScreenshotHotkey{"5", {HotkeyModifiers::command | HotkeyModifiers::option}};
    HotkeyConfiguration translateScreenshotHotkey{"6", {HotkeyModifiers::command | HotkeyModifiers::option}};
    HotkeyConfiguration longshotHotkey{"1", {HotkeyModifiers::command | HotkeyModifiers::option}};
    HotkeyConfiguration gifRegionHotkey{"2", {HotkeyModifiers::command | HotkeyModifiers::option}};
    HotkeyConfiguration gifWindowHotkey{"3", {HotkeyModifiers::command | HotkeyModifiers::option}};
    HotkeyConfiguration appPanelHotkey{"M", {HotkeyModifiers::command | HotkeyModifiers::option}};
    HotkeyConfiguration visualLibraryHotkey{"L", {HotkeyModifiers::command | HotkeyModifiers::option}};
    HotkeyConfiguration pinClipboardTextHotkey{"P", {HotkeyModifiers::command | HotkeyModifiers::option}};
    HotkeyConfiguration editorPinHotkey{"P", {HotkeyModifiers::command}};
    HotkeyConfiguration editorCopyHotkey{"C", {HotkeyModifiers::command}};
    HotkeyConfiguration editorSaveHotkey{"S", {HotkeyModifiers::command}};
    HotkeyConfiguration editorOCRHotkey{"O", {HotkeyModifiers::command | HotkeyModifiers::option}};
    HotkeyConfiguration editorTranslateHotkey{"T", {HotkeyModifiers::command | HotkeyModifiers::option}};
    bool launchAtLoginEnabled = true;
    bool automaticUpdateChecksEnabled = true;
    std::string exportDirectory;
    LongshotCropOptions longshotCropOptions;
    LongshotConfig longshotConfig;
    SelectionAssistantPreferences selectionAssistant;
    std::optional<RememberedSelectionArea> lastScreenshotSelection;
    std::optional<RememberedSelectionArea> lastGIFRegionSelection;
    std::optional<BackgroundComposition> lastBackgroundComposition;
    std::vector<SavedBackgroundPreset> savedBackgroundPresets;
    std::optional<std::string> defaultBackgroundPresetID;
    std::optional<std::string> lastAnnotationColorHex;
    std::vector<std::string> recentAnnotationColorHexes;
    std::optional<double> lastAnnotationStrokeWidth;
    std::optional<double> lastShapeAnnotationStrokeWidth;
    std::optional<double> lastArrowAnnotationStrokeWidth;
    std::optional<double> lastLineAnnotationStrokeWidth;
    std::optional<double> lastBrushAnnotationStrokeWidth;
    std::optional<double> lastAnnotationTextFontSize;
    bool enhanceAnnotationColors = false;
    bool backgroundToolEnabledByDefault = false;
    bool backgroundAutoApplyEnabled = false;
    bool allowNestedScreenshotHotkey = false;
    bool autoHideDesktopIconsForScreenshot = false;
    bool autoHideDesktopIconsForLongshot = false;
    bool autoHideDesktopIconsForGIFRegion = false;
    double gifFPS = 20.0;
    double gifMaxDuration = 15.0;
    RecordingOptions recordingOptions;
    bool exportAfterCopy = false;
    PinnedMouseDoubleClickAction pinnedLeftDoubleClickAction = PinnedMouseDoubleClickAction::close;
    PinnedMouseDoubleClickAction pinnedRightDoubleClickAction = PinnedMouseDoubleClickAction::copyAndClose;
    std::optional<std::string> obsidianExportDirectory;
    bool saveScreenshotToVisualMemory = true;
    bool saveLongshotToVisualMemory = true;
    bool saveGIFToVisualMemory = true;
    bool saveVideoToVisualMemory = true;
    bool saveClipboardImageToVisualMemory = true;
    bool saveClipboardTextToVisualMemory = true;
    VisualMemoryRetentionPeriod screenshotRetentionPeriod = VisualMemoryRetentionPeriod::oneMonth;
    VisualMemoryRetentionPeriod longshotRetentionPeriod = VisualMemoryRetentionPeriod::oneMonth;
    VisualMemoryRetentionPeriod gifRetentionPeriod = VisualMemoryRetentionPeriod::oneMonth;
    VisualMemoryRetentionPeriod videoRetentionPeriod = VisualMemoryRetentionPeriod::oneMonth;
    VisualMemoryRetentionPeriod clipboardTextRetentionPeriod = VisualMemoryRetentionPeriod::oneWeek;
    VisualMemoryRetentionPeriod clipboardImageRetentionPeriod = VisualMemoryRetentionPeriod::oneMonth;
    VisualMemoryRetentionPeriod captureRetentionPeriod = VisualMemoryRetentionPeriod::oneMonth;
    bool saveLogsEnabled = true;
    VisualMemoryRetentionPeriod logRetentionPeriod = VisualMemoryRetentionPeriod::threeDays;
    VisualMemoryStorageLimit visualMemoryStorageLimit = VisualMemoryStorageLimit::threeGB;

    /// The record of defaults, built once; the export directory is "~/Pictures/Brisklet" with the
    /// home directory of this process.
    static const AppPreferences& defaults();
    /// Defaults for an explicit home directory.
    static AppPreferences makeDefaults(const std::filesystem::path& homeDirectory);

    /// `exportDirectory` with a leading "~" expanded to the home directory.
    std::filesystem::path exportDirectoryURL() const;

    /// Stored ⇧⌘ combinations of the first four capture hotkeys clash with the desktop's own
    /// screenshot keys; they go back to the defaults. Returns whether anything changed.
    bool migrateSystemShortcutConflictingDefaultHotkeys();
    /// ⇧⌘C used to be the editor's copy key; it becomes ⌘C. Returns whether anything changed.
    bool migrateLegacyEditorCopyDefaultHotkey();
    /// Desktop-icon hiding used to be on for all three flows; it is opt-in now.
    bool migrateLegacyDesktopAutoHideDefaultsToOptIn();
    /// GIFs below 20 frames per second looked choppy; they are raised to 20.
    bool migrateLegacyGIFFrameRateForSmoothPlayback();

    bool operator==(const AppPreferences&) const = default;
};

/// Every key optional; any type error or unknown raw value throws json::DecodeError.
void read(const Json& j, AppPreferences& out);
/// Writes every field; absent optionals are left out.
Json write(const AppPreferences& value);

/// The number of keys the document has.
inline constexpr int appPreferencesFieldCount = 74;

/// Home directory of this process ($HOME, else the password database, else "/").
std::filesystem::path currentHomeDirectory();

} // namespace brisklet
