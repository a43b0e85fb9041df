#include "Platform/Linux/X11/XcbScreenConnection.h"

namespace brisklet {

std::optional<XcbScreenConnection> XcbScreenConnection::open(const std::string& displayName) {
    int screenNumber = 0;
    xcb_connection_t* connection = xcb_connect(displayName.empty() ? nullptr : displayName.c_str(), &screenNumber);
    if (!connection || xcb_connection_has_error(connection)) {
        if (connection) {
            xcb_disconnect(connection); // xcb hands out an error object even when nothing connected
        }
        return std::nullopt;
    }
    auto it = xcb_setup_roots_iterator(xcb_get_setup(connection));
    for (int i = 0; i < screenNumber && it.rem > 0; ++i) {
        xcb_screen_next(&it);
    }
    if (it.rem == 0 || it.data == nullptr) {
        xcb_disconnect(connection);
        return std::nullopt;
    }
    return XcbScreenConnection{connection, it.data};
}

} // namespace brisklet
