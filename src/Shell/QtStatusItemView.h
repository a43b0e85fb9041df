#pragma once

#include "ZelvorApp/StatusBar/StatusItemView.h"

#include <QObject>

#include <functional>
#include <memory>

class QMenu;
class QSystemTrayIcon;

namespace brisklet {

class MainPanelWindow;
class StatusBarController;

/// The tray icon (StatusNotifierItem where a host exists, XEmbed otherwise), its menu and the
/// main panel placed beside it.
class QtStatusItemView final : public QObject, public StatusItemView {
public:
    explicit QtStatusItemView(MainPanelWindow& panel);
    ~QtStatusItemView() override;

    /// Connects clicks and the panel's closing to the controller and shows the icon.
    void attach(StatusBarController& controller);
    /// Whether a tray host runs at all.
    static bool trayAvailable();

    bool hasStatusItem() const override;
    void setIcon(IconStyle style) override;
    void showContextMenu(const std::vector<StatusBarContextMenuItem>& items,
                         std::function<void(StatusBarContextMenuAction)> onChoose) override;
    Placement showPopover() override;
    Placement alignPopover() override;
    void hidePopover() override;
    bool isPopoverShown() const override;
    void showDragRecoveryPanel() override;
    void hideDragRecoveryPanel() override;
    bool isDragRecoveryPanelVisible() const override { return dragRecoveryVisible_; }

private:
    void fillMenu(const std::vector<StatusBarContextMenuItem>& items);

    MainPanelWindow& panel_;
    std::unique_ptr<QSystemTrayIcon> tray_;
    std::unique_ptr<QMenu> menu_;
    StatusBarController* controller_ = nullptr;
    std::function<void(StatusBarContextMenuAction)> onChoose_;
    IconStyle style_ = IconStyle::normal;
    bool menuOpening_ = false;
    bool dragRecoveryVisible_ = false;
    bool hidePending_ = false;
};

} // namespace brisklet
