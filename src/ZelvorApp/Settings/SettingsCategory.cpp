#include "ZelvorApp/Settings/SettingsCategory.h"

#include "ZelvorApp/Infrastructure/LocalizationStore.h"

#include <array>
#include <utility>

namespace brisklet {

namespace {

using K = L10nKey;
using C = SettingsCardKind;

struct CardInfo {
    C card;
    const char* name;
    SettingsCategory category;
    std::vector<L10nKey> keys;
};

const std::vector<CardInfo>& cardTable() {
    static const std::vector<CardInfo> table{
        {C::language, "language", SettingsCategory::overview, {K::settingsLanguageCard, K::settingsAppLanguage}},
        {C::appearance,
         "appearance",
         SettingsCategory::overview,
         {K::settingsAppearanceCard, K::settingsAppearanceFollowSystem, K::settingsAppearanceLight,
          K::settingsAppearanceDark}},
        {C::permissions,
         "permissions",
         SettingsCategory::overview,
         {K::settingsPermissionsCard, K::settingsScreenRecordingPermission, K::settingsAccessibilityPermission,
          K::settingsPermissionGranted}},
        {C::updates,
         "updates",
         SettingsCategory::about,
         {K::settingsUpdatesCard, K::settingsCheckForUpdates, K::settingsInstallUpdateNow,
          K::settingsAutomaticUpdateChecks, K::settingsCurrentVersion, K::settingsLatestVersion}},
        {C::selection,
         "selection",
         SettingsCategory::capture,
         {K::settingsSelectionCard, K::settingsCrosshair, K::settingsMagnifier, K::settingsRememberSelection}},
        {C::captureExperience,
         "captureExperience",
         SettingsCategory::capture,
         {K::settingsCaptureExperienceCard, K::settingsLaunchAtLogin, K::settingsHideDesktopIconsManually,
          K::settingsBackgroundPanelDefaultOpen, K::settingsBackgroundAutoApply, K::settingsEnhanceAnnotationColors,
          K::settingsAllowNestedScreenshotHotkey}},
        {C::floatingThumbnail,
         "floatingThumbnail",
         SettingsCategory::capture,
         {K::settingsFloatingThumbnailCard, K::settingsFloatingThumbnailAfterScreenshotExport,
          K::settingsFloatingThumbnailPosition, K::settingsFloatingThumbnailDismissDelay}},
        {C::longshot, "longshot", SettingsCategory::capture, {K::settingsLongshotCard, K::settingsSamplingSpeed}},
        {C::gif, "gif", SettingsCategory::capture, {K::settingsGifCard, K::settingsFrameRate, K::settingsMaxDuration}},
        {C::hotkeys,
         "hotkeys",
         SettingsCategory::shortcuts,
         {K::settingsHotkeysCard, K::settingsHotkeyGlobalGroup, K::settingsHotkeySelectionGroup,
          K::settingsHotkeyEditorGroup, K::actionSelectionFullScreen, K::actionScreenshot, K::actionFloatingScreenshot,
          K::actionTextRecognitionScreenshot, K::actionTranslateScreenshot, K::actionLongshot, K::actionGifRegion,
          K::actionGifWindow, K::actionOpenAppPanel, K::actionOpenVisualLibrary, K::actionEditorPin,
          K::actionEditorCopy, K::actionEditorSave, K::actionEditorOCR, K::actionEditorTranslate}},
        {C::pinnedMouse,
         "pinnedMouse",
         SettingsCategory::shortcuts,
         {K::settingsPinnedMouseCard, K::settingsLeftDoubleClick}},
        {C::exportDirectory,
         "export",
         SettingsCategory::files,
         {K::settingsExportCard, K::settingsDefaultExportDirectory, K::settingsOpenDirectory}},
        {C::logs,
         "logs",
         SettingsCategory::files,
         {K::settingsLogsCard, K::settingsSaveLogs, K::settingsLogLocation, K::settingsLogRetention}},
        {C::visualMemoryRetention,
         "visualMemoryRetention",
         SettingsCategory::files,
         {K::settingsVisualMemoryPolicyCard, K::settingsPolicyAutoSave, K::settingsPolicyRetention,
          K::settingsStorageLimit, K::settingsPolicyScreenshot, K::settingsPolicyLongshot, K::settingsPolicyVideo,
          K::settingsPolicyCopiedText, K::settingsPolicyCopiedImage}},
        {C::about,
         "about",
         SettingsCategory::about,
         {K::settingsCategoryAbout, K::settingsPrivacyPolicy, K::settingsUserAgreement, K::settingsLegalDescription}},
    };
    return table;
}

const CardInfo& info(C card) {
    return cardTable()[static_cast<std::size_t>(card)];
}

} // namespace

const std::vector<SettingsCategory>& allSettingsCategories() {
    static const std::vector<SettingsCategory> categories{SettingsCategory::overview, SettingsCategory::capture,
                                                          SettingsCategory::shortcuts, SettingsCategory::files,
                                                          SettingsCategory::about};
    return categories;
}

const std::vector<SettingsCardKind>& allSettingsCards() {
    static const std::vector<SettingsCardKind> cards = [] {
        std::vector<SettingsCardKind> all;
        for (const auto& entry : cardTable()) {
            all.push_back(entry.card);
        }
        return all;
    }();
    return cards;
}

const std::vector<SettingsCardKind>& settingsCards(SettingsCategory category) {
    static const std::array<std::vector<C>, 5> cards{{
        {C::permissions, C::language, C::appearance},
        {C::selection, C::captureExperience, C::floatingThumbnail, C::longshot, C::gif},
        {C::hotkeys, C::pinnedMouse},
        {C::exportDirectory, C::visualMemoryRetention, C::logs},
        {C::updates, C::about},
    }};
    return cards[static_cast<std::size_t>(category)];
}

SettingsCategory settingsCategory(SettingsCardKind card) {
    return info(card).category;
}

L10nKey settingsCategoryTitleKey(SettingsCategory category) {
    static constexpr std::array<L10nKey, 5> keys{K::settingsCategoryOverview, K::settingsCategoryCapture,
                                                 K::settingsCategoryShortcuts, K::settingsCategoryFiles,
                                                 K::settingsCategoryAbout};
    return keys[static_cast<std::size_t>(category)];
}

std::string settingsCategoryTitle(SettingsCategory category, const LocalizationStore& localization) {
    return localization.text(settingsCategoryTitleKey(category));
}

const std::vector<L10nKey>& settingsCardSearchKeys(SettingsCardKind card) {
    return info(card).keys;
}

std::string settingsCardSearchText(SettingsCardKind card, const LocalizationStore& localization) {
    std::string joined;
    for (const L10nKey key : info(card).keys) {
        if (!joined.empty()) {
            joined += '\n';
        }
        joined += localization.text(key);
    }
    return joined;
}

std::string settingsCategoryName(SettingsCategory category) {
    static constexpr std::array<const char*, 5> names{"overview", "capture", "shortcuts", "files", "about"};
    return names[static_cast<std::size_t>(category)];
}

std::string settingsCardName(SettingsCardKind card) {
    return info(card).name;
}

} // namespace brisklet
