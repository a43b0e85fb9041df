#include "ZelvorCore/Models/AppPreferences.h"

#include "ZelvorCore/Foundation/JsonCoding.h"

#include <cstdlib>
#include <pwd.h>
#include <unistd.h>

namespace brisklet {

namespace {

// The one list of keys, in document order; decoding and encoding both walk it.
template <class Prefs, class Visitor> void forEachField(Prefs& p, Visitor&& f) {
    f("appLanguage", p.appLanguage);
    f("visualAppearanceMode", p.visualAppearanceMode);
    f("translationTargetLanguage", p.translationTargetLanguage);
    f("screenshotHotkey", p.screenshotHotkey);
    f("floatingScreenshotHotkey", p.floatingScreenshotHotkey);
    f("showsFloatingThumbnailAfterScreenshotExport", p.showsFloatingThumbnailAfterScreenshotExport);
    f("hidesFloatingThumbnailDuringScreenshot", p.hidesFloatingThumbnailDuringScreenshot);
    f("showsPinnedScreenshotOpacityControl", p.showsPinnedScreenshotOpacityControl);
    f("closesPinnedScreenshotWithEscape", p.closesPinnedScreenshotWithEscape);
    f("floatingThumbnailDismissDelay", p.floatingThumbnailDismissDelay);
    f("floatingThumbnailPosition", p.floatingThumbnailPosition);
    f("selectionFullScreenHotkey", p.selectionFullScreenHotkey);
    f("textRecognitionScreenshotHotkey", p.textRecognitionScreenshotHotkey);
    f("translateScreenshotHotkey", p.translateScreenshotHotkey);
    f("longshotHotkey", p.longshotHotkey);
    f("gifRegionHotkey", p.gifRegionHotkey);
    f("gifWindowHotkey", p.gifWindowHotkey);
    f("appPanelHotkey", p.appPanelHotkey);
    f("visualLibraryHotkey", p.visualLibraryHotkey);
    f("pinClipboardTextHotkey", p.pinClipboardTextHotkey);
    f("editorPinHotkey", p.editorPinHotkey);
    f("editorCopyHotkey", p.editorCopyHotkey);
    f("editorSaveHotkey", p.editorSaveHotkey);
    f("editorOCRHotkey", p.editorOCRHotkey);
    f("editorTranslateHotkey", p.editorTranslateHotkey);
    f("launchAtLoginEnabled", p.launchAtLoginEnabled);
    f("automaticUpdateChecksEnabled", p.automaticUpdateChecksEnabled);
    f("exportDirectory", p.exportDirectory);
    f("longshotCropOptions", p.longshotCropOptions);
    f("longshotConfig", p.longshotConfig);
    f("selectionAssistant", p.selectionAssistant);
    f("lastScreenshotSelection", p.lastScreenshotSelection);
    f("lastGIFRegionSelection", p.lastGIFRegionSelection);
    f("lastBackgroundComposition", p.lastBackgroundComposition);
    f("savedBackgroundPresets", p.savedBackgroundPresets);
    f("defaultBackgroundPresetID", p.defaultBackgroundPresetID);
    f("lastAnnotationColorHex", p.lastAnnotationColorHex);
    f("recentAnnotationColorHexes", p.recentAnnotationColorHexes);
    f("lastAnnotationStrokeWidth", p.lastAnnotationStrokeWidth);
    f("lastShapeAnnotationStrokeWidth", p.lastShapeAnnotationStrokeWidth);
    f("lastArrowAnnotationStrokeWidth", p.lastArrowAnnotationStrokeWidth);
    f("lastLineAnnotationStrokeWidth", p.lastLineAnnotationStrokeWidth);
    f("lastBrushAnnotationStrokeWidth", p.lastBrushAnnotationStrokeWidth);
    f("lastAnnotationTextFontSize", p.lastAnnotationTextFontSize);
    f("enhanceAnnotationColors", p.enhanceAnnotationColors);
    f("backgroundToolEnabledByDefault", p.backgroundToolEnabledByDefault);
    f("backgroundAutoApplyEnabled", p.backgroundAutoApplyEnabled);
    f("allowNestedScreenshotHotkey", p.allowNestedScreenshotHotkey);
    f("autoHideDesktopIconsForScreenshot", p.autoHideDesktopIconsForScreenshot);
    f("autoHideDesktopIconsForLongshot", p.autoHideDesktopIconsForLongshot);
    f("autoHideDesktopIconsForGIFRegion", p.autoHideDesktopIconsForGIFRegion);
    f("gifFPS", p.gifFPS);
    f("gifMaxDuration", p.gifMaxDuration);
    f("recordingOptions", p.recordingOptions);
    f("exportAfterCopy", p.exportAfterCopy);
    f("pinnedLeftDoubleClickAction", p.pinnedLeftDoubleClickAction);
    f("pinnedRightDoubleClickAction", p.pinnedRightDoubleClickAction);
    f("obsidianExportDirectory", p.obsidianExportDirectory);
    f("saveScreenshotToVisualMemory", p.saveScreenshotToVisualMemory);
    f("saveLongshotToVisualMemory", p.saveLongshotToVisualMemory);
    f("saveGIFToVisualMemory", p.saveGIFToVisualMemory);
    f("saveVideoToVisualMemory", p.saveVideoToVisualMemory);
    f("saveClipboardImageToVisualMemory", p.saveClipboardImageToVisualMemory);
    f("saveClipboardTextToVisualMemory", p.saveClipboardTextToVisualMemory);
    f("screenshotRetentionPeriod", p.screenshotRetentionPeriod);
    f("longshotRetentionPeriod", p.longshotRetentionPeriod);
    f("gifRetentionPeriod", p.gifRetentionPeriod);
    f("videoRetentionPeriod", p.videoRetentionPeriod);
    f("clipboardTextRetentionPeriod", p.clipboardTextRetentionPeriod);
    f("clipboardImageRetentionPeriod", p.clipboardImageRetentionPeriod);
    f("captureRetentionPeriod", p.captureRetentionPeriod);
    f("saveLogsEnabled", p.saveLogsEnabled);
    f("logRetentionPeriod", p.logRetentionPeriod);
    f("visualMemoryStorageLimit", p.visualMemoryStorageLimit);
}

const HotkeyModifiers commandShift{HotkeyModifiers::command | HotkeyModifiers::shift};

bool resetIfMatches(HotkeyConfiguration& hotkey, const char* key, HotkeyModifiers modifiers,
                    const HotkeyConfiguration& replacement) {
    if (hotkey.key == key && hotkey.modifiers == modifiers) {
        hotkey = replacement;
        return true;
    }
    return false;
}

} // namespace

std::filesystem::path currentHomeDirectory() {
    if (const char* home = std::getenv("HOME"); home != nullptr && home[0] != '\0') {
        return home;
    }
    if (const passwd* entry = getpwuid(getuid()); entry != nullptr && entry->pw_dir != nullptr) {
        return entry->pw_dir;
    }
    return "/";
}

AppPreferences AppPreferences::makeDefaults(const std::filesystem::path& homeDirectory) {
    AppPreferences p;
    p.exportDirectory = (homeDirectory / "Pictures" / "Brisklet").string();
    return p;
}

const AppPreferences& AppPreferences::defaults() {
    static const AppPreferences instance = makeDefaults(currentHomeDirectory());
    return instance;
}

std::filesystem::path AppPreferences::exportDirectoryURL() const {
    if (exportDirectory == "~" || exportDirectory.starts_with("~/")) {
        return currentHomeDirectory() / exportDirectory.substr(exportDirectory.size() > 1 ? 2 : 1);
    }
    return exportDirectory;
}

bool AppPreferences::migrateSystemShortcutConflictingDefaultHotkeys() {
    const AppPreferences& d = defaults();
    bool changed = false;
    changed |= resetIfMatches(screenshotHotkey, "4", commandShift, d.screenshotHotkey);
    changed |= resetIfMatches(longshotHotkey, "1", commandShift, d.longshotHotkey);
    changed |= resetIfMatches(gifRegionHotkey, "2", commandShift, d.gifRegionHotkey);
    changed |= resetIfMatches(gifWindowHotkey, "3", commandShift, d.gifWindowHotkey);
    return changed;
}

bool AppPreferences::migrateLegacyEditorCopyDefaultHotkey() {
    return resetIfMatches(editorCopyHotkey, "C", commandShift, defaults().editorCopyHotkey);
}

bool AppPreferences::migrateLegacyDesktopAutoHideDefaultsToOptIn() {
    if (autoHideDesktopIconsForScreenshot && autoHideDesktopIconsForLongshot && autoHideDesktopIconsForGIFRegion) {
        autoHideDesktopIconsForScreenshot = false;
        autoHideDesktopIconsForLongshot = false;
        autoHideDesktopIconsForGIFRegion = false;
        return true;
    }
    return false;
}

bool AppPreferences::migrateLegacyGIFFrameRateForSmoothPlayback() {
    if (gifFPS < 20.0) {
        gifFPS = 20.0;
        return true;
    }
    return false;
}

void read(const Json& j, AppPreferences& out) {
    json::requireObject(j);
    AppPreferences decoded = AppPreferences::defaults();
    forEachField(decoded, [&](const char* key, auto& field) { json::optionalField(j, key, field); });
    out = std::move(decoded);
}

Json write(const AppPreferences& value) {
    Json j = Json::object();
    forEachField(value, [&](const char* key, const auto& field) { json::put(j, key, field); });
    return j;
}

} // namespace brisklet
