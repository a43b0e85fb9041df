#include "Platform/Fake/InMemoryDefaultsStore.h"
#include "Shell/Settings/QtSettingsWindow.h"
#include "Shell/Settings/SettingsCardWidget.h"
#include "Shell/Settings/SettingsWindow.h"
#include "Shell/ShellAppearance.h"
#include "ZelvorApp/Control/AppModel.h"
#include "ZelvorApp/Infrastructure/LocalizationStore.h"
#include "ZelvorApp/Settings/SettingsViewModel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

#include <filesystem>

#include <unistd.h>

namespace brisklet {
namespace {

namespace fs = std::filesystem;

/// The real window over a view model whose preference changes land straight in the model, the
/// way the controller's `updatePreferences` does it.
struct SettingsWindowFixture : ::testing::Test {
    AppModel app;
    LocalizationStore localization{[] { return std::vector<std::string>{"en"}; }};
    const fs::path home = fs::temp_directory_path() / ("brisklet-settings-window-" + std::to_string(::getpid()));
    std::unique_ptr<SettingsViewModel> model;
    std::unique_ptr<SettingsWindow> window;
    bool iconsHidden = false;

    /// Everything a control may change: the preferences and the desktop's icons.
    std::pair<AppPreferences, bool> state() const { return {app.preferences(), iconsHidden}; }

    SettingsViewModel::Services services() {
        SettingsViewModel::Services s;
        s.updatePreferences = [this](const std::function<void(AppPreferences&)>& change) {
            AppPreferences p = app.preferences();
            change(p);
            app.setPreferences(p);
            localization.apply(p.appLanguage);
        };
        s.desktopIconsSupported = [] { return true; };
        s.desktopIconsHidden = [this] { return iconsHidden; };
        s.setDesktopIconsHidden = [this](bool hidden) { iconsHidden = hidden; };
        return s;
    }

    void SetUp() override {
        app.setPreferences(AppPreferences::makeDefaults(home));
        model = std::make_unique<SettingsViewModel>(app, localization, services());
        window = std::make_unique<SettingsWindow>(*model, app, localization);
        window->show();
    }
    void TearDown() override {
        window.reset();
        fs::remove_all(home);
    }

    void showCategory(SettingsCategory category) {
        window->findChild<QListWidget*>("settings.sidebar")->setCurrentRow(static_cast<int>(category));
    }
    std::vector<std::string> shownCards() const {
        std::vector<std::string> names;
        for (SettingsCardWidget* card : window->cards()) {
            names.push_back(settingsCardName(card->card()));
        }
        return names;
    }
    template <typename W> W* control(const std::string& id) {
        return window->findChild<W*>(QString::fromStdString(id));
    }
};

TEST_F(SettingsWindowFixture, everyCheckBoxAndMenuOfEveryCategoryChangesItsSettingAndBack) {
    int exercised = 0;
    for (const SettingsCategory category : allSettingsCategories()) {
        showCategory(category);
        for (QCheckBox* box : window->findChildren<QCheckBox*>()) {
            if (!box->isVisibleTo(window.get()) || !box->isEnabled()) {
                continue;
            }
            const auto before = state();
            box->click();
            EXPECT_NE(state(), before) << box->objectName().toStdString();
            box = control<QCheckBox>(box->objectName().toStdString());
            ASSERT_NE(box, nullptr);
            box->click();
            EXPECT_EQ(state(), before) << box->objectName().toStdString();
            ++exercised;
        }
        for (QComboBox* combo : window->findChildren<QComboBox*>()) {
            if (!combo->isVisibleTo(window.get())) {
                continue;
            }
            const std::string id = combo->objectName().toStdString();
            const AppPreferences before = app.preferences();
            const int original = combo->currentIndex();
            const int other = (original + 1) % combo->count();
            QTest::keyClick(combo, other > original ? Qt::Key_Down : Qt::Key_Home);
            EXPECT_NE(app.preferences(), before) << id;
            // A language change rebuilds the cards: look the menu up again.
            combo = control<QComboBox>(id);
            ASSERT_NE(combo, nullptr) << id;
            EXPECT_EQ(combo->currentIndex(), other) << id;
            combo->setCurrentIndex(original);
            emit combo->activated(original);
            EXPECT_EQ(app.preferences(), before) << id;
            ++exercised;
        }
    }
    EXPECT_GT(exercised, 40);
}

TEST_F(SettingsWindowFixture, theSearchShowsMatchingCardsOfEveryCategoryAndNothingElse) {
    showCategory(SettingsCategory::about);
    auto* search = control<QLineEdit>("settings.search");
    auto* noResults = control<QLabel>("settings.noResults");
    QTest::keyClicks(search, "magnif");
    EXPECT_EQ(shownCards(), std::vector<std::string>{"selection"});
    EXPECT_FALSE(noResults->isVisible());
    QTest::keyClicks(search, "zzz");
    EXPECT_TRUE(shownCards().empty());
    EXPECT_TRUE(noResults->isVisible());
    search->clear();
    EXPECT_EQ(shownCards(), (std::vector<std::string>{"updates", "about"}));
}

TEST_F(SettingsWindowFixture, recordingAHotkeyRefusesModifiersAloneAndConflictsThenTakesANewOne) {
    showCategory(SettingsCategory::shortcuts);
    auto* field = control<QPushButton>("hotkey.global.screenshot");
    ASSERT_NE(field, nullptr);
    field->click();
    ASSERT_TRUE(model->recordingTarget().has_value());
    EXPECT_EQ(field->text().toStdString(), localization.text(L10nKey::settingsHotkeyRecordingPrompt));

    QTest::keyClick(window.get(), Qt::Key_Control, Qt::ControlModifier);
    QTest::keyClick(window.get(), Qt::Key_7, Qt::ControlModifier | Qt::AltModifier);
    auto* message = control<QLabel>("hotkey.global.screenshot.message");
    EXPECT_TRUE(message->isVisible());
    EXPECT_NE(message->text().toStdString().find(localization.text(L10nKey::actionFloatingScreenshot)),
              std::string::npos);
    EXPECT_EQ(app.preferences().screenshotHotkey, AppPreferences::defaults().screenshotHotkey);

    QTest::keyClick(window.get(), Qt::Key_9, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_FALSE(model->recordingTarget().has_value());
    EXPECT_EQ(app.preferences().screenshotHotkey,
              (HotkeyConfiguration{"9", {HotkeyModifiers::command | HotkeyModifiers::option}}));
    EXPECT_EQ(field->text(), QStringLiteral("Ctrl+Alt+9"));
    EXPECT_FALSE(message->isVisible());

    control<QPushButton>("hotkeys.restoreDefaults")->click();
    EXPECT_EQ(app.preferences().screenshotHotkey, AppPreferences::defaults().screenshotHotkey);
}

TEST_F(SettingsWindowFixture, theExportDirectoryIsTypedOrChosenAndABadOneIsRefused) {
    showCategory(SettingsCategory::files);
    auto* field = control<QLineEdit>("export.directory");
    ASSERT_NE(field, nullptr);
    field->setFocus();
    field->selectAll();
    QTest::keyClicks(field, QString::fromStdString((home / "typed").string()));
    QTest::keyClick(field, Qt::Key_Return);
    EXPECT_EQ(app.preferences().exportDirectory, (home / "typed").string());

    window->chooseDirectory = [this](const QString&) { return QString::fromStdString((home / "chosen").string()); };
    control<QPushButton>("export.directory.choose")->click();
    EXPECT_EQ(app.preferences().exportDirectory, (home / "chosen").string());

    field->selectAll();
    QTest::keyClicks(field, "not/absolute");
    QTest::keyClick(field, Qt::Key_Return);
    EXPECT_EQ(app.preferences().exportDirectory, (home / "chosen").string());
    EXPECT_TRUE(control<QLabel>("export.directory.message")->isVisible());
}

TEST_F(SettingsWindowFixture, aNewLanguageAndAppearanceApplyAtOnce) {
    auto* sidebar = control<QListWidget>("settings.sidebar");
    model->setValue("language.appLanguage", static_cast<int>(AppLanguage::german));
    EXPECT_EQ(sidebar->item(0)->text().toStdString(), localization.text(L10nKey::settingsCategoryOverview));
    EXPECT_NE(sidebar->item(0)->text(), QStringLiteral("Overview"));
    EXPECT_EQ(window->windowTitle().toStdString(), localization.text(L10nKey::settingsWindowTitle));

    model->setValue("appearance.mode", static_cast<int>(VisualAppearanceMode::dark));
    const QString dark = window->styleSheet();
    model->setValue("appearance.mode", static_cast<int>(VisualAppearanceMode::light));
    EXPECT_TRUE(dark.contains(ShellAppearance::darkAppearance().window.name()));
    EXPECT_TRUE(window->styleSheet().contains(ShellAppearance::light().window.name()));
    EXPECT_FALSE(window->styleSheet().contains(ShellAppearance::darkAppearance().window.name()));
}

TEST(QtSettingsWindowState, theFrameAndCategoryComeBackNextTime) {
    AppModel app;
    LocalizationStore localization{[] { return std::vector<std::string>{"en"}; }};
    InMemoryDefaultsStore defaults;
    {
        QtSettingsWindow port({app, localization, defaults, nullptr, {}});
        port.present();
        ASSERT_TRUE(port.isVisible());
        port.window()->findChild<QListWidget*>("settings.sidebar")->setCurrentRow(3);
        port.window()->resize(900, 700);
        port.hide();
        EXPECT_FALSE(port.isVisible());
    }
    QtSettingsWindow again({app, localization, defaults, nullptr, {}});
    again.present();
    EXPECT_EQ(again.window()->model().selectedCategory(), SettingsCategory::files);
    EXPECT_EQ(again.window()->size(), QSize(900, 700));
}

} // namespace
} // namespace brisklet
