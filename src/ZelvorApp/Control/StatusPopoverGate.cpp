#include "ZelvorApp/Control/StatusPopoverGate.h"

#include "ZelvorApp/Control/Ports/StatusItemPort.h"

namespace brisklet {

void StatusPopoverGate::closeThenContinue(std::function<void()> next) {
    if (!statusItem_ || !(statusItem_->isPopoverShown() || statusItem_->isDragRecoveryPanelVisible())) {
        next();
        return;
    }
    suppressing_ = true;
    statusItem_->setPopoverSuppressed(true);
    statusItem_->closePopover(std::move(next));
}

void StatusPopoverGate::unsuppress() {
    if (!suppressing_) {
        return;
    }
    suppressing_ = false;
    if (statusItem_) {
        statusItem_->setPopoverSuppressed(false);
    }
}

} // namespace brisklet
