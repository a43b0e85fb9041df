// A changing screen for the video benchmark: detailed, screen-like pictures (flat panels, thin
// "text" strokes, gradients) that replace each other every half second in a window covering the
// screen, and the same pictures as raw RGB so recordings can be compared with what was shown.
// Usage: brisklet_bench_video_slides show WIDTH HEIGHT COUNT     (prints "shown" when the first is up)
//        brisklet_bench_video_slides render WIDTH HEIGHT INDEX   (rgb24 on standard output)
#include <xcb/xcb.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr double kSlideSeconds = 0.5;

struct Random {
    std::uint32_t state;
    std::uint32_t next() {
        state = state * 1664525u + 1013904223u;
        return state >> 8;
    }
    int below(int n) { return static_cast<int>(next() % static_cast<std::uint32_t>(n)); }
};

/// Slide `index` as RGB triples, rows top to bottom.
std::vector<std::uint8_t> slide(int width, int height, int index) {
    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(width) * height * 3);
    Random random{static_cast<std::uint32_t>(index * 7919 + 17)};
    const int hue = random.below(256);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            std::uint8_t* p = &rgb[(static_cast<std::size_t>(y) * width + x) * 3];
            p[0] = static_cast<std::uint8_t>((hue + x * 64 / width) & 0xff);
            p[1] = static_cast<std::uint8_t>(180 + y * 60 / height);
            p[2] = static_cast<std::uint8_t>(220 - x * 40 / width);
        }
    }
    const auto fill = [&](int x0, int y0, int w, int h, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
        for (int y = std::max(y0, 0); y < std::min(y0 + h, height); ++y) {
            for (int x = std::max(x0, 0); x < std::min(x0 + w, width); ++x) {
                std::uint8_t* p = &rgb[(static_cast<std::size_t>(y) * width + x) * 3];
                p[0] = r;
                p[1] = g;
                p[2] = b;
            }
        }
    };
    // Panels, each with lines of "text": short dark strokes one to three pixels wide.
    for (int panel = 0; panel < 14; ++panel) {
        const int w = 160 + random.below(width / 3);
        const int h = 90 + random.below(height / 3);
        const int x0 = random.below(width - 100);
        const int y0 = random.below(height - 60);
        const auto shade = static_cast<std::uint8_t>(230 + random.below(26));
        fill(x0, y0, w, h, shade, shade, static_cast<std::uint8_t>(shade - random.below(30)));
        fill(x0, y0, w, 24, static_cast<std::uint8_t>(random.below(256)), static_cast<std::uint8_t>(random.below(256)),
             static_cast<std::uint8_t>(random.below(256)));
        for (int line = y0 + 34; line + 10 < y0 + h; line += 16) {
            for (int x = x0 + 8; x + 8 < x0 + w;) {
                const int word = 12 + random.below(40);
                for (int stroke = x; stroke < std::min(x + word, x0 + w - 8); stroke += 2 + random.below(3)) {
                    fill(stroke, line + random.below(3), 1 + random.below(2), 7 + random.below(3), 30, 30, 40);
                }
                x += word + 6;
            }
        }
    }
    return rgb;
}

int show(int width, int height, int count) {
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection)) {
        std::fprintf(stderr, "cannot open the display\n");
        return 1;
    }
    xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    const xcb_window_t window = xcb_generate_id(connection);
    const std::uint32_t values[] = {1};
    xcb_create_window(connection, XCB_COPY_FROM_PARENT, window, screen->root, 0, 0, width, height, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, XCB_CW_OVERRIDE_REDIRECT, values);
    xcb_map_window(connection, window);
    const xcb_gcontext_t gc = xcb_generate_id(connection);
    xcb_create_gc(connection, gc, window, 0, nullptr);
    std::vector<std::vector<std::uint8_t>> pictures;
    for (int index = 0; index < count; ++index) {
        const auto rgb = slide(width, height, index);
        std::vector<std::uint8_t> bgrx(static_cast<std::size_t>(width) * height * 4);
        for (std::size_t i = 0, n = static_cast<std::size_t>(width) * height; i < n; ++i) {
            bgrx[i * 4] = rgb[i * 3 + 2];
            bgrx[i * 4 + 1] = rgb[i * 3 + 1];
            bgrx[i * 4 + 2] = rgb[i * 3];
        }
        pictures.push_back(std::move(bgrx));
    }
    const int rowsPerRequest = std::max(1, static_cast<int>((xcb_get_maximum_request_length(connection) * 4 - 64) /
                                                            (static_cast<std::uint32_t>(width) * 4)));
    const auto start = std::chrono::steady_clock::now();
    for (int index = 0; index < count; ++index) {
        std::this_thread::sleep_until(start + std::chrono::duration<double>(index * kSlideSeconds));
        for (int y = 0; y < height; y += rowsPerRequest) {
            const int rows = std::min(rowsPerRequest, height - y);
            xcb_put_image(connection, XCB_IMAGE_FORMAT_Z_PIXMAP, window, gc, width, rows, 0, y, 0, 24,
                          static_cast<std::uint32_t>(width) * rows * 4,
                          pictures[index].data() + static_cast<std::size_t>(y) * width * 4);
        }
        // A round trip: the picture is on the screen once the server has answered.
        std::free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
        if (index == 0) {
            std::printf("shown\n");
            std::fflush(stdout);
        }
    }
    std::this_thread::sleep_for(std::chrono::seconds(600));
    xcb_disconnect(connection);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fprintf(stderr, "usage: %s show|render WIDTH HEIGHT COUNT|INDEX\n", argv[0]);
        return 2;
    }
    const int width = std::atoi(argv[2]);
    const int height = std::atoi(argv[3]);
    const int number = std::atoi(argv[4]);
    if (std::strcmp(argv[1], "render") == 0) {
        const auto rgb = slide(width, height, number);
        return std::fwrite(rgb.data(), 1, rgb.size(), stdout) == rgb.size() ? 0 : 1;
    }
    return show(width, height, number);
}
