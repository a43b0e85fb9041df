#pragma once

#include "Platform/WindowServer.h"

#include <memory>
#include <string>

namespace brisklet {

/// The window list of an X11 desktop. The order comes from the window manager's
/// _NET_CLIENT_LIST_STACKING; without a window manager the root's children are used in stacking
/// order. Titles come from _NET_WM_NAME (WM_NAME as a fallback), owners from WM_CLASS (its class
/// part) or the process name in /proc, layers from _NET_WM_WINDOW_TYPE and _NET_WM_STATE, alpha
/// from _NET_WM_WINDOW_OPACITY.
class X11WindowList final : public WindowListSource {
public:
    /// Opens `displayName` (empty: $DISPLAY). `primaryRootOrigin` is where the primary screen's
    /// top-left corner lies in root coordinates; bounds are reported relative to it, and take in
    /// the window manager's frame (title bar and borders, from _NET_FRAME_EXTENTS).
    explicit X11WindowList(const std::string& displayName = {}, Point primaryRootOrigin = {});
    ~X11WindowList() override;
    X11WindowList(const X11WindowList&) = delete;
    X11WindowList& operator=(const X11WindowList&) = delete;

    bool isConnected() const;
    std::vector<WindowServerWindow> onScreenWindows() const override;

private:
    struct Connection;
    std::unique_ptr<Connection> connection_;
    Point origin_;
};

} // namespace brisklet
