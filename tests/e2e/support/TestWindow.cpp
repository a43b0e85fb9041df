// A plain window of another application for the end-to-end tests to point at: a title, a place
// and a flat colour, and no window-manager decorations so its bounds are exactly the ones asked
// for. Usage: e2e-test-window TITLE WIDTH HEIGHT X Y RRGGBB [INNER_RRGGBB]; with INNER a panel of
// that colour fills the middle half, a rectangle to find in the picture. Prints "mapped ID" once
// it is on screen and stays until killed.
#include <xcb/xcb.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

xcb_atom_t atom(xcb_connection_t* connection, const char* name) {
    xcb_intern_atom_reply_t* reply =
        xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 0, std::strlen(name), name), nullptr);
    const xcb_atom_t value = reply ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
    std::free(reply);
    return value;
}

void setText(xcb_connection_t* connection, xcb_window_t window, xcb_atom_t property, xcb_atom_t type,
             const char* text) {
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, property, type, 8, std::strlen(text), text);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 7 && argc != 8) {
        std::fprintf(stderr, "usage: e2e-test-window TITLE WIDTH HEIGHT X Y RRGGBB [INNER_RRGGBB]\n");
        return 2;
    }
    const auto width = static_cast<std::uint16_t>(std::atoi(argv[2]));
    const auto height = static_cast<std::uint16_t>(std::atoi(argv[3]));
    const auto x = static_cast<std::int16_t>(std::atoi(argv[4]));
    const auto y = static_cast<std::int16_t>(std::atoi(argv[5]));
    const auto colour = static_cast<std::uint32_t>(std::strtoul(argv[6], nullptr, 16));
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection)) {
        std::fprintf(stderr, "e2e-test-window: no display\n");
        return 1;
    }
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    const xcb_window_t window = xcb_generate_id(connection);
    // A 24-bit TrueColor root takes the colour as its pixel value.
    const std::array<std::uint32_t, 2> values{colour, XCB_EVENT_MASK_EXPOSURE | XCB_EVENT_MASK_STRUCTURE_NOTIFY};
    xcb_create_window(connection, XCB_COPY_FROM_PARENT, window, screen->root, x, y, width, height, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, XCB_CW_BACK_PIXEL | XCB_CW_EVENT_MASK,
                      values.data());
    setText(connection, window, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, argv[1]);
    setText(connection, window, atom(connection, "_NET_WM_NAME"), atom(connection, "UTF8_STRING"), argv[1]);
    // WM_CLASS is "instance\0class\0".
    static const char wmClass[] = "e2e-test-window\0E2ETestWindow";
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 8,
                        sizeof wmClass, wmClass);
    // Where the window manager should put it, and no decorations (the Motif hints every WM reads).
    const std::array<std::uint32_t, 18> sizeHints{3 /* USPosition | USSize */, static_cast<std::uint32_t>(x),
                                                  static_cast<std::uint32_t>(y), width, height};
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_NORMAL_HINTS, XCB_ATOM_WM_SIZE_HINTS,
                        32, sizeHints.size(), sizeHints.data());
    const xcb_atom_t motif = atom(connection, "_MOTIF_WM_HINTS");
    const std::array<std::uint32_t, 5> motifHints{2 /* decorations */, 0, 0, 0, 0};
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, motif, motif, 32, motifHints.size(),
                        motifHints.data());
    xcb_map_window(connection, window);
    xcb_flush(connection);
    xcb_gcontext_t panel = XCB_NONE;
    if (argc == 8) {
        panel = xcb_generate_id(connection);
        const std::uint32_t inner = static_cast<std::uint32_t>(std::strtoul(argv[7], nullptr, 16));
        xcb_create_gc(connection, panel, window, XCB_GC_FOREGROUND, &inner);
    }
    const xcb_rectangle_t middle{static_cast<std::int16_t>(width / 4), static_cast<std::int16_t>(height / 4),
                                 static_cast<std::uint16_t>(width / 2), static_cast<std::uint16_t>(height / 2)};
    bool announced = false;
    while (xcb_generic_event_t* event = xcb_wait_for_event(connection)) {
        const auto type = event->response_type & 0x7f;
        if (type == XCB_EXPOSE && panel != XCB_NONE) {
            xcb_poly_fill_rectangle(connection, window, panel, 1, &middle);
            xcb_flush(connection);
        }
        if ((type == XCB_EXPOSE || type == XCB_MAP_NOTIFY) && !announced) {
            std::printf("mapped %u\n", window);
            std::fflush(stdout);
            announced = true;
        }
        std::free(event);
    }
    return 0;
}
