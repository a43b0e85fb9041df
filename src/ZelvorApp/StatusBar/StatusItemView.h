#pragma once

#include "ZelvorApp/StatusBar/StatusBarContextMenuItem.h"
#include "ZelvorCore/Foundation/Geometry.h"

#include <functional>
#include <vector>

namespace brisklet {

/// The tray icon, its menu and the panel window, as the status-bar controller drives them.
class StatusItemView {
public:
    enum class IconStyle { normal, stop, busy };
    struct Placement {
        Rect frame;
        /// The tray icon's geometry; empty when the tray does not tell.
        Rect anchor;
        Rect screen;
    };

    virtual ~StatusItemView() = default;
    /// Whether a tray shows the icon at all.
    virtual bool hasStatusItem() const = 0;
    virtual void setIcon(IconStyle style) = 0;
    virtual void showContextMenu(const std::vector<StatusBarContextMenuItem>& items,
                                 std::function<void(StatusBarContextMenuAction)> onChoose) = 0;
    /// Shows the panel next to the icon (or places it again when it is shown).
    virtual Placement showPopover() = 0;
    virtual Placement alignPopover() = 0;
    /// Hides the panel; the view reports the end through the controller's `popoverDidClose`.
    virtual void hidePopover() = 0;
    virtual bool isPopoverShown() const = 0;
    virtual void showDragRecoveryPanel() = 0;
    virtual void hideDragRecoveryPanel() = 0;
    virtual bool isDragRecoveryPanelVisible() const = 0;
};

} // namespace brisklet
