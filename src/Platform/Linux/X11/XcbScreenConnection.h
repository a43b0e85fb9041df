#pragma once

#include <optional>
#include <string>

#include <xcb/xcb.h>

namespace brisklet {

/// A connection to an X display and the screen it names ("host:display.screen").
struct XcbScreenConnection {
    xcb_connection_t* connection = nullptr;
    xcb_screen_t* screen = nullptr;

    /// Connects to `displayName` (empty: $DISPLAY); nothing when the display cannot be opened. The
    /// caller owns the connection and disconnects it.
    static std::optional<XcbScreenConnection> open(const std::string& displayName);
};

} // namespace brisklet
