// XTest scrolling against a private X server. Skipped where Xvfb is not installed.

#include "Platform/Linux/X11/X11WindowServer.h"
#include "support/PrivateXServer.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <string>
#include <unistd.h>
#include <vector>

// Last: Xlib defines macros (None, Bool, Status) that clash with names in the headers above.
#include <X11/Xlib.h>

namespace brisklet {
namespace {

class X11WindowServerTest : public ::testing::Test {
protected:
    void SetUp() override {
        server_ = std::make_unique<testing::PrivateXServer>(testing::PrivateXServer::Options{640, 480, false});
        if (server_->display().empty()) {
            GTEST_SKIP() << "Xvfb is not available";
        }
        display_ = XOpenDisplay(server_->display().c_str());
        ASSERT_NE(display_, nullptr);
    }
    void TearDown() override {
        if (display_) {
            XCloseDisplay(display_);
        }
    }

    /// A mapped 200 × 200 window at (100, 100) that listens to button presses.
    Window mappedWindow() {
        const Window window = XCreateSimpleWindow(display_, DefaultRootWindow(display_), 100, 100, 200, 200, 0, 0, 0);
        XSelectInput(display_, window, ButtonPressMask | ButtonReleaseMask | StructureNotifyMask);
        XMapWindow(display_, window);
        XEvent event;
        do {
            XWindowEvent(display_, window, StructureNotifyMask, &event);
        } while (event.type != MapNotify);
        return window;
    }

    std::unique_ptr<testing::PrivateXServer> server_;
    Display* display_ = nullptr;
};

TEST_F(X11WindowServerTest, ReportsWheelClicksWithoutAKnownPixelDistance) {
    X11WindowServer windowServer({server_->display(), std::nullopt});
    ASSERT_TRUE(windowServer.isConnected());
    const auto support = windowServer.scrollEventSupport();
    EXPECT_TRUE(support.canWarpPointer);
    EXPECT_TRUE(support.canPostScrollEvents);
    EXPECT_FALSE(support.deliversExactPixels);
    EXPECT_EQ(support.pixelsPerWheelClick, std::nullopt);
    EXPECT_FALSE(windowServer.postPixelScroll(-100));

    X11WindowServer configured({server_->display(), 53.0});
    EXPECT_EQ(configured.scrollEventSupport().pixelsPerWheelClick, 53.0);
}

TEST_F(X11WindowServerTest, WarpsThePointerAndDeliversWheelClicksToTheWindowUnderIt) {
    const Window window = mappedWindow();
    X11WindowServer windowServer({server_->display(), std::nullopt});
    ASSERT_TRUE(windowServer.warpPointer(Point{150, 180}));

    Window root = 0, child = 0;
    int rootX = 0, rootY = 0, windowX = 0, windowY = 0;
    unsigned int mask = 0;
    XQueryPointer(display_, DefaultRootWindow(display_), &root, &child, &rootX, &rootY, &windowX, &windowY, &mask);
    EXPECT_EQ(rootX, 150);
    EXPECT_EQ(rootY, 180);

    ASSERT_TRUE(windowServer.postWheelClicks(-3));
    ASSERT_TRUE(windowServer.postWheelClicks(1));
    std::vector<unsigned int> buttons;
    XEvent event;
    while (buttons.size() < 4) {
        XWindowEvent(display_, window, ButtonPressMask, &event);
        buttons.push_back(event.xbutton.button);
    }
    EXPECT_EQ(buttons, (std::vector<unsigned int>{5, 5, 5, 4})) << "down three clicks (content up), then up one";
    EXPECT_FALSE(windowServer.postWheelClicks(0));
}

TEST_F(X11WindowServerTest, WithoutADisplayNothingIsPossible) {
    X11WindowServer windowServer({":9999", std::nullopt});
    EXPECT_FALSE(windowServer.isConnected());
    EXPECT_EQ(windowServer.scrollEventSupport(), ScrollEventSupport{});
    EXPECT_FALSE(windowServer.warpPointer(Point{1, 1}));
    EXPECT_FALSE(windowServer.postWheelClicks(-1));
}

} // namespace
} // namespace brisklet
