// Full-screen still capture of a 1920x1080 X screen into memory, the cost every screenshot pays
// before any encoding, against a private Xvfb showing a desktop-like picture with some windows.
// The PNG encode of the same frame is measured beside it, since the capture command pays both.
#include "Platform/Linux/Codec/LinuxImageCodec.h"
#include "Platform/Linux/X11/X11ScreenCapture.h"
#include "support/PrivateXServer.h"

#include <benchmark/benchmark.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace brisklet;

constexpr int screenWidth = 1920;
constexpr int screenHeight = 1080;

/// A wallpaper-like gradient with some soft noise, so PNG compression has real work to do.
std::vector<std::uint32_t> wallpaperRow(int y) {
    std::vector<std::uint32_t> row(screenWidth);
    for (int x = 0; x < screenWidth; ++x) {
        const auto r = static_cast<std::uint32_t>(30 + x * 120 / screenWidth + ((x * 7 + y * 13) % 5));
        const auto g = static_cast<std::uint32_t>(60 + y * 100 / screenHeight + ((x * 3 + y) % 3));
        const auto b = static_cast<std::uint32_t>(140 + (x + y) * 80 / (screenWidth + screenHeight));
        row[static_cast<std::size_t>(x)] = (r << 16) | (g << 8) | b;
    }
    return row;
}

/// Paints the wallpaper into the root's background and maps a few application-like windows:
/// title bars, light content areas with rows of dark "text".
class DesktopPicture {
public:
    explicit DesktopPicture(const std::string& display, bool outlivesClient = false)
        : connection_(xcb_connect(display.c_str(), nullptr)) {
        if (xcb_connection_has_error(connection_)) {
            return;
        }
        screen_ = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data;
        if (outlivesClient) {
            xcb_set_close_down_mode(connection_, XCB_CLOSE_DOWN_RETAIN_PERMANENT);
        }
        paintWallpaper();
        window(120, 90, 1100, 700, 0xf4f4f4);
        window(900, 300, 880, 620, 0xffffff);
        window(300, 650, 500, 360, 0x1e1e2a);
        std::free(xcb_get_input_focus_reply(connection_, xcb_get_input_focus(connection_), nullptr));
    }
    ~DesktopPicture() { xcb_disconnect(connection_); }
    DesktopPicture(const DesktopPicture&) = delete;
    DesktopPicture& operator=(const DesktopPicture&) = delete;

    bool ok() const { return screen_ != nullptr; }

private:
    void paintWallpaper() {
        const xcb_pixmap_t pixmap = xcb_generate_id(connection_);
        xcb_create_pixmap(connection_, screen_->root_depth, pixmap, screen_->root, screenWidth, screenHeight);
        const xcb_gcontext_t gc = xcb_generate_id(connection_);
        xcb_create_gc(connection_, gc, pixmap, 0, nullptr);
        // Strips keep each request below the core protocol's size limit.
        constexpr int rowsPerStrip = 16;
        std::vector<std::uint32_t> strip;
        for (int y = 0; y < screenHeight; y += rowsPerStrip) {
            strip.clear();
            const int rows = std::min(rowsPerStrip, screenHeight - y);
            for (int r = 0; r < rows; ++r) {
                const auto row = wallpaperRow(y + r);
                strip.insert(strip.end(), row.begin(), row.end());
            }
            xcb_put_image(connection_, XCB_IMAGE_FORMAT_Z_PIXMAP, pixmap, gc, screenWidth,
                          static_cast<std::uint16_t>(rows), 0, static_cast<std::int16_t>(y), 0, screen_->root_depth,
                          static_cast<std::uint32_t>(strip.size() * 4),
                          reinterpret_cast<const std::uint8_t*>(strip.data()));
        }
        xcb_change_window_attributes(connection_, screen_->root, XCB_CW_BACK_PIXMAP, &pixmap);
        xcb_clear_area(connection_, 0, screen_->root, 0, 0, 0, 0);
        xcb_free_gc(connection_, gc);
        xcb_free_pixmap(connection_, pixmap);
    }

    void window(int x, int y, int width, int height, std::uint32_t background) {
        const xcb_window_t frame = child(screen_->root, x, y, width, height, background);
        child(frame, 0, 0, width, 30, 0x3b4252);
        const bool dark = background < 0x808080;
        for (int line = 50; line + 12 < height; line += 22) {
            const int length = width - 60 - (line * 37) % (width / 2);
            child(frame, 20, line, std::max(40, length), 10, dark ? 0xd8dee9 : 0x2e3440);
        }
    }

    xcb_window_t child(xcb_window_t parent, int x, int y, int width, int height, std::uint32_t background) {
        const xcb_window_t id = xcb_generate_id(connection_);
        const std::uint32_t values[] = {background, 1};
        xcb_create_window(connection_, XCB_COPY_FROM_PARENT, id, parent, static_cast<std::int16_t>(x),
                          static_cast<std::int16_t>(y), static_cast<std::uint16_t>(width),
                          static_cast<std::uint16_t>(height), 0, XCB_WINDOW_CLASS_INPUT_OUTPUT, screen_->root_visual,
                          XCB_CW_BACK_PIXEL | XCB_CW_OVERRIDE_REDIRECT, values);
        xcb_map_window(connection_, id);
        return id;
    }

    xcb_connection_t* connection_;
    xcb_screen_t* screen_ = nullptr;
};

/// One server and picture for every benchmark of the run.
struct PrivateDesktop {
    PrivateDesktop() : server({screenWidth, screenHeight, true}) {
        if (!server.display().empty()) {
            picture = std::make_unique<DesktopPicture>(server.display());
        }
    }
    testing::PrivateXServer server;
    std::unique_ptr<DesktopPicture> picture;

    static PrivateDesktop& shared() {
        static PrivateDesktop desktop;
        return desktop;
    }
    bool ok() const { return picture && picture->ok(); }
};

ScreenCaptureContext fullScreen() {
    const Rect frame{{0, 0}, {screenWidth, screenHeight}};
    return ScreenCaptureContext{1, frame, frame};
}

void BM_X11FullScreenCaptureToMemory(benchmark::State& state) {
    PrivateDesktop& desktop = PrivateDesktop::shared();
    if (!desktop.ok()) {
        state.SkipWithError("Xvfb is not available");
        return;
    }
    X11ScreenCapture capture(desktop.server.display());
    const ScreenCaptureContext context = fullScreen();
    for (auto _ : state) {
        auto image = capture.capture(context.screenFrame, context, {});
        if (!image) {
            state.SkipWithError("capture failed");
            return;
        }
        benchmark::DoNotOptimize(image.value().width());
    }
    state.counters["sharedMemory"] = capture.usesSharedMemory() ? 1 : 0;
}
BENCHMARK(BM_X11FullScreenCaptureToMemory)->Unit(benchmark::kMillisecond)->MinTime(1.0)->UseRealTime();

void BM_X11FullScreenPngEncode(benchmark::State& state) {
    PrivateDesktop& desktop = PrivateDesktop::shared();
    if (!desktop.ok()) {
        state.SkipWithError("Xvfb is not available");
        return;
    }
    X11ScreenCapture capture(desktop.server.display());
    const ScreenCaptureContext context = fullScreen();
    const Image frame = capture.capture(context.screenFrame, context, {}).value();
    const LinuxImageCodec codec(PngEncoderSettings{static_cast<int>(state.range(0)), state.range(1) != 0});
    std::size_t bytes = 0;
    for (auto _ : state) {
        auto png = codec.encode(frame, ImageFormat::png);
        bytes = png ? png.value().size() : 0;
        benchmark::DoNotOptimize(bytes);
    }
    state.counters["bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_X11FullScreenPngEncode)
    ->ArgNames({"level", "adaptive"})
    // The codec's default (every filter tried per row) and what `brisklet capture` uses.
    ->Args({6, 1})
    ->Args({6, 0})
    ->Unit(benchmark::kMillisecond)
    ->MinTime(0.5)
    ->UseRealTime();

} // namespace

/// "--paint-desktop=:N" paints the picture on an existing server and leaves it there (the
/// resources outlive this client), so scripts/bench can time whole commands on the same picture.
int main(int argc, char** argv) {
    const std::string paintOption = "--paint-desktop=";
    if (argc == 2 && std::string(argv[1]).starts_with(paintOption)) {
        const DesktopPicture picture(std::string(argv[1]).substr(paintOption.size()), true);
        if (!picture.ok()) {
            std::cerr << "cannot open " << argv[1] + paintOption.size() << "\n";
            return 1;
        }
        return 0;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
