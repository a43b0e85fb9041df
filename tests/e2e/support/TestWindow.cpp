// A plain window of another application for the end-to-end tests to point at: a title, a place
// and a flat colour, and no window-manager decorations so its bounds are exactly the ones asked
// for. Usage: e2e-test-window TITLE WIDTH HEIGHT X Y RRGGBB [INNER_RRGGBB|- [TEXT]]; with INNER a
// panel of that colour fills the middle half, a rectangle to find in the picture; with TEXT its
// lines are written in black in a large plain font (a scalable core font), for text recognition.
// Prints "mapped ID" once it is on screen and stays until killed.
#include <xcb/xcb.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

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

std::vector<std::string> lines(const char* text) {
    std::vector<std::string> result;
    std::string line;
    for (const char* c = text; *c; ++c) {
        if (*c == '\n') {
            result.push_back(line);
            line.clear();
        } else {
            line += *c;
        }
    }
    result.push_back(line);
    return result;
}

/// A graphics context drawing black text in a 40-pixel sans-serif core font on `background`.
xcb_gcontext_t textContext(xcb_connection_t* connection, xcb_window_t window, std::uint32_t background) {
    const xcb_font_t font = xcb_generate_id(connection);
    const char* name = "-*-helvetica-medium-r-normal--40-*-*-*-p-*-iso8859-1";
    if (xcb_generic_error_t* error =
            xcb_request_check(connection, xcb_open_font_checked(connection, font, std::strlen(name), name))) {
        std::free(error);
        std::fprintf(stderr, "e2e-test-window: no scalable core font (fonts-urw-base35)\n");
        std::exit(3);
    }
    const xcb_gcontext_t context = xcb_generate_id(connection);
    const std::array<std::uint32_t, 3> values{0x000000, background, font};
    xcb_create_gc(connection, context, window, XCB_GC_FOREGROUND | XCB_GC_BACKGROUND | XCB_GC_FONT, values.data());
    return context;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 7 || argc > 9) {
        std::fprintf(stderr, "usage: e2e-test-window TITLE WIDTH HEIGHT X Y RRGGBB [INNER_RRGGBB|- [TEXT]]\n");
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
    if (argc >= 8 && std::strcmp(argv[7], "-") != 0) {
        panel = xcb_generate_id(connection);
        const std::uint32_t inner = static_cast<std::uint32_t>(std::strtoul(argv[7], nullptr, 16));
        xcb_create_gc(connection, panel, window, XCB_GC_FOREGROUND, &inner);
    }
    const xcb_rectangle_t middle{static_cast<std::int16_t>(width / 4), static_cast<std::int16_t>(height / 4),
                                 static_cast<std::uint16_t>(width / 2), static_cast<std::uint16_t>(height / 2)};
    const std::vector<std::string> text = argc == 9 ? lines(argv[8]) : std::vector<std::string>{};
    const xcb_gcontext_t writing = text.empty() ? XCB_NONE : textContext(connection, window, colour);
    bool announced = false;
    while (xcb_generic_event_t* event = xcb_wait_for_event(connection)) {
        const auto type = event->response_type & 0x7f;
        if (type == XCB_EXPOSE && panel != XCB_NONE) {
            xcb_poly_fill_rectangle(connection, window, panel, 1, &middle);
            xcb_flush(connection);
        }
        if (type == XCB_EXPOSE && writing != XCB_NONE) {
            for (std::size_t i = 0; i < text.size(); ++i) {
                const auto length = static_cast<std::uint8_t>(std::min<std::size_t>(text[i].size(), 255));
                xcb_image_text_8(connection, length, window, writing, 30, static_cast<std::int16_t>(70 + i * 64),
                                 text[i].c_str());
            }
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
