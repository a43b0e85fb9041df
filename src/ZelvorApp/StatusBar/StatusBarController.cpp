#include "ZelvorApp/StatusBar/StatusBarController.h"

#include "Platform/MainQueue.h"
#include "ZelvorApp/Infrastructure/RuntimeLogger.h"

namespace brisklet {

namespace {

const char* styleName(StatusItemView::IconStyle style) {
    switch (style) {
    case StatusItemView::IconStyle::stop:
        return "stop";
    case StatusItemView::IconStyle::busy:
        return "busy";
    case StatusItemView::IconStyle::normal:
        break;
    }
    return "normal";
}

bool isLongshotRunning(AppViewState state) {
    return state == AppViewState::capturingLongshot || state == AppViewState::pausedLongshot;
}

bool isGIFRunning(AppViewState state) {
    return state == AppViewState::recordingGif || state == AppViewState::pausedGif;
}

} // namespace

StatusBarController::StatusBarController(StatusItemView& view, MainQueue& mainQueue)
    : view_(view), mainQueue_(mainQueue) {
    RuntimeLogger::log("StatusBarController init");
}

StatusBarController::~StatusBarController() = default;

StatusItemView::IconStyle StatusBarController::iconStyle(AppViewState state, bool usesSystemVideoRecordingControl) {
    if (isLongshotRunning(state) || (isGIFRunning(state) && !usesSystemVideoRecordingControl)) {
        return StatusItemView::IconStyle::stop;
    }
    if (state == AppViewState::capturingSuperScreenshot || state == AppViewState::finalizingLongshot ||
        state == AppViewState::finalizingGif) {
        return StatusItemView::IconStyle::busy;
    }
    return StatusItemView::IconStyle::normal;
}

void StatusBarController::updateIcon(AppViewState state, bool systemVideoRecordingActive) {
    const auto style = iconStyle(state, systemVideoRecordingActive);
    view_.setIcon(style);
    RuntimeLogger::log("update status item icon for state=" + std::string(toString(state)) + " style=" +
                       styleName(style));
}

void StatusBarController::handleClick(Button button) {
    if (button == Button::right) {
        showContextMenu();
        return;
    }
    if (!hasController()) {
        RuntimeLogger::log("status item tapped but controller missing");
        return;
    }
    const AppViewState state = target_.state();
    RuntimeLogger::log("status item tapped state=" + std::string(toString(state)));
    if (target_.bringEditorToFront && target_.bringEditorToFront()) {
        return;
    }
    if (isLongshotRunning(state)) {
        target_.stopLongshot();
        return;
    }
    if (isGIFRunning(state)) {
        target_.stopGIF();
        return;
    }
    if (!isBetweenCaptures(state)) {
        return;
    }
    togglePopover();
}

void StatusBarController::showContextMenu() {
    if (!hasController() || !view_.hasStatusItem()) {
        RuntimeLogger::log("showContextMenu skipped (button/controller missing)");
        return;
    }
    RuntimeLogger::log("showContextMenu state=" + std::string(toString(target_.state())));
    std::weak_ptr<bool> alive = alive_;
    view_.showContextMenu(target_.menuItems(), [this, alive](StatusBarContextMenuAction action) {
        if (alive.expired()) {
            return;
        }
        if (!target_.performAction) {
            RuntimeLogger::log("context menu action skipped because controller missing");
            return;
        }
        target_.performAction(action);
    });
}

void StatusBarController::logPlacement(const char* reason, const StatusItemView::Placement& placement) {
    RuntimeLogger::log(std::string("alignPopoverWindow reason=") + reason + " frame=" + toString(placement.frame) +
                       " anchor=" + toString(placement.anchor) + " screen=" + toString(placement.screen));
}

void StatusBarController::showPopover() {
    if (suppressed_) {
        RuntimeLogger::log("showPopover skipped because popover presentation is suppressed");
        return;
    }
    if (!hasController()) {
        RuntimeLogger::log("showPopover skipped (button/controller missing)");
        return;
    }
    logPlacement("show", view_.showPopover());
    RuntimeLogger::log("showPopover shown");
    // The window manager may move a window that maps while we activate; place it once more.
    alignAfterActivation_ = true;
    std::weak_ptr<bool> alive = alive_;
    mainQueue_.post([this, alive] {
        if (!alive.expired() && view_.isPopoverShown()) {
            logPlacement("settle", view_.alignPopover());
        }
    });
}

void StatusBarController::togglePopover() {
    if (suppressed_) {
        RuntimeLogger::log("togglePopover skipped because popover presentation is suppressed");
        return;
    }
    if (view_.isPopoverShown() || view_.isDragRecoveryPanelVisible()) {
        closePopover([] {});
    } else {
        showPopover();
    }
}

void StatusBarController::setPopoverPresentationSuppressed(bool suppressed) {
    suppressed_ = suppressed;
    RuntimeLogger::log(std::string("set popover presentation suppressed=") + (suppressed ? "true" : "false"));
}

void StatusBarController::closePopover(std::function<void()> onClosed) {
    if (onClosed) {
        closeCallbacks_.push_back(std::move(onClosed));
    }
    if (closePending_) {
        return;
    }
    const bool popoverShown = view_.isPopoverShown();
    if (view_.isDragRecoveryPanelVisible()) {
        view_.hideDragRecoveryPanel();
    }
    if (!popoverShown) {
        runCloseCallbacks();
        return;
    }
    closePending_ = true;
    view_.hidePopover();
}

void StatusBarController::popoverDidClose() {
    if (dragging_) {
        return;
    }
    closePending_ = false;
    runCloseCallbacks();
}

void StatusBarController::runCloseCallbacks() {
    // A callback may queue another close; it runs in this same pass, in order.
    while (!closeCallbacks_.empty()) {
        auto callback = std::move(closeCallbacks_.front());
        closeCallbacks_.pop_front();
        callback();
    }
}

void StatusBarController::applicationDidResignActive() {
    if (dragging_) {
        RuntimeLogger::log("closePopover skipped for visual memory drag application resign");
        return;
    }
    if (view_.isPopoverShown()) {
        RuntimeLogger::log("closePopover reason=applicationResign");
        closePopover([] {});
    }
}

void StatusBarController::applicationDidBecomeActive() {
    if (!alignAfterActivation_ || !view_.isPopoverShown()) {
        return;
    }
    alignAfterActivation_ = false;
    std::weak_ptr<bool> alive = alive_;
    mainQueue_.post([this, alive] {
        if (!alive.expired() && view_.isPopoverShown()) {
            logPlacement("activation", view_.alignPopover());
        }
    });
}

bool StatusBarController::beginVisualMemoryDrag() {
    if (!view_.isPopoverShown()) {
        return false;
    }
    dragging_ = true;
    view_.hidePopover();
    RuntimeLogger::log("status popover hidden for visual memory drag");
    view_.showDragRecoveryPanel();
    RuntimeLogger::log("status popover replaced with nonactivating drag recovery panel");
    return true;
}

void StatusBarController::endVisualMemoryDrag() {
    if (!dragging_) {
        return;
    }
    dragging_ = false;
    std::weak_ptr<bool> alive = alive_;
    mainQueue_.post([this, alive] {
        if (alive.expired()) {
            return;
        }
        if (view_.isDragRecoveryPanelVisible()) {
            view_.hideDragRecoveryPanel();
            logPlacement("dragEnd", view_.showPopover());
            RuntimeLogger::log("status popover restored after visual memory drag");
        } else {
            RuntimeLogger::log("status popover closed during visual memory drag; clearing stale presentation");
            closePending_ = false;
            runCloseCallbacks();
        }
    });
}

} // namespace brisklet
