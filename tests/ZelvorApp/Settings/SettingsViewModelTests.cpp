#include "Platform/Fake/ManualClock.h"
#include "Platform/Fake/ManualMainQueue.h"
#include "Platform/Fake/ScriptedGlobalHotkeyService.h"
#include "ZelvorApp/Control/AppModel.h"
#include "ZelvorApp/Hotkeys/HotkeyManager.h"
#include "ZelvorApp/Infrastructure/LocalizationStore.h"
#include "ZelvorApp/Settings/SettingsSearchPolicy.h"
#include "ZelvorApp/Settings/SettingsViewModel.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>

#include <unistd.h>

namespace brisklet {
namespace {

namespace fs = std::filesystem;

/// The application side of the settings, in memory: preference changes land in the model.
struct SettingsFixture : ::testing::Test {
    AppModel app;
    LocalizationStore localization{[] { return std::vector<std::string>{"en"}; }};
    std::vector<bool> suspensions;
    std::map<GlobalHotkeyAction, int> failures;
    bool iconsHidden = false;
    std::vector<std::string> opened;
    std::unique_ptr<SettingsViewModel> model;
    const fs::path home = fs::temp_directory_path() / ("brisklet-settings-home-" + std::to_string(::getpid()));

    void TearDown() override { fs::remove_all(home); }

    void SetUp() override {
        app.setPreferences(AppPreferences::makeDefaults(home));
        SettingsViewModel::Services s;
        s.updatePreferences = [this](const std::function<void(AppPreferences&)>& change) {
            AppPreferences p = app.preferences();
            change(p);
            app.setPreferences(p);
        };
        s.permissions = [] { return AppPermissionSnapshot{true, false}; };
        s.desktopIconsSupported = [] { return true; };
        s.desktopIconsHidden = [this] { return iconsHidden; };
        s.setDesktopIconsHidden = [this](bool hidden) { iconsHidden = hidden; };
        s.storageUsage = [] { return SettingsViewModel::StorageUsage{2'500'000, 7}; };
        s.cleanNow = [] { return SettingsViewModel::CleanupResult{3, 1'200'000}; };
        s.open = [this](const std::string& target) { opened.push_back(target); };
        s.hotkeyRegistrationFailure = [this](GlobalHotkeyAction action) -> std::optional<int> {
            const auto it = failures.find(action);
            return it == failures.end() ? std::nullopt : std::optional<int>(it->second);
        };
        s.setHotkeysSuspended = [this](bool suspended) { suspensions.push_back(suspended); };
        s.version = "9.8.7";
        model = std::make_unique<SettingsViewModel>(app, localization, s);
    }

    RawKeyEvent key(std::string token, int modifiers) {
        RawKeyEvent event;
        event.token = std::move(token);
        event.modifiers.rawValue = modifiers;
        return event;
    }
};

constexpr int ctrl = HotkeyModifiers::command;
constexpr int alt = HotkeyModifiers::option;

TEST_F(SettingsFixture, searchFollowsTheCategoryUnlessAQueryIsTyped) {
    model->selectCategory(SettingsCategory::files);
    model->setQuery(" \n\t ");
    EXPECT_EQ(model->visibleCards(), settingsCards(SettingsCategory::files));

    // A card of another category is found; clearing the query returns to the selected one.
    model->setQuery(" " + localization.text(L10nKey::settingsCrosshair).substr(0, 6) + " ");
    ASSERT_EQ(model->visibleCards(), std::vector<SettingsCardKind>{SettingsCardKind::selection});
    model->setQuery("");
    EXPECT_EQ(model->visibleCards(), settingsCards(SettingsCategory::files));

    model->setQuery("no setting is called this");
    EXPECT_TRUE(model->visibleCards().empty());
}

TEST_F(SettingsFixture, theLocalizedNameOfAHotkeyActionFindsTheHotkeysCard) {
    for (const AppLanguage language : {AppLanguage::english, AppLanguage::german, AppLanguage::japanese}) {
        localization.apply(language);
        std::string name = localization.text(L10nKey::actionTranslateScreenshot);
        // Lower-cased the query still matches the card's upper-case text.
        for (char& c : name) {
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
        const auto cards = SettingsSearchPolicy::visibleCards(SettingsCategory::overview, name, localization);
        EXPECT_NE(std::find(cards.begin(), cards.end(), SettingsCardKind::hotkeys), cards.end()) << name;
    }
}

TEST_F(SettingsFixture, everyCardBelongsToTheOneCategoryThatListsIt) {
    std::multiset<SettingsCardKind> listed;
    for (const SettingsCategory category : allSettingsCategories()) {
        for (const SettingsCardKind card : settingsCards(category)) {
            listed.insert(card);
            EXPECT_EQ(settingsCategory(card), category) << settingsCardName(card);
        }
    }
    for (const SettingsCardKind card : allSettingsCards()) {
        EXPECT_EQ(listed.count(card), 1u) << settingsCardName(card);
        EXPECT_FALSE(model->controls(card).empty()) << settingsCardName(card);
    }
}

TEST_F(SettingsFixture, everyToggleAndChoiceChangesItsSettingAndBack) {
    int checked = 0;
    for (const SettingsCardKind card : allSettingsCards()) {
        for (const SettingsControl& control : model->controls(card)) {
            if (control.kind != SettingsControl::Kind::toggle && control.kind != SettingsControl::Kind::choice) {
                continue;
            }
            const int original = model->value(control.id);
            const AppPreferences before = app.preferences();
            const bool iconsBefore = iconsHidden;
            std::vector<int> values{1 - original};
            if (control.kind == SettingsControl::Kind::choice) {
                values.clear();
                for (const SettingsChoice& choice : control.choices) {
                    if (choice.value != original) {
                        values.push_back(choice.value);
                    }
                }
                ASSERT_GE(control.choices.size(), 2u) << control.id;
            }
            for (const int value : values) {
                model->setValue(control.id, value);
                EXPECT_EQ(model->value(control.id), value) << control.id;
                EXPECT_TRUE(app.preferences() != before || iconsHidden != iconsBefore) << control.id;
            }
            model->setValue(control.id, original);
            EXPECT_EQ(app.preferences(), before) << control.id;
            EXPECT_EQ(iconsHidden, iconsBefore) << control.id;
            ++checked;
        }
    }
    EXPECT_GT(checked, 30);
}

TEST_F(SettingsFixture, desktopIconControlsAreDisabledWithTheirReasonWhereUnsupported) {
    SettingsViewModel::Services s;
    s.updatePreferences = [this](const std::function<void(AppPreferences&)>& change) {
        AppPreferences p = app.preferences();
        change(p);
        app.setPreferences(p);
    };
    s.desktopIconsSupported = [] { return false; };
    SettingsViewModel unsupported(app, localization, s);
    int disabled = 0;
    for (const SettingsControl& control : unsupported.controls(SettingsCardKind::captureExperience)) {
        if (control.id.find("ideDesktopIcons") != std::string::npos ||
            control.id.find("autoHide") != std::string::npos) {
            EXPECT_FALSE(control.enabled) << control.id;
            EXPECT_EQ(control.disabledReason, localization.text(L10nKey::settingsDesktopIconsUnsupported));
            ++disabled;
        }
    }
    EXPECT_EQ(disabled, 4);
    unsupported.setValue("capture.autoHideForScreenshot", 1);
    EXPECT_FALSE(app.preferences().autoHideDesktopIconsForScreenshot);
}

TEST_F(SettingsFixture, theExportDirectoryMustBeOneUsableDirectory) {
    const fs::path root = fs::temp_directory_path() / ("brisklet-settings-" + std::to_string(::getpid()));
    fs::remove_all(root);
    fs::create_directories(root);
    std::ofstream(root / "file.txt") << "x";
    const std::string before = app.preferences().exportDirectory;

    for (const std::string& bad : {std::string("relative/dir"), (root / "file.txt").string(), std::string("  "),
                                   (root / "file.txt" / "below").string()}) {
        EXPECT_FALSE(model->setExportDirectory(bad)) << bad;
        EXPECT_EQ(app.preferences().exportDirectory, before);
        EXPECT_EQ(model->message("export.directory"), localization.text(L10nKey::settingsExportDirectoryUnavailable));
    }
    // A missing directory is made; trailing slashes and dots are tidied.
    EXPECT_TRUE(model->setExportDirectory(" " + (root / "new" / "shots").string() + "/./ "));
    EXPECT_TRUE(fs::is_directory(root / "new" / "shots"));
    EXPECT_EQ(app.preferences().exportDirectory, (root / "new" / "shots").string());
    EXPECT_TRUE(model->message("export.directory").empty());
    // The Obsidian vault follows the same rule.
    EXPECT_FALSE(model->setDirectory("export.obsidianVault", "vault"));
    EXPECT_FALSE(app.preferences().obsidianExportDirectory.has_value());
    EXPECT_TRUE(model->setDirectory("export.obsidianVault", (root / "vault").string()));
    EXPECT_EQ(app.preferences().obsidianExportDirectory, (root / "vault").string());
    EXPECT_EQ(SettingsViewModel::usableDirectory("~/pics", root), root / "pics");
    EXPECT_TRUE(fs::is_directory(root / "pics"));
    fs::remove_all(root);
}

TEST_F(SettingsFixture, recordingRefusesModifierKeysAndBareLettersAndKeepsListening) {
    const HotkeyRecordTarget target = GlobalHotkeyAction::screenshot;
    const AppPreferences before = app.preferences();
    model->startRecording(target);
    EXPECT_EQ(suspensions, std::vector<bool>{true});

    RawKeyEvent shift;
    shift.isModifierKey = true;
    shift.modifiers.rawValue = HotkeyModifiers::shift;
    EXPECT_EQ(model->recordKey(shift).kind, HotkeyRecordingOutcome::Kind::refusedModifierOnly);
    EXPECT_EQ(model->recordKey(key("Q", 0)).kind, HotkeyRecordingOutcome::Kind::refusedModifierRequired);
    EXPECT_EQ(model->message("hotkey.global.screenshot"), localization.text(L10nKey::settingsHotkeyModifierRequired));
    EXPECT_EQ(app.preferences(), before);
    EXPECT_TRUE(model->recordingTarget().has_value());

    // Function keys may stand alone.
    EXPECT_EQ(model->recordKey(key("F9", 0)).kind, HotkeyRecordingOutcome::Kind::accepted);
    EXPECT_EQ(app.preferences().screenshotHotkey, (HotkeyConfiguration{"F9", {0}}));
    EXPECT_FALSE(model->recordingTarget().has_value());
    EXPECT_EQ(suspensions, (std::vector<bool>{true, false}));
    EXPECT_EQ(model->text("hotkey.global.screenshot"), "F9");
}

TEST_F(SettingsFixture, aConflictNamesTheOtherActionWithinItsOwnScope) {
    model->startRecording(GlobalHotkeyAction::longshot);
    const auto outcome = model->recordKey(key("7", ctrl | alt));
    EXPECT_EQ(outcome.kind, HotkeyRecordingOutcome::Kind::refusedConflict);
    EXPECT_EQ(outcome.conflict, HotkeyRecordTarget(GlobalHotkeyAction::floatingScreenshot));
    const std::string other = localization.text(L10nKey::actionFloatingScreenshot);
    EXPECT_NE(model->message("hotkey.global.longshot").find(other), std::string::npos);
    EXPECT_EQ(app.preferences().longshotHotkey, AppPreferences::defaults().longshotHotkey);

    // Escape gives up and keeps the old combination.
    EXPECT_EQ(model->recordKey(key("ESC", 0)).kind, HotkeyRecordingOutcome::Kind::cancelled);
    EXPECT_FALSE(model->recordingTarget().has_value());

    // The editor's ⌘C clashes with nothing global, only with the editor's own keys.
    model->startRecording(GlobalHotkeyAction::longshot);
    EXPECT_EQ(model->recordKey(key("C", ctrl)).kind, HotkeyRecordingOutcome::Kind::accepted);
    model->startRecording(EditorHotkeyAction::pin);
    EXPECT_EQ(model->recordKey(key("S", ctrl)).conflict, HotkeyRecordTarget(EditorHotkeyAction::save));
}

TEST_F(SettingsFixture, aCombinationAnotherApplicationHoldsIsReported) {
    failures[GlobalHotkeyAction::gifRegion] = 10;
    model->startRecording(GlobalHotkeyAction::gifRegion);
    EXPECT_EQ(model->recordKey(key("G", ctrl | alt)).kind, HotkeyRecordingOutcome::Kind::accepted);
    EXPECT_EQ(app.preferences().gifRegionHotkey, (HotkeyConfiguration{"G", {ctrl | alt}}));
    EXPECT_EQ(model->message("hotkey.global.gifRegion"), localization.text(L10nKey::settingsHotkeyRegisterFailed));

    failures.clear();
    model->clearHotkey(GlobalHotkeyAction::gifRegion);
    EXPECT_EQ(model->text("hotkey.global.gifRegion"), localization.text(L10nKey::settingsHotkeyNotSet));
    EXPECT_TRUE(model->message("hotkey.global.gifRegion").empty());
    model->restoreDefaultHotkeys();
    EXPECT_EQ(app.preferences(), AppPreferences::makeDefaults(home));
}

TEST_F(SettingsFixture, usageCleanupPermissionsAndLinksGoThroughTheServices) {
    EXPECT_EQ(model->text("memory.usage"), localization.text(L10nKey::settingsStorageUsageCalculating));
    model->refresh();
    EXPECT_EQ(model->text("memory.usage"), localization.format(L10nKey::settingsStorageUsage, {"2.5 MB", 7}));
    model->trigger("memory.cleanNow");
    EXPECT_EQ(model->message("memory.cleanNow"), localization.format(L10nKey::messageCleanupCompleted, {3, "1.2 MB"}));

    const auto permissions = model->controls(SettingsCardKind::permissions);
    const auto control = [&](const std::string& id) {
        return *std::find_if(permissions.begin(), permissions.end(), [&](const auto& c) { return c.id == id; });
    };
    EXPECT_FALSE(control("permissions.screenRecording.grant").enabled);
    EXPECT_TRUE(control("permissions.accessibility.grant").enabled);
    EXPECT_EQ(model->text("permissions.accessibility"), localization.text(L10nKey::settingsPermissionNotGranted));

    model->trigger("export.open");
    model->trigger("about.project"); // no project address in this build: nothing opens
    EXPECT_EQ(opened, std::vector<std::string>{(home / "Pictures" / "Brisklet").string()});
    EXPECT_EQ(model->text("updates.currentVersion"), localization.format(L10nKey::settingsCurrentVersion, {"9.8.7"}));
    EXPECT_EQ(SettingsViewModel::byteCountText(999), "999 B");
    EXPECT_EQ(SettingsViewModel::byteCountText(3'400'000'000), "3.4 GB");
}

TEST(HotkeyRegistrationFailures, lastUntilTheNextReloadRegistersTheCombination) {
    ManualClock clock;
    ManualMainQueue queue(clock);
    ScriptedGlobalHotkeyService service;
    service.takenElsewhere.insert({"4", ctrl | alt});
    HotkeyManager manager(service, queue, clock);
    AppPreferences preferences = AppPreferences::makeDefaults("/nonexistent");
    manager.reload(preferences);
    EXPECT_EQ(manager.registrationFailure(GlobalHotkeyAction::screenshot),
              ScriptedGlobalHotkeyService::statusBadAccess);
    EXPECT_FALSE(manager.registrationFailure(GlobalHotkeyAction::longshot).has_value());
    preferences.screenshotHotkey.key = "9";
    manager.reload(preferences);
    EXPECT_FALSE(manager.registrationFailure(GlobalHotkeyAction::screenshot).has_value());
    EXPECT_TRUE(manager.isRegistered(GlobalHotkeyAction::screenshot));
}

} // namespace
} // namespace brisklet
