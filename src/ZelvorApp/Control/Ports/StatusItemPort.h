#pragma once

#include "ZelvorCore/Models/AppViewState.h"

#include <functional>

namespace brisklet {

/// The tray icon and its popover (the main panel).
class StatusItemPort {
public:
    virtual ~StatusItemPort() = default;
    virtual void updateIcon(AppViewState state, bool systemVideoRecordingActive) = 0;
    virtual bool isPopoverShown() const = 0;
    virtual bool isDragRecoveryPanelVisible() const = 0;
    /// While suppressed the popover does not open, not even from a click.
    virtual void setPopoverSuppressed(bool suppressed) = 0;
    /// Closes the popover (and the drag-recovery panel); `onClosed` runs once both are gone.
    virtual void closePopover(std::function<void()> onClosed) = 0;
    virtual void showPopover() = 0;
};

} // namespace brisklet
