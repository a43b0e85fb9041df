#pragma once

#include "ZelvorApp/Control/SelectionOverlayTypes.h"

#include <functional>
#include <string_view>

namespace brisklet {

/// The region-selection overlay, as the controller drives it.
class SelectionOverlayPort {
public:
    struct Handlers {
        std::function<void(ScreenSelectionResult)> onSelect;
        std::function<void()> onCancel;
    };

    virtual ~SelectionOverlayPort() = default;
    /// Opens the overlay; exactly one handler runs later, on the main queue.
    virtual void present(const SelectionOverlayConfiguration& configuration, Handlers handlers) = 0;
    /// Whether an overlay is open and waiting for the user.
    virtual bool hasActiveSelection() const = 0;
    /// Closes an open overlay without calling its handlers.
    virtual void close(std::string_view reason) = 0;
};

} // namespace brisklet
