#pragma once

#include "Platform/DisplayServer.h"

#include <memory>
#include <string>

namespace brisklet {

/// Screens from XRandR monitors (RandR 1.5), or the whole X screen as one screen when RandR is
/// missing. Display numbers are 1, 2, ... in RandR's monitor order, which stays the same while
/// the monitor layout does. The visible frame leaves out the EWMH work area's complement
/// (_NET_WORKAREA of the current desktop) when a window manager publishes one.
class X11DisplayServer final : public DisplayServer {
public:
    /// Opens `displayName` (empty: $DISPLAY).
    explicit X11DisplayServer(const std::string& displayName = {});
    ~X11DisplayServer() override;
    X11DisplayServer(const X11DisplayServer&) = delete;
    X11DisplayServer& operator=(const X11DisplayServer&) = delete;

    /// Whether the display could be opened.
    bool isConnected() const;

    std::vector<DisplayScreen> screens() const override;
    std::optional<Point> mouseLocation() const override;

private:
    struct Connection;
    std::unique_ptr<Connection> connection_;
};

} // namespace brisklet
