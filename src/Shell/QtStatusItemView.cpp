#include "Shell/QtStatusItemView.h"

#include "Shell/MainPanelWindow.h"
#include "Shell/ShellIcons.h"
#include "ZelvorApp/Infrastructure/RuntimeLogger.h"
#include "ZelvorApp/StatusBar/StatusBarController.h"

#include <QCursor>
#include <QGuiApplication>
#include <QMenu>
#include <QPainter>
#include <QPalette>
#include <QScreen>
#include <QSystemTrayIcon>
#include <QTimer>

namespace brisklet {

namespace {

Rect toRect(const QRect& r) {
    return Rect{{static_cast<double>(r.x()), static_cast<double>(r.y())},
                {static_cast<double>(r.width()), static_cast<double>(r.height())}};
}

const char* symbolFor(StatusItemView::IconStyle style) {
    switch (style) {
    case StatusItemView::IconStyle::stop:
        return "stop.circle.fill";
    case StatusItemView::IconStyle::busy:
        return "hourglass.circle";
    case StatusItemView::IconStyle::normal:
        break;
    }
    return "brisklet.tray";
}

/// Beside the icon, on the side of the screen the icon is on; top-right of the screen under the
/// pointer when the tray does not tell where the icon is.
QRect placePanel(const QSize& size, const QRect& anchor) {
    const QPoint probe = anchor.isValid() ? anchor.center() : QCursor::pos();
    QScreen* screen = QGuiApplication::screenAt(probe);
    if (!screen) {
        screen = QGuiApplication::primaryScreen();
    }
    const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 1280, 800);
    constexpr int gap = 6;
    QPoint origin(area.right() - size.width() - gap, area.top() + gap);
    if (anchor.isValid()) {
        const bool below = anchor.center().y() < area.center().y();
        origin.setX(anchor.center().x() - size.width() / 2);
        origin.setY(below ? anchor.bottom() + gap : anchor.top() - size.height() - gap);
    }
    origin.setX(std::clamp(origin.x(), area.left() + gap, std::max(area.left() + gap, area.right() - size.width() - gap)));
    origin.setY(std::clamp(origin.y(), area.top() + gap, std::max(area.top() + gap, area.bottom() - size.height() - gap)));
    return QRect(origin, size);
}

QColor tileColor(StatusItemView::IconStyle style) {
    switch (style) {
    case StatusItemView::IconStyle::stop:
        return QColor(0xe0, 0x1b, 0x24);
    case StatusItemView::IconStyle::busy:
        return QColor(0xe5, 0xa5, 0x0a);
    case StatusItemView::IconStyle::normal:
        break;
    }
    return QColor(0x35, 0x84, 0xe4);
}

/// The symbol in white on a coloured tile: readable on light and dark panels alike, which a
/// plain glyph is not (an XEmbed tray does not tell its colour).
QIcon trayIcon(StatusItemView::IconStyle style) {
    const QIcon glyph = ShellIcons::ownIcon(symbolFor(style), Qt::white);
    QIcon icon;
    for (const int size : {16, 22, 24, 32, 48, 64}) {
        QPixmap tile(size, size);
        tile.fill(Qt::transparent);
        QPainter painter(&tile);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(tileColor(style));
        const qreal inset = size / 16.0;
        painter.drawRoundedRect(QRectF(inset, inset, size - 2 * inset, size - 2 * inset), size / 4.5, size / 4.5);
        const int margin = size / 5;
        glyph.paint(&painter, QRect(margin, margin, size - 2 * margin, size - 2 * margin));
        painter.end();
        icon.addPixmap(tile);
    }
    return icon;
}

} // namespace

QtStatusItemView::QtStatusItemView(MainPanelWindow& panel)
    : panel_(panel), tray_(std::make_unique<QSystemTrayIcon>()), menu_(std::make_unique<QMenu>()) {
    menu_->setProperty("briskletWindowRole", QStringLiteral("statusMenu"));
    tray_->setToolTip(QStringLiteral("Brisklet"));
    setIcon(IconStyle::normal);
}

QtStatusItemView::~QtStatusItemView() {
    tray_->hide();
}

bool QtStatusItemView::trayAvailable() {
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void QtStatusItemView::attach(StatusBarController& controller) {
    controller_ = &controller;
    tray_->setContextMenu(menu_.get());
    // The menu is filled the moment it opens, so it always shows the current state and hotkeys.
    connect(menu_.get(), &QMenu::aboutToShow, this, [this] {
        menuOpening_ = true;
        controller_->handleClick(StatusBarController::Button::right);
        menuOpening_ = false;
    });
    connect(tray_.get(), &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::MiddleClick) {
            controller_->handleClick(StatusBarController::Button::left);
        }
    });
    panel_.onHidden = [this] {
        if (panel_.mode() == MainPanelWindow::Mode::popover && !dragRecoveryVisible_) {
            QTimer::singleShot(0, this, [this] { controller_->popoverDidClose(); });
        }
    };
    connect(qApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
        if (state == Qt::ApplicationActive) {
            controller_->applicationDidBecomeActive();
        } else if (state == Qt::ApplicationInactive && panel_.isActiveWindow() == false) {
            controller_->applicationDidResignActive();
        }
    });
    tray_->show();
    RuntimeLogger::log(std::string("status item shown trayAvailable=") + (trayAvailable() ? "true" : "false"));
}

bool QtStatusItemView::hasStatusItem() const {
    return tray_->isVisible();
}

void QtStatusItemView::setIcon(IconStyle style) {
    style_ = style;
    QIcon icon = trayIcon(style);
    if (icon.isNull()) {
        icon = QIcon::fromTheme(QStringLiteral("camera-photo"));
    }
    tray_->setIcon(icon);
    tray_->setToolTip(QStringLiteral("Brisklet"));
}

void QtStatusItemView::fillMenu(const std::vector<StatusBarContextMenuItem>& items) {
    menu_->clear();
    const QColor color = menu_->palette().color(QPalette::Text);
    for (const StatusBarContextMenuItem& item : items) {
        if (item.isSeparator) {
            menu_->addSeparator();
            continue;
        }
        QString title = QString::fromStdString(item.title);
        if (item.shortcut) {
            // Text after a tab is the menu's shortcut column: shown, never grabbed by the menu.
            title += QLatin1Char('\t') + QString::fromStdString(item.shortcut->desktopText);
        }
        QAction* action = menu_->addAction(title);
        if (item.iconName) {
            action->setIcon(ShellIcons::icon(*item.iconName, color));
        }
        action->setEnabled(item.isEnabled);
        action->setCheckable(item.state == StatusBarContextMenuItem::State::on);
        action->setChecked(item.state == StatusBarContextMenuItem::State::on);
        if (item.action) {
            const StatusBarContextMenuAction chosen = *item.action;
            connect(action, &QAction::triggered, this, [this, chosen] {
                if (onChoose_) {
                    onChoose_(chosen);
                }
            });
        }
    }
}

void QtStatusItemView::showContextMenu(const std::vector<StatusBarContextMenuItem>& items,
                                       std::function<void(StatusBarContextMenuAction)> onChoose) {
    onChoose_ = std::move(onChoose);
    fillMenu(items);
    if (!menuOpening_) {
        menu_->popup(QCursor::pos());
    }
}

StatusItemView::Placement QtStatusItemView::alignPopover() {
    panel_.adjustSize();
    const QRect anchor = tray_->geometry();
    const QRect frame = placePanel(panel_.size(), anchor);
    panel_.move(frame.topLeft());
    QScreen* screen = QGuiApplication::screenAt(frame.center());
    return {toRect(frame), anchor.isValid() ? toRect(anchor) : Rect{},
            screen ? toRect(screen->geometry()) : Rect{}};
}

StatusItemView::Placement QtStatusItemView::showPopover() {
    hidePending_ = false;
    panel_.setMode(MainPanelWindow::Mode::popover);
    panel_.setAttribute(Qt::WA_ShowWithoutActivating, false);
    const Placement placement = alignPopover();
    panel_.QWidget::show();
    panel_.raise();
    panel_.activateWindow();
    return placement;
}

void QtStatusItemView::hidePopover() {
    // Hidden on the next turn: a drag out of the panel replaces the popover by the recovery
    // panel right away, and unmapping the window a drag started in, mid-drag, is not safe.
    hidePending_ = true;
    QTimer::singleShot(0, this, [this] {
        if (hidePending_) {
            hidePending_ = false;
            panel_.QWidget::hide();
        }
    });
}

bool QtStatusItemView::isPopoverShown() const {
    return panel_.QWidget::isVisible() && !dragRecoveryVisible_ && !hidePending_;
}

void QtStatusItemView::showDragRecoveryPanel() {
    // The same panel, left on screen without taking the keyboard, so the drop target keeps it.
    hidePending_ = false;
    dragRecoveryVisible_ = true;
    panel_.setAttribute(Qt::WA_ShowWithoutActivating, true);
    panel_.QWidget::show();
}

void QtStatusItemView::hideDragRecoveryPanel() {
    dragRecoveryVisible_ = false;
    panel_.QWidget::hide();
    panel_.setAttribute(Qt::WA_ShowWithoutActivating, false);
}

} // namespace brisklet
