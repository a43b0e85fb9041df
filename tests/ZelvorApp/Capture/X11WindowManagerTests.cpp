// The window list and window capture under a real EWMH window manager (Openbox) on a private
// Xvfb: the manager reparents windows into decorated frames, places them where it likes and keeps
// its own stacking list, which is what users' desktops do. Skipped where Xvfb or Openbox is missing.

#include "Platform/Fake/TemporaryPaths.h"
#include "Platform/Linux/Codec/LinuxImageCodec.h"
#include "Platform/Linux/X11/X11ImportScreenshotTool.h"
#include "Platform/Linux/X11/X11ScreenCapture.h"
#include "Platform/Linux/X11/X11WindowList.h"
#include "ZelvorApp/Capture/ScreenCaptureService.h"
#include "ZelvorApp/Capture/WindowEnumerator.h"
#include "ZelvorApp/Infrastructure/LocalizationStore.h"
#include "support/PrivateXServer.h"
#include "support/XcbTesting.h"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <gtest/gtest.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include <xcb/xcb.h>

namespace brisklet {
namespace {

constexpr const char* openboxPath = "/usr/bin/openbox";

/// Waits for something the window manager does in its own time; false after a generous deadline.
bool eventually(const std::function<bool()>& condition) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (std::chrono::steady_clock::now() < deadline) {
        if (condition()) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return condition();
}

class X11WindowManagerTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (::access(openboxPath, X_OK) != 0) {
            GTEST_SKIP() << "Openbox is not installed";
        }
        server_ = std::make_unique<testing::PrivateXServer>(testing::PrivateXServer::Options{640, 480, true});
        if (server_->display().empty()) {
            GTEST_SKIP() << "Xvfb is not available";
        }
        connection_ = xcb_connect(server_->display().c_str(), nullptr);
        ASSERT_FALSE(xcb_connection_has_error(connection_));
        root_ = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data->root;
        startWindowManager();
        ASSERT_TRUE(eventually([this] { return !windowProperty(root_, "_NET_SUPPORTING_WM_CHECK").empty(); }))
            << "Openbox did not take over the screen";
        ASSERT_TRUE(waitUntilManaging()) << "Openbox does not manage windows";
    }
    void TearDown() override {
        if (wm_ > 0) {
            ::kill(wm_, SIGTERM);
            ::waitpid(wm_, nullptr, 0);
        }
        if (connection_) {
            xcb_disconnect(connection_);
        }
    }

    void startWindowManager() {
        const std::string display = server_->display();
        wm_ = ::fork();
        if (wm_ == 0) {
            // Dies with the test, so a crash never leaves it holding the runner's output pipe.
            ::prctl(PR_SET_PDEATHSIG, SIGTERM);
            const int devNull = ::open("/dev/null", O_WRONLY);
            ::dup2(devNull, STDOUT_FILENO);
            ::dup2(devNull, STDERR_FILENO);
            ::setenv("DISPLAY", display.c_str(), 1);
            ::execl(openboxPath, "openbox", "--sm-disable", static_cast<char*>(nullptr));
            ::_exit(127);
        }
    }

    xcb_atom_t atom(const char* name) { return testing::internAtom(connection_, name); }

    std::vector<xcb_window_t> windowProperty(xcb_window_t window, const char* name) {
        xcb_get_property_reply_t* reply = xcb_get_property_reply(
            connection_, xcb_get_property(connection_, 0, window, atom(name), XCB_ATOM_WINDOW, 0, 1024), nullptr);
        std::vector<xcb_window_t> values;
        if (reply && reply->format == 32) {
            const auto* data = static_cast<const xcb_window_t*>(xcb_get_property_value(reply));
            values.assign(data, data + xcb_get_property_value_length(reply) / 4);
        }
        std::free(reply);
        return values;
    }

    /// An ordinary application window, filled with one colour, that the manager will frame.
    xcb_window_t openWindow(const std::string& title, std::uint32_t rgb, std::uint32_t pid) {
        const xcb_window_t window = xcb_generate_id(connection_);
        const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data;
        const std::uint32_t values[] = {rgb};
        xcb_create_window(connection_, XCB_COPY_FROM_PARENT, window, root_, 0, 0, 200, 120, 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, XCB_CW_BACK_PIXEL, values);
        xcb_change_property(connection_, XCB_PROP_MODE_REPLACE, window, atom("_NET_WM_NAME"), atom("UTF8_STRING"), 8,
                            static_cast<std::uint32_t>(title.size()), title.data());
        const char wmClass[] = "sketch\0Sketch";
        xcb_change_property(connection_, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 8,
                            sizeof wmClass, wmClass);
        xcb_change_property(connection_, XCB_PROP_MODE_REPLACE, window, atom("_NET_WM_PID"), XCB_ATOM_CARDINAL, 32, 1,
                            &pid);
        xcb_map_window(connection_, window);
        xcb_flush(connection_);
        return window;
    }

    /// Openbox announces itself before it has finished starting and drops map requests that arrive
    /// in between; a probe window, mapped again until the manager takes it, shows it is ready.
    bool waitUntilManaging() {
        const xcb_window_t probe = xcb_generate_id(connection_);
        const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data;
        xcb_create_window(connection_, XCB_COPY_FROM_PARENT, probe, root_, 0, 0, 10, 10, 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, 0, nullptr);
        bool managed = false;
        for (int attempt = 0; attempt < 50 && !managed; ++attempt) {
            xcb_unmap_window(connection_, probe);
            xcb_map_window(connection_, probe);
            xcb_flush(connection_);
            for (int poll = 0; poll < 10 && !managed; ++poll) {
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
                const auto clients = windowProperty(root_, "_NET_CLIENT_LIST");
                managed = std::find(clients.begin(), clients.end(), probe) != clients.end();
            }
        }
        xcb_destroy_window(connection_, probe);
        xcb_flush(connection_);
        return managed && eventually([this] { return windowProperty(root_, "_NET_CLIENT_LIST").empty(); });
    }

    /// Asks the manager to activate (and so raise) `window`, as a pager would.
    void activate(xcb_window_t window) {
        xcb_client_message_event_t message{};
        message.response_type = XCB_CLIENT_MESSAGE;
        message.format = 32;
        message.window = window;
        message.type = atom("_NET_ACTIVE_WINDOW");
        message.data.data32[0] = 2; // from a pager: honoured without focus-stealing checks
        xcb_send_event(connection_, 0, root_, XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                       reinterpret_cast<const char*>(&message));
        xcb_flush(connection_);
    }

    /// Where the window's client area really is, in root pixels.
    Rect rootBounds(xcb_window_t window) {
        xcb_get_geometry_reply_t* geometry =
            xcb_get_geometry_reply(connection_, xcb_get_geometry(connection_, window), nullptr);
        xcb_translate_coordinates_reply_t* position = xcb_translate_coordinates_reply(
            connection_, xcb_translate_coordinates(connection_, window, root_, 0, 0), nullptr);
        Rect bounds;
        if (geometry && position) {
            bounds = Rect{{double(position->dst_x), double(position->dst_y)},
                          {double(geometry->width), double(geometry->height)}};
        }
        std::free(geometry);
        std::free(position);
        return bounds;
    }

    bool isTopmost(xcb_window_t window) {
        const auto stacking = windowProperty(root_, "_NET_CLIENT_LIST_STACKING");
        return !stacking.empty() && stacking.back() == window;
    }

    std::unique_ptr<testing::PrivateXServer> server_;
    xcb_connection_t* connection_ = nullptr;
    xcb_window_t root_ = 0;
    pid_t wm_ = -1;
};

TEST_F(X11WindowManagerTest, FramedWindowsAreListedFrontToBackWhereTheyReallyAre) {
    const xcb_window_t notes = openWindow("Notes — draft", 0x2060c0, 601);
    const xcb_window_t sketch = openWindow("Sketch", 0xc04020, 602);
    ASSERT_TRUE(eventually([&] { return windowProperty(root_, "_NET_CLIENT_LIST_STACKING").size() == 2; }));
    activate(notes);
    ASSERT_TRUE(eventually([&] { return isTopmost(notes); })) << "the manager did not raise the window";

    const X11WindowList list(server_->display());
    LocalizationStore english([] { return std::vector<std::string>{"en"}; });
    const WindowEnumerator enumerator(list, english);
    const auto windows = enumerator.systemWindows(std::nullopt);
    ASSERT_EQ(windows.size(), 2u);
    EXPECT_EQ(windows[0].id, notes);
    EXPECT_EQ(windows[0].title, "Notes — draft");
    EXPECT_EQ(windows[0].ownerName, "Sketch");
    EXPECT_EQ(windows[0].ownerPID, 601);
    EXPECT_EQ(windows[1].id, sketch);
    // The manager moved the client into a frame below its title bar: the list must say where it
    // ended up, not where it asked to be, and take in the frame a person sees around it.
    for (const auto& [listed, client] : {std::pair{windows[0], notes}, std::pair{windows[1], sketch}}) {
        const Rect inside = rootBounds(client);
        EXPECT_EQ(listed.bounds.intersection(inside), inside) << "the client lies within the listed bounds";
        EXPECT_LT(listed.bounds.minY(), inside.minY()) << "the title bar is part of the window";
        EXPECT_LE(listed.bounds.height() - inside.height(), 60) << "and nothing else";
    }
    EXPECT_GE(windows[0].bounds.minY(), 0) << "the title bar is on screen";

    const Rect front = rootBounds(notes);
    const Point inside{front.midX(), front.midY()};
    ASSERT_TRUE(enumerator.frontmostWindow(inside, std::nullopt));
    EXPECT_EQ(enumerator.frontmostWindow(inside, std::nullopt)->id, notes);
}

TEST_F(X11WindowManagerTest, WindowCaptureShowsThatWindowsContent) {
    const xcb_window_t window = openWindow("Colour card", 0x10a040, 603);
    ASSERT_TRUE(eventually([&] { return windowProperty(root_, "_NET_CLIENT_LIST_STACKING").size() == 1; }));
    xcb_clear_area(connection_, 0, window, 0, 0, 0, 0);
    testing::roundTrip(connection_);

    TemporaryPaths paths;
    std::filesystem::create_directories(paths.temporaryDirectory());
    const LinuxImageCodec codec;
    X11ScreenCapture backend(server_->display());
    X11ImportScreenshotTool tool(server_->display());
    LocalizationStore english([] { return std::vector<std::string>{"en"}; });
    ScreenCaptureService service(backend, tool, codec, paths.temporaryDirectory(), english);
    const auto image = service.captureWindow(window, false);
    ASSERT_TRUE(image.ok());
    const Rect bounds = rootBounds(window);
    EXPECT_EQ(image.value().width(), int(bounds.width()));
    EXPECT_EQ(image.value().height(), int(bounds.height()));
    const std::uint8_t* centre = image.value().row(image.value().height() / 2) + image.value().width() / 2 * 4;
    EXPECT_EQ((std::vector<int>{centre[0], centre[1], centre[2]}), (std::vector<int>{0x10, 0xa0, 0x40}));
}

} // namespace
} // namespace brisklet
