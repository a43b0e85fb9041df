// Capture against a private Xvfb with windows of known colours. Skipped where Xvfb is missing.

#include "Platform/Fake/InMemoryDefaultsStore.h"
#include "Platform/Fake/TemporaryPaths.h"
#include "Platform/Linux/Codec/LinuxImageCodec.h"
#include "Platform/Linux/X11/X11DisplayServer.h"
#include "Platform/Linux/X11/X11ImportScreenshotTool.h"
#include "Platform/Linux/X11/X11ScreenCapture.h"
#include "Platform/Linux/X11/X11WindowList.h"
#include "ZelvorApp/Capture/ScreenCaptureService.h"
#include "ZelvorApp/Capture/SnapshotImageCropper.h"
#include "ZelvorApp/Capture/WindowEnumerator.h"
#include "ZelvorApp/Infrastructure/LocalizationStore.h"
#include "ZelvorCore/Foundation/JsonCoding.h"
#include "main/CaptureCommand.h"
#include "main/WindowsCommand.h"
#include "support/PrivateXServer.h"
#include "support/XcbTesting.h"

#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>
#include <sstream>
#include <unistd.h>

#include <xcb/xcb.h>

namespace brisklet {
namespace {

constexpr int screenWidth = 320;
constexpr int screenHeight = 240;

struct TestWindow {
    int x, y, width, height;
    std::uint8_t r, g, b;
};

class X11CaptureTest : public ::testing::Test {
protected:
    void SetUp() override {
        server_ = std::make_unique<testing::PrivateXServer>(
            testing::PrivateXServer::Options{screenWidth, screenHeight, true});
        if (server_->display().empty()) {
            GTEST_SKIP() << "Xvfb is not available";
        }
        connection_ = xcb_connect(server_->display().c_str(), nullptr);
        ASSERT_FALSE(xcb_connection_has_error(connection_));
        screen_ = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data;
        std::filesystem::create_directories(paths_.temporaryDirectory());
        expected_ = Image(screenWidth, screenHeight);
        expected_.fill(0, 0, 0);
    }
    void TearDown() override {
        if (connection_) {
            xcb_disconnect(connection_);
        }
    }

    xcb_atom_t atom(const char* name) { return testing::internAtom(connection_, name); }

    void setProperty(xcb_window_t window, const char* name, xcb_atom_t type, int format, const void* data,
                     std::uint32_t count) {
        xcb_change_property(connection_, XCB_PROP_MODE_REPLACE, window, atom(name), type,
                            static_cast<std::uint8_t>(format), count, data);
    }

    /// A managed-looking window: title, WM_CLASS and pid as a client sets them.
    xcb_window_t client(const TestWindow& w, const std::string& title, std::uint32_t pid) {
        const xcb_window_t window = xcb_generate_id(connection_);
        const std::uint32_t values[] = {(std::uint32_t{w.r} << 16) | (std::uint32_t{w.g} << 8) | w.b};
        xcb_create_window(connection_, XCB_COPY_FROM_PARENT, window, screen_->root, static_cast<std::int16_t>(w.x),
                          static_cast<std::int16_t>(w.y), static_cast<std::uint16_t>(w.width),
                          static_cast<std::uint16_t>(w.height), 0, XCB_WINDOW_CLASS_INPUT_OUTPUT, screen_->root_visual,
                          XCB_CW_BACK_PIXEL, values);
        setProperty(window, "_NET_WM_NAME", atom("UTF8_STRING"), 8, title.data(),
                    static_cast<std::uint32_t>(title.size()));
        const char wmClass[] = "notes\0Notes";
        setProperty(window, "WM_CLASS", XCB_ATOM_STRING, 8, wmClass, sizeof wmClass);
        setProperty(window, "_NET_WM_PID", XCB_ATOM_CARDINAL, 32, &pid, 1);
        xcb_map_window(connection_, window);
        return window;
    }

    void sync() { testing::roundTrip(connection_); }

    /// Maps a window filled with one colour and waits until the server has painted it.
    xcb_window_t map(const TestWindow& w) {
        const xcb_window_t window = xcb_generate_id(connection_);
        const std::uint32_t values[] = {(std::uint32_t{w.r} << 16) | (std::uint32_t{w.g} << 8) | w.b, 1};
        xcb_create_window(connection_, XCB_COPY_FROM_PARENT, window, screen_->root, static_cast<std::int16_t>(w.x),
                          static_cast<std::int16_t>(w.y), static_cast<std::uint16_t>(w.width),
                          static_cast<std::uint16_t>(w.height), 0, XCB_WINDOW_CLASS_INPUT_OUTPUT, screen_->root_visual,
                          XCB_CW_BACK_PIXEL | XCB_CW_OVERRIDE_REDIRECT, values);
        xcb_map_window(connection_, window);
        testing::roundTrip(connection_);
        for (int y = w.y; y < w.y + w.height; ++y) {
            for (int x = w.x; x < w.x + w.width; ++x) {
                expected_.setPixel(x, y, w.r, w.g, w.b);
            }
        }
        return window;
    }

    ScreenCaptureService& service() {
        if (!service_) {
            displays_ = std::make_unique<X11DisplayServer>(server_->display());
            backend_ = std::make_unique<X11ScreenCapture>(server_->display());
            tool_ = std::make_unique<X11ImportScreenshotTool>(server_->display());
            service_ = std::make_unique<ScreenCaptureService>(*backend_, *tool_, codec_, paths_.temporaryDirectory(),
                                                              localization_);
        }
        return *service_;
    }

    ScreenCaptureContext context() {
        service();
        const auto screens = displays_->screens();
        return ScreenCaptureService::makeContext(screens.front(), screens).value();
    }

    Image expectedRegion(int x, int y, int width, int height) const {
        return *SnapshotImageCropper::crop(expected_, Rect{{double(x), double(y)}, {double(width), double(height)}});
    }

    /// Root pixels (top-left) → the global desktop space of this one-screen server.
    static Rect globalRect(int x, int y, int width, int height) {
        return Rect{{double(x), double(screenHeight - y - height)}, {double(width), double(height)}};
    }

    std::unique_ptr<testing::PrivateXServer> server_;
    xcb_connection_t* connection_ = nullptr;
    xcb_screen_t* screen_ = nullptr;
    Image expected_;
    LinuxImageCodec codec_;
    TemporaryPaths paths_;
    LocalizationStore localization_{[] { return std::vector<std::string>{"en"}; }};
    std::unique_ptr<X11DisplayServer> displays_;
    std::unique_ptr<X11ScreenCapture> backend_;
    std::unique_ptr<X11ImportScreenshotTool> tool_;
    std::unique_ptr<ScreenCaptureService> service_;
};

const TestWindow red{10, 20, 50, 40, 230, 20, 30};
// Touches the right and bottom edges of the screen.
const TestWindow green{200, 150, 120, 90, 10, 200, 60};

TEST_F(X11CaptureTest, ScreensComeFromRandrInTheFlippedDesktopSpace) {
    X11DisplayServer displays(server_->display());
    ASSERT_TRUE(displays.isConnected());
    const auto screens = displays.screens();
    ASSERT_EQ(screens.size(), 1u);
    EXPECT_EQ(screens[0].frame, (Rect{{0, 0}, {screenWidth, screenHeight}}));
    EXPECT_EQ(screens[0].visibleFrame, screens[0].frame);
    EXPECT_EQ(screens[0].displayID, 1u);
    EXPECT_TRUE(screens[0].isPrimary);

    xcb_warp_pointer(connection_, XCB_NONE, screen_->root, 0, 0, 0, 0, 30, 40);
    testing::roundTrip(connection_);
    EXPECT_EQ(displays.mouseLocation(), (Point{30, screenHeight - 40 - 1}));
    EXPECT_EQ(screenUnderMouse(displays)->displayID, 1u);
}

TEST_F(X11CaptureTest, WorkAreaShrinksTheVisibleFrame) {
    // What a window manager with a 24-pixel top panel publishes.
    const std::uint32_t area[] = {0, 24, screenWidth, screenHeight - 24};
    setProperty(screen_->root, "_NET_WORKAREA", XCB_ATOM_CARDINAL, 32, area, 4);
    testing::roundTrip(connection_);
    const auto screens = X11DisplayServer(server_->display()).screens();
    ASSERT_EQ(screens.size(), 1u);
    EXPECT_EQ(screens[0].visibleFrame, (Rect{{0, 0}, {screenWidth, screenHeight - 24}}));
}

TEST_F(X11CaptureTest, FullAndRegionCapturesMatchTheDrawnPixelsExactly) {
    map(red);
    map(green);
    const ScreenCaptureContext ctx = context();
    auto full = service().capture(ctx.screenFrame, ctx, true);
    ASSERT_TRUE(full);
    EXPECT_EQ(full.value(), expected_);

    auto region = service().capture(globalRect(5, 15, 70, 60), ctx, true);
    ASSERT_TRUE(region);
    EXPECT_EQ(region.value(), expectedRegion(5, 15, 70, 60));

    auto corner = service().capture(globalRect(250, 200, 70, 40), ctx, true);
    ASSERT_TRUE(corner);
    EXPECT_EQ(corner.value(), expectedRegion(250, 200, 70, 40));
    EXPECT_TRUE(backend_->usesSharedMemory());
}

TEST_F(X11CaptureTest, TheImportFallbackSeesTheSamePixels) {
    if (access("/usr/bin/import", X_OK) != 0) {
        GTEST_SKIP() << "ImageMagick import is not installed";
    }
    map(red);
    map(green);
    const ScreenCaptureContext ctx = context();
    auto viaTool = service().captureWithSystemTool(globalRect(190, 10, 130, 230), ctx, false);
    ASSERT_TRUE(viaTool);
    EXPECT_EQ(viaTool.value(), expectedRegion(190, 10, 130, 230));
    EXPECT_TRUE(std::filesystem::is_empty(paths_.temporaryDirectory()));
}

TEST_F(X11CaptureTest, ExcludedWindowsAreLeftOutAndComeBack) {
    map(red);
    const xcb_window_t own = map(green);
    const ScreenCaptureContext ctx = context();
    auto filtered = service().capture(ctx.screenFrame, ctx, std::vector<std::uint32_t>{own});
    ASSERT_TRUE(filtered);
    // The root is black under the unmapped window (-br), and nothing else covers that area.
    Image withoutOwn = expected_;
    for (int y = green.y; y < green.y + green.height; ++y) {
        for (int x = green.x; x < green.x + green.width; ++x) {
            withoutOwn.setPixel(x, y, 0, 0, 0);
        }
    }
    EXPECT_EQ(filtered.value(), withoutOwn);
    auto after = service().capture(ctx.screenFrame, ctx, true);
    ASSERT_TRUE(after);
    EXPECT_EQ(after.value(), expected_);
}

TEST_F(X11CaptureTest, WindowCaptureReturnsThatWindow) {
    if (access("/usr/bin/import", X_OK) != 0) {
        GTEST_SKIP() << "ImageMagick import is not installed";
    }
    const xcb_window_t window = map(red);
    map(green);
    auto image = service().captureWindow(window, false);
    ASSERT_TRUE(image);
    EXPECT_EQ(image.value(), expectedRegion(red.x, red.y, red.width, red.height));
}

TEST_F(X11CaptureTest, CommandWritesNewFilesAndRecordsNamedExports) {
    map(red);
    map(green);
    InMemoryDefaultsStore defaults;
    const std::filesystem::path output = paths_.root() / "region.png";
    std::ostringstream out, err;
    ASSERT_EQ(runCaptureCommand({"region", "100x60+220+180", "-o", output.string()}, defaults, paths_, codec_, out, err,
                                server_->display()),
              0)
        << err.str();
    EXPECT_EQ(codec_.readFile(output).value(), expectedRegion(220, 180, 100, 60));

    std::ostringstream again;
    EXPECT_EQ(
        runCaptureCommand({"full", "-o", output.string()}, defaults, paths_, codec_, out, again, server_->display()),
        1);
    EXPECT_NE(again.str().find("already exists"), std::string::npos);
    EXPECT_EQ(codec_.readFile(output).value(), expectedRegion(220, 180, 100, 60));

    std::ostringstream outside;
    EXPECT_EQ(runCaptureCommand({"region", "100x60+260+0", "-o", (paths_.root() / "x.png").string()}, defaults, paths_,
                                codec_, out, outside, server_->display()),
              1);
    EXPECT_FALSE(std::filesystem::exists(paths_.root() / "x.png"));
    EXPECT_EQ(runCaptureCommand({"region", "bad"}, defaults, paths_, codec_, out, outside, server_->display()), 1);
    EXPECT_EQ(runCaptureCommand({"full", "--screen", "9"}, defaults, paths_, codec_, out, outside, server_->display()),
              1);
    EXPECT_EQ(runCaptureCommand({"everything"}, defaults, paths_, codec_, out, outside, server_->display()), 2);
}

TEST_F(X11CaptureTest, WindowListFollowsTheStackingOrderAndFiltersLikeTheEnumerator) {
    const xcb_window_t back = client({20, 30, 200, 150, 1, 2, 3}, "Back note", 501);
    const xcb_window_t front = client({60, 50, 160, 130, 4, 5, 6}, "Front note", 502);
    const xcb_window_t faint = client({0, 0, 200, 200, 7, 8, 9}, "Faint", 503);
    const std::uint32_t opacity = 0xffffffffu / 50; // 0.02
    setProperty(faint, "_NET_WM_WINDOW_OPACITY", XCB_ATOM_CARDINAL, 32, &opacity, 1);
    const xcb_window_t dock = client({0, 0, 320, 30, 9, 9, 9}, "Panel", 504);
    const xcb_atom_t dockType = atom("_NET_WM_WINDOW_TYPE_DOCK");
    setProperty(dock, "_NET_WM_WINDOW_TYPE", XCB_ATOM_ATOM, 32, &dockType, 1);
    const xcb_window_t small = client({250, 200, 60, 30, 9, 9, 9}, "Tiny", 505);
    sync();

    // Without a window manager the root's children give the order (last mapped on top).
    const X11WindowList list(server_->display());
    LocalizationStore english([] { return std::vector<std::string>{"en"}; });
    const WindowEnumerator enumerator(list, english);
    auto windows = enumerator.systemWindows(std::nullopt);
    ASSERT_EQ(windows.size(), 2u);
    EXPECT_EQ(windows[0].id, front);
    EXPECT_EQ(windows[0].title, "Front note");
    EXPECT_EQ(windows[0].ownerName, "Notes");
    EXPECT_EQ(windows[0].ownerPID, 502);
    EXPECT_EQ(windows[0].bounds, (Rect{{60, 50}, {160, 130}}));
    EXPECT_EQ(windows[1].id, back);
    EXPECT_EQ(enumerator.frontmostWindow(Point{30, 40}, std::nullopt)->id, back);
    EXPECT_TRUE(enumerator.systemWindows(502).size() == 1 && enumerator.systemWindows(502)[0].id == back);

    // A window manager's stacking list wins over the tree: here it puts "back" on top.
    const std::uint32_t stacking[] = {front, back, faint, dock, small};
    setProperty(screen_->root, "_NET_CLIENT_LIST_STACKING", XCB_ATOM_WINDOW, 32, stacking, 5);
    sync();
    windows = enumerator.systemWindows(std::nullopt);
    ASSERT_EQ(windows.size(), 2u);
    EXPECT_EQ(windows[0].id, back);
    EXPECT_EQ(windows[1].id, front);

    std::ostringstream out, err;
    ASSERT_EQ(runWindowsCommand({"--json"}, out, err, server_->display()), 0) << err.str();
    const Json listed = json::parse(out.str());
    ASSERT_EQ(listed.size(), 2u);
    EXPECT_EQ(listed[0]["id"], back);
    EXPECT_EQ(listed[0]["bounds"]["x"], 20);
}

} // namespace
} // namespace brisklet
