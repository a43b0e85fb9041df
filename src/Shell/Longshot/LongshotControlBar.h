#pragma once

#include "Shell/ShellAppearance.h"
#include "ZelvorApp/Longshot/LongshotControlBarModel.h"

#include <QWidget>

#include <functional>

class QLabel;
class QToolButton;

namespace brisklet {

class LocalizationStore;

/// The small bar beside a scrolling capture: what is happening, how many frames are in, and the
/// buttons to pause or resume auto-scrolling, finish and cancel. It never takes the keyboard.
class LongshotControlBar final : public QWidget {
public:
    struct Actions {
        std::function<void()> toggleAutoScroll;
        std::function<void()> finish;
        std::function<void()> cancel;
    };

    LongshotControlBar(const LocalizationStore& localization, VisualAppearanceMode appearance, Actions actions);

    static QSize fixedSize() { return {520, 56}; }
    /// Shows the model's state: texts, the play/pause symbol, whether the buttons work.
    void render(const LongshotControlBarModel& model);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QToolButton* addButton(const char* objectName, const std::string& symbol, L10nKey tooltip,
                           std::function<void()> action);

    const LocalizationStore& localization_;
    ShellAppearance appearance_;
    Actions actions_;
    QLabel* title_ = nullptr;
    QLabel* detail_ = nullptr;
    QToolButton* toggle_ = nullptr;
    QToolButton* finish_ = nullptr;
    QToolButton* cancel_ = nullptr;
    std::string toggleSymbol_;
};

} // namespace brisklet
