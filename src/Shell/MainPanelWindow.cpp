#include "Shell/MainPanelWindow.h"

#include "Shell/MainPanelWidget.h"

#include <QKeyEvent>
#include <QVBoxLayout>

namespace brisklet {

MainPanelWindow::MainPanelWindow(MainPanelWidget& content) : content_(content) {
    setProperty("briskletWindowRole", QStringLiteral("statusPopover"));
    setWindowTitle(QStringLiteral("Brisklet"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/brisklet.svg")));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(&content_);
    content_.onSizeChanged = [this] { adjustSize(); };
    setMode(Mode::popover);
}

void MainPanelWindow::setMode(Mode mode) {
    // New window flags recreate the native window; only ever do that for a real change (a drag
    // that started in the panel may still refer to its window).
    if (mode == mode_ && flagsApplied_) {
        return;
    }
    flagsApplied_ = true;
    mode_ = mode;
    const bool wasVisible = QWidget::isVisible();
    if (mode == Mode::popover) {
        setWindowFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    } else {
        setWindowFlags(Qt::Window);
    }
    if (wasVisible) {
        QWidget::show();
    }
}

void MainPanelWindow::present() {
    setMode(Mode::window);
    adjustSize();
    QWidget::show();
    raise();
    activateWindow();
}

void MainPanelWindow::showEvent(QShowEvent* event) {
    // Hidden panels skip updates; catch up on everything before the first frame.
    content_.refresh();
    QWidget::showEvent(event);
}

void MainPanelWindow::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    if (onHidden) {
        onHidden();
    }
}

void MainPanelWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && mode_ == Mode::popover) {
        QWidget::hide();
        return;
    }
    QWidget::keyPressEvent(event);
}

} // namespace brisklet
