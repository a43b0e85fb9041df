#pragma once

#include "ZelvorCore/Foundation/Geometry.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

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

/// One on-screen window as the window server describes it; fields it cannot read are absent.
struct WindowServerWindow {
    /// The window number (X11: the client window's id); 0 when the server gave none.
    std::uint32_t number = 0;
    std::optional<std::string> name;
    std::optional<std::string> ownerName;
    std::optional<std::int32_t> ownerPID;
    /// Points, origin at the top-left of the primary screen, y down.
    std::optional<Rect> bounds;
    /// 0 for normal windows; docks, panels, menus and windows kept above sit on other layers.
    int layer = 0;
    /// 0 (invisible) ... 1 (opaque).
    double alpha = 1.0;
    /// False when the window asks not to be captured.
    bool isShareable = true;

    bool operator==(const WindowServerWindow&) const = default;
};

/// The on-screen windows of every application. Read from any thread; every call asks afresh.
class WindowListSource {
public:
    virtual ~WindowListSource() = default;

    /// The mapped windows, front to back, without desktop elements (the desktop window itself,
    /// desktop icons). Empty when there is no display.
    virtual std::vector<WindowServerWindow> onScreenWindows() const = 0;
};

} // namespace brisklet
