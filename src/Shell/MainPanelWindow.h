#pragma once

#include "ZelvorApp/Control/Ports/AppWindowPort.h"

#include <QWidget>

#include <functional>

namespace brisklet {

class MainPanelWidget;

/// The window around the main panel: a frameless panel beside the tray icon, or, where no tray
/// shows our icon, an ordinary window.
class MainPanelWindow final : public QWidget, public AppWindowPort {
public:
    enum class Mode { popover, window };

    explicit MainPanelWindow(MainPanelWidget& content);
    void setMode(Mode mode);
    Mode mode() const { return mode_; }

    /// Runs once the window is hidden, however it was hidden.
    std::function<void()> onHidden;

    // AppWindowPort: the panel as an ordinary window.
    void present() override;
    bool isVisible() const override { return QWidget::isVisible(); }
    void hide() override { QWidget::hide(); }
    void show() override { QWidget::show(); }

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    MainPanelWidget& content_;
    Mode mode_ = Mode::popover;
    bool flagsApplied_ = false;
};

} // namespace brisklet
