#pragma once

#include "ZelvorApp/Control/Ports/StatusItemPort.h"
#include "ZelvorApp/StatusBar/StatusItemView.h"

#include <deque>
#include <memory>
#include <optional>

namespace brisklet {

class MainQueue;

/// The tray icon's behaviour: which icon it shows, what a click does, when the panel may open
/// and how it survives a drag out of the library. Main queue only.
class StatusBarController final : public StatusItemPort {
public:
    enum class Button { left, right };

    /// The controller's side; the functions are unset until the controller exists.
    struct Target {
        std::function<AppViewState()> state;
        /// Brings an open editor to the front; true when there was one.
        std::function<bool()> bringEditorToFront;
        std::function<void()> stopLongshot;
        std::function<void()> stopGIF;
        std::function<std::vector<StatusBarContextMenuItem>()> menuItems;
        std::function<void(StatusBarContextMenuAction)> performAction;
    };

    StatusBarController(StatusItemView& view, MainQueue& mainQueue);
    ~StatusBarController() override;

    void setTarget(Target target) { target_ = std::move(target); }
    bool hasController() const { return static_cast<bool>(target_.state); }

    void handleClick(Button button);
    void togglePopover();
    void setPopoverPresentationSuppressed(bool suppressed);
    bool isPopoverPresentationSuppressed() const { return suppressed_; }
    /// Hides the panel for a drag out of the library; true when there was a panel to hide.
    bool beginVisualMemoryDrag();
    void endVisualMemoryDrag();
    /// Reported by the view once the panel is gone.
    void popoverDidClose();
    void applicationDidResignActive();
    void applicationDidBecomeActive();
    static StatusItemView::IconStyle iconStyle(AppViewState state, bool usesSystemVideoRecordingControl);

    // StatusItemPort
    void updateIcon(AppViewState state, bool systemVideoRecordingActive) override;
    bool isPopoverShown() const override { return view_.isPopoverShown(); }
    bool isDragRecoveryPanelVisible() const override { return view_.isDragRecoveryPanelVisible(); }
    void setPopoverSuppressed(bool suppressed) override { setPopoverPresentationSuppressed(suppressed); }
    void closePopover(std::function<void()> onClosed) override;
    void showPopover() override;

private:
    void showContextMenu();
    void logPlacement(const char* reason, const StatusItemView::Placement& placement);
    void runCloseCallbacks();

    StatusItemView& view_;
    MainQueue& mainQueue_;
    Target target_;
    bool suppressed_ = false;
    bool closePending_ = false;
    bool dragging_ = false;
    bool alignAfterActivation_ = false;
    std::deque<std::function<void()>> closeCallbacks_;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

} // namespace brisklet
