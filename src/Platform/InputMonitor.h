#pragma once

#include "ZelvorCore/Foundation/Geometry.h"

#include <functional>

namespace brisklet {

/// Watches the pointer across the whole desktop, whichever application has focus.
class InputMonitor {
public:
    using PointHandler = std::function<void(Point globalLocation)>;

    virtual ~InputMonitor() = default;

    /// Starts delivering pointer moves (including drags with the left button held) and left-button
    /// presses, in points of the global desktop space (origin bottom-left), on the main queue.
    /// Replaces any handlers given before.
    virtual void start(PointHandler onMove, PointHandler onLeftButtonDown) = 0;
    /// Stops delivering events; handlers are dropped before this returns.
    virtual void stop() = 0;
    /// Where the pointer is now, in points of the global desktop space.
    virtual Point currentLocation() const = 0;
};

} // namespace brisklet
