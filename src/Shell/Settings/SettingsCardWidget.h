#pragma once

#include "ZelvorApp/Settings/SettingsCategory.h"
#include "ZelvorApp/Settings/SettingsControl.h"

#include <QColor>
#include <QFrame>

#include <functional>
#include <map>
#include <string>

class QLabel;
class QHBoxLayout;
class QVBoxLayout;

namespace brisklet {

class LocalizationStore;
class SettingsViewModel;

/// One card of the settings window: its title and a row for each of its controls. Every control
/// widget is named after its control's id, so tests and scripts find it.
class SettingsCardWidget final : public QFrame {
public:
    /// `iconColour` is the colour of the text the buttons' icons stand beside.
    SettingsCardWidget(SettingsCardKind card, SettingsViewModel& model, const LocalizationStore& localization,
                       const QColor& iconColour, QWidget* parent = nullptr);

    SettingsCardKind card() const { return card_; }
    /// Shows the model's current values, messages and enabled states without rebuilding rows.
    void refreshValues();

    /// Asks the window to choose a directory for a path control; returns the chosen one or empty.
    std::function<QString(const QString& current)> chooseDirectory;

private:
    void addRow(const SettingsControl& control, QVBoxLayout* layout);
    QWidget* makeEditor(const SettingsControl& control);

    SettingsCardKind card_;
    SettingsViewModel& model_;
    const LocalizationStore& localization_;
    QColor iconColour_;
    std::map<std::string, QWidget*> editors_;
    std::map<std::string, QLabel*> messages_;
    QHBoxLayout* lastLine_ = nullptr;
    std::string lastReason_;
    bool lastRowIsButtons_ = false;
};

} // namespace brisklet
