#pragma once

#include "ZelvorCore/Foundation/Geometry.h"

#include <optional>

namespace brisklet {

/// What this window server lets us do with synthetic input.
struct ScrollEventSupport {
    /// The pointer can be moved programmatically.
    bool canWarpPointer = false;
    /// Synthetic scroll events can be posted at all.
    bool canPostScrollEvents = false;
    /// Scroll distances are delivered in exact pixels; otherwise only whole wheel clicks exist.
    bool deliversExactPixels = false;
    /// How many pixels one wheel click scrolls, when that is known here (each application
    /// chooses its own distance, so it usually is not); nothing means unknown.
    std::optional<double> pixelsPerWheelClick;

    bool operator==(const ScrollEventSupport&) const = default;
};

/// The desktop's window server, as far as synthetic input goes: moving the pointer and posting
/// scroll events to whatever lies under it. Called on the main thread.
class WindowServer {
public:
    virtual ~WindowServer() = default;

    /// The capabilities of this backend; asked before every auto-scroll run.
    virtual ScrollEventSupport scrollEventSupport() const = 0;
    /// Moves the pointer to `location`, in points of the window server's space (origin at the
    /// top-left of the whole desktop, y growing downwards). False when the pointer did not move.
    virtual bool warpPointer(Point location) = 0;
    /// Posts one continuous scroll of `deltaPixels` along the vertical axis at the pointer;
    /// negative values move the content up (the page scrolls down). Only meaningful when
    /// `deliversExactPixels`; returns false when no event could be created.
    virtual bool postPixelScroll(int deltaPixels) = 0;
    /// Posts `clicks` wheel clicks at the pointer; negative values move the content up (the
    /// page scrolls down). Returns false when no event could be created.
    virtual bool postWheelClicks(int clicks) = 0;
};

} // namespace brisklet
