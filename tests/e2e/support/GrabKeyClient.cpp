// Another X client that holds a key combination the way a desktop's own shortcut daemon would:
// a passive grab on the root window. Usage: grab-key-client KEYSYM MODMASK
// (for example 0x35 12 for Ctrl+Alt+5). Prints "grabbed" and holds the grab until killed.
#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: grab-key-client KEYSYM MODMASK\n");
        return 2;
    }
    const auto keysym = static_cast<xcb_keysym_t>(std::strtoul(argv[1], nullptr, 0));
    const auto mask = static_cast<std::uint16_t>(std::strtoul(argv[2], nullptr, 0));
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection)) {
        std::fprintf(stderr, "grab-key-client: no display\n");
        return 1;
    }
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    xcb_key_symbols_t* symbols = xcb_key_symbols_alloc(connection);
    xcb_keycode_t* codes = xcb_key_symbols_get_keycode(symbols, keysym);
    if (!codes || codes[0] == XCB_NO_SYMBOL) {
        std::fprintf(stderr, "grab-key-client: keysym not on the keyboard\n");
        return 1;
    }
    xcb_generic_error_t* error = xcb_request_check(
        connection, xcb_grab_key_checked(connection, 1, root, mask, codes[0], XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
    if (error) {
        std::fprintf(stderr, "grab-key-client: grab refused error=%d\n", error->error_code);
        return 1;
    }
    std::printf("grabbed\n");
    std::fflush(stdout);
    for (;;) {
        pause();
    }
}
