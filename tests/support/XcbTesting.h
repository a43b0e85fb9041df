#pragma once

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include <xcb/xcb.h>

namespace brisklet::testing {

/// The atom named `name`, created if the server does not know it yet.
inline xcb_atom_t internAtom(xcb_connection_t* connection, const char* name) {
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(std::strlen(name)), name), nullptr);
    const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
    std::free(reply);
    return atom;
}

/// Returns once the server has handled every request sent so far.
inline void roundTrip(xcb_connection_t* connection) {
    std::free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
}

} // namespace brisklet::testing
