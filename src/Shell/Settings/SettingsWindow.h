#pragma once

#include "ZelvorApp/Settings/SettingsCategory.h"
#include "ZelvorCore/Models/AppLanguage.h"

#include <QWidget>

#include <functional>
#include <memory>
#include <vector>

class QLabel;
class QLineEdit;
class QListWidget;
class QScrollArea;
class QVBoxLayout;

namespace brisklet {

class AppModel;
class HotkeyRecordingEventTap;
class KeyboardGrab;
class LocalizationStore;
class SettingsCardWidget;
class SettingsViewModel;

/// The settings window: the categories in a sidebar, the search field, and the cards of the
/// selected category (or of the search) in a scrolling column. It draws; the view model decides.
class SettingsWindow final : public QWidget {
public:
    /// `keyboard`, when given, is taken whole while a hotkey field records, so combinations the
    /// desktop holds still arrive; without it (or when it is busy) the window's own keys are used.
    SettingsWindow(SettingsViewModel& model, AppModel& app, LocalizationStore& localization,
                   KeyboardGrab* keyboard = nullptr, QWidget* parent = nullptr);
    ~SettingsWindow() override;

    /// The directory chooser; replaced by tests.
    std::function<QString(const QString& current)> chooseDirectory;
    /// Runs whenever the window leaves the screen (to remember its frame and category).
    std::function<void()> onHidden;

    SettingsViewModel& model() { return model_; }
    /// The cards on show, in order.
    std::vector<SettingsCardWidget*> cards() const;
    /// Reads the window's texts again in the current language.
    void retranslate();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void buildLayout();
    void modelChanged();
    void rebuildCards();
    void refreshValues();
    void applyAppearance();
    void followRecording();

    SettingsViewModel& model_;
    AppModel& app_;
    LocalizationStore& localization_;
    KeyboardGrab* keyboard_;
    std::unique_ptr<HotkeyRecordingEventTap> tap_;
    bool ownKeyboardGrab_ = false;
    QListWidget* sidebar_ = nullptr;
    QLabel* title_ = nullptr;
    QLineEdit* search_ = nullptr;
    QScrollArea* scroll_ = nullptr;
    QVBoxLayout* cardsLayout_ = nullptr;
    QLabel* noResults_ = nullptr;
    std::vector<SettingsCardWidget*> cards_;
    std::vector<SettingsCardKind> shownCards_;
    SettingsCategory shownCategory_ = SettingsCategory::overview;
    VisualAppearanceMode appliedAppearance_ = VisualAppearanceMode::system;
    bool appearanceApplied_ = false;
    int localizationObserver_ = 0;
    int appObserver_ = 0;
};

} // namespace brisklet
