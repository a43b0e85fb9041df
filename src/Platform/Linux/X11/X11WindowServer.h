#pragma once

#include "Platform/WindowServer.h"

#include <memory>
#include <optional>
#include <string>

namespace brisklet {

/// Synthetic input on an X11 display through the XTest extension. X11 scrolls in wheel clicks
/// (buttons 4 and 5), and each application decides how far one click goes, so this backend
/// only reports a click distance when one was configured; otherwise the auto-scroller measures it.
class X11WindowServer final : public WindowServer {
public:
    struct Options {
        /// The display to open; empty means $DISPLAY.
        std::string displayName;
        /// A known click distance for the applications in use, if the user configured one.
        std::optional<double> pixelsPerWheelClick;
    };

    explicit X11WindowServer(Options options);
    ~X11WindowServer() override;
    X11WindowServer(const X11WindowServer&) = delete;
    X11WindowServer& operator=(const X11WindowServer&) = delete;

    /// Whether the display could be opened.
    bool isConnected() const;

    ScrollEventSupport scrollEventSupport() const override;
    bool warpPointer(Point location) override;
    /// X11 has no pixel scrolling; always false.
    bool postPixelScroll(int deltaPixels) override;
    bool postWheelClicks(int clicks) override;

private:
    struct Connection;
    std::unique_ptr<Connection> connection_;
    Options options_;
};

} // namespace brisklet
