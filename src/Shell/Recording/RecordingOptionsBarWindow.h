#pragma once

#include "Shell/ShellAppearance.h"
#include "ZelvorApp/Infrastructure/L10nKey.h"
#include "ZelvorApp/Recording/RecordingOptionsBarController.h"

#include <QWidget>

class QComboBox;
class QToolButton;

namespace brisklet {

class LocalizationStore;

/// The bar under a confirmed recording region: GIF, MP4 or MOV, quality, audio, pointer and
/// clicks, then Start or Cancel (Return and Escape). It takes the keyboard while it is open.
class RecordingOptionsBarWindow final : public QWidget {
public:
    RecordingOptionsBarWindow(RecordingOptionsBarController controller, const LocalizationStore& localization);

    /// Shows the bar at its place, in front and with the keyboard, with the arrow pointer.
    void present();
    /// Closes the bar and puts the arrow pointer back.
    void dismissAndRestoreCursor();
    RecordingOptionsBarController& controller() { return controller_; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void build();
    QToolButton* formatButton(RecordingOutputFormat format, const std::string& symbol, L10nKey label);
    QToolButton* toggleButton(const std::string& symbol, L10nKey label, bool checked,
                              void (RecordingOptionsBarModel::*set)(bool));
    void refresh();

    RecordingOptionsBarController controller_;
    const LocalizationStore& localization_;
    ShellAppearance appearance_;
    std::vector<std::pair<RecordingOutputFormat, QToolButton*>> formatButtons_;
    QComboBox* quality_ = nullptr;
    QComboBox* audio_ = nullptr;
};

} // namespace brisklet
