#include "ZelvorCore/Models/AppPreferences.h"
#include "ZelvorCore/Models/ExportKind.h"
#include "ZelvorCore/Stores/PreferencesStore.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

namespace brisklet {
namespace {

const HotkeyModifiers commandShift{HotkeyModifiers::command | HotkeyModifiers::shift};
const HotkeyModifiers controlShift{HotkeyModifiers::control | HotkeyModifiers::shift};
const HotkeyModifiers commandOption{HotkeyModifiers::command | HotkeyModifiers::option};

AppPreferences decodeOrFail(const std::string& text) {
    std::string error;
    auto decoded = PreferencesStore::decode(text, &error);
    EXPECT_TRUE(decoded.has_value()) << error;
    return decoded.value_or(AppPreferences{});
}

TEST(AppPreferencesCoding, EmptyObjectIsTheDefaults) {
    EXPECT_EQ(decodeOrFail("{}"), AppPreferences::defaults());
}

TEST(AppPreferencesCoding, EncodesEveryFieldAndRoundTrips) {
    AppPreferences p = AppPreferences::defaults();
    p.appLanguage = AppLanguage::tibetan;
    p.translationTargetLanguage = TranslationTargetLanguage::japanese;
    p.lastScreenshotSelection = RememberedSelectionArea{42u, Rect{{10, 20.5}, {300, 200}}};
    p.lastAnnotationStrokeWidth = 3.5;
    p.recentAnnotationColorHexes = {"#FF0000", "#00FF00"};
    p.savedBackgroundPresets.push_back({"A1B2", "Mine", BackgroundComposition{}});
    p.obsidianExportDirectory = "/home/me/Vault";

    const auto json = Json::parse(PreferencesStore::encode(p));
    // Optionals that are absent are left out; everything else is written.
    EXPECT_EQ(json.size(), static_cast<std::size_t>(appPreferencesFieldCount) - 9);
    EXPECT_EQ(json["appLanguage"], "bo");
    EXPECT_EQ(json["translationTargetLanguage"], "ja");
    EXPECT_EQ(json["screenshotHotkey"]["modifiers"], 5);
    EXPECT_FALSE(json.contains("lastGIFRegionSelection"));
    EXPECT_EQ(decodeOrFail(json.dump()), p);
}

TEST(AppPreferencesCoding, OlderDocumentKeepsItsValuesAndTakesDefaultsForNewKeys) {
    auto json = Json::parse(PreferencesStore::encode(AppPreferences::defaults()));
    json.erase("saveLogsEnabled");
    json.erase("visualMemoryStorageLimit");
    json["gifMaxDuration"] = 30;
    json["saveGIFToVisualMemory"] = false;
    json["longshotConfig"]["speed"] = "fast";

    const AppPreferences p = decodeOrFail(json.dump());
    EXPECT_TRUE(p.saveLogsEnabled);
    EXPECT_EQ(p.visualMemoryStorageLimit, VisualMemoryStorageLimit::threeGB);
    EXPECT_EQ(p.gifMaxDuration, 30.0);
    EXPECT_FALSE(p.saveGIFToVisualMemory);
    EXPECT_EQ(p.longshotConfig.speed, LongshotSpeed::fast);
}

TEST(AppPreferencesCoding, AnyWrongTypeOrUnknownRawValueFailsTheWholeDocument) {
    const char* broken[] = {
        R"({"appLanguage": "xx"})",
        R"({"visualMemoryStorageLimit": "tenGB"})",
        R"({"saveLogsEnabled": 1})",
        R"({"gifFPS": "20"})",
        R"({"gifFPS": true})",
        R"({"screenshotHotkey": {"key": "4"}})",
        R"({"longshotConfig": {"speed": "normal", "maxFrames": 1.5, "timeoutSec": 90, "minProgressPixels": 24, "stableBottomFrames": 3}})",
        R"({"lastScreenshotSelection": {"screenDisplayID": -1, "globalRect": [[0,0],[1,1]]}})",
        R"({"recentAnnotationColorHexes": "#FF0000"})",
        R"([])",
        R"({"appLanguage": )",
    };
    for (const char* text : broken) {
        EXPECT_FALSE(PreferencesStore::decode(text).has_value()) << text;
    }
}

TEST(AppPreferencesCoding, NoValueIsClampedWhileDecoding) {
    const AppPreferences p = decodeOrFail(R"({"gifFPS": 2, "floatingThumbnailDismissDelay": -5})");
    EXPECT_EQ(p.gifFPS, 2.0);
    EXPECT_EQ(p.floatingThumbnailDismissDelay, -5.0);
}

TEST(AppPreferencesMigrations, ShiftCommandCaptureHotkeysReturnToTheDefaults) {
    AppPreferences p = AppPreferences::defaults();
    p.screenshotHotkey = {"4", commandShift};
    p.longshotHotkey = {"1", commandShift};
    p.gifRegionHotkey = {"2", controlShift}; // the user's own choice
    p.gifWindowHotkey = {"9", commandShift}; // not the clashing key
    EXPECT_TRUE(p.migrateSystemShortcutConflictingDefaultHotkeys());
    EXPECT_EQ(p.screenshotHotkey, (HotkeyConfiguration{"4", commandOption}));
    EXPECT_EQ(p.longshotHotkey, (HotkeyConfiguration{"1", commandOption}));
    EXPECT_EQ(p.gifRegionHotkey, (HotkeyConfiguration{"2", controlShift}));
    EXPECT_EQ(p.gifWindowHotkey, (HotkeyConfiguration{"9", commandShift}));
    EXPECT_FALSE(p.migrateSystemShortcutConflictingDefaultHotkeys());
}

TEST(AppPreferencesMigrations, EditorCopyDesktopIconsAndFrameRate) {
    AppPreferences p = AppPreferences::defaults();
    p.editorCopyHotkey = {"C", commandShift};
    EXPECT_TRUE(p.migrateLegacyEditorCopyDefaultHotkey());
    EXPECT_EQ(p.editorCopyHotkey, (HotkeyConfiguration{"C", {HotkeyModifiers::command}}));

    p.autoHideDesktopIconsForScreenshot = true;
    p.autoHideDesktopIconsForLongshot = true;
    EXPECT_FALSE(p.migrateLegacyDesktopAutoHideDefaultsToOptIn()) << "only all three on is the legacy default";
    p.autoHideDesktopIconsForGIFRegion = true;
    EXPECT_TRUE(p.migrateLegacyDesktopAutoHideDefaultsToOptIn());
    EXPECT_FALSE(p.autoHideDesktopIconsForScreenshot || p.autoHideDesktopIconsForLongshot ||
                 p.autoHideDesktopIconsForGIFRegion);

    p.gifFPS = 12.0;
    EXPECT_TRUE(p.migrateLegacyGIFFrameRateForSmoothPlayback());
    EXPECT_EQ(p.gifFPS, 20.0);
    p.gifFPS = 30.0;
    EXPECT_FALSE(p.migrateLegacyGIFFrameRateForSmoothPlayback());
    EXPECT_EQ(p.gifFPS, 30.0);
}

TEST(AppPreferencesValues, DefaultsAndDerivedValues) {
    const AppPreferences p = AppPreferences::makeDefaults("/home/ada");
    EXPECT_EQ(p.exportDirectory, "/home/ada/Pictures/Brisklet");
    EXPECT_EQ(p.screenshotHotkey.displayValue(), "\u2325\u23184");
    EXPECT_EQ((HotkeyConfiguration{" f13 ", {15}}).displayValue(), "\u2303\u2325\u21E7\u2318F13");

    AppPreferences tilde = p;
    tilde.exportDirectory = "~/Shots";
    EXPECT_EQ(tilde.exportDirectoryURL(), currentHomeDirectory() / "Shots");
}

TEST(ExportKindTable, PrefixesExtensionsAndPreferenceColumns) {
    AppPreferences p = AppPreferences::defaults();
    EXPECT_EQ(fileNamePrefix(ExportKind::clipboardImage), "clipboard-image");
    EXPECT_EQ(fileExtension(ExportKind::clipboardText), "txt");
    EXPECT_EQ(fileNamePrefix(ExportKind::videoMOV), "recording");
    EXPECT_EQ(fileExtension(ExportKind::videoMOV), "mov");
    p.saveScreenshotToVisualMemory = false;
    p.clipboardTextRetentionPeriod = VisualMemoryRetentionPeriod::oneDay;
    EXPECT_FALSE(savesToVisualMemory(ExportKind::appshot, p));
    EXPECT_TRUE(savesToVisualMemory(ExportKind::gif, p));
    EXPECT_EQ(retentionPeriod(ExportKind::clipboardText, p), VisualMemoryRetentionPeriod::oneDay);
    EXPECT_EQ(retentionPeriod(ExportKind::videoMP4, p), VisualMemoryRetentionPeriod::oneMonth);
}

} // namespace
} // namespace brisklet
