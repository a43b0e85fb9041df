#pragma once

#include <functional>

namespace brisklet {

class StatusItemPort;

/// Keeps the tray popover out of a capture: closes it before the flow goes on and keeps it from
/// opening again until the flow ends.
class StatusPopoverGate {
public:
    explicit StatusPopoverGate(StatusItemPort* statusItem) : statusItem_(statusItem) {}

    /// Runs `next` once the popover (or its drag-recovery panel) is gone; at once when neither
    /// is shown.
    void closeThenContinue(std::function<void()> next);
    /// Lets the popover open again, when this gate had held it back.
    void unsuppress();
    bool isSuppressing() const { return suppressing_; }

private:
    StatusItemPort* statusItem_;
    bool suppressing_ = false;
};

} // namespace brisklet
