// The X11 frame stream and input monitor against a private Xvfb: windows of known colours for the
// stream, XTest fake input for the monitor. Waits are for real events with generous limits, never
// timing assertions. Skipped where Xvfb is missing.

#include "Platform/Linux/X11/X11InputMonitor.h"
#include "Platform/Linux/X11/X11ScreenFrameStream.h"
#include "Platform/MainQueue.h"
#include "support/PrivateXServer.h"
#include "support/XcbTesting.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <gtest/gtest.h>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include <xcb/xcb.h>
#include <xcb/xtest.h>

namespace brisklet {
namespace {

using namespace std::chrono_literals;

constexpr int screenWidth = 320;
constexpr int screenHeight = 240;
constexpr auto patience = 10s;

/// A main queue for a test thread that waits for tasks posted from other threads. Delays are not
/// honoured: nothing under test here asks for them.
class WaitingMainQueue final : public MainQueue {
public:
    void post(Task task) override {
        {
            std::lock_guard lock(mutex_);
            tasks_.push_back(std::move(task));
        }
        arrived_.notify_all();
    }
    void postAfter(double, Task task) override { post(std::move(task)); }
    void runFor(double seconds) override {
        runUntil([] { return false; }, std::chrono::duration<double>(seconds));
    }
    bool isMainThread() const override { return std::this_thread::get_id() == mainThread_; }

    /// Runs posted tasks as they come until `done()` holds; false when `limit` ran out first.
    template <class Predicate, class Duration> bool runUntil(Predicate done, Duration limit) {
        const auto deadline = std::chrono::steady_clock::now() + limit;
        while (!done()) {
            std::unique_lock lock(mutex_);
            if (!arrived_.wait_until(lock, deadline, [this] { return !tasks_.empty(); }))
                return false;
            Task task = std::move(tasks_.front());
            tasks_.pop_front();
            lock.unlock();
            task();
        }
        return true;
    }

private:
    std::thread::id mainThread_ = std::this_thread::get_id();
    std::mutex mutex_;
    std::condition_variable arrived_;
    std::deque<Task> tasks_;
};

/// Frames handed over on the stream's thread, kept for the test thread.
class FrameCollector {
public:
    ScreenFrameStream::FrameHandler handler() {
        return [this](Image frame) {
            {
                std::lock_guard lock(mutex_);
                frames_.push_back(std::move(frame));
            }
            changed_.notify_all();
        };
    }
    ScreenFrameStream::StopHandler stopHandler() {
        return [this](const std::string& error) {
            {
                std::lock_guard lock(mutex_);
                stopError_ = error;
            }
            changed_.notify_all();
        };
    }
    bool waitForFrames(std::size_t count) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, patience, [&] { return frames_.size() >= count; });
    }
    bool waitForStop() {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, patience, [&] { return stopError_.has_value(); });
    }
    std::vector<Image> frames() {
        std::lock_guard lock(mutex_);
        return frames_;
    }
    std::optional<std::string> stopError() {
        std::lock_guard lock(mutex_);
        return stopError_;
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<Image> frames_;
    std::optional<std::string> stopError_;
};

class X11RecordingTest : public ::testing::Test {
protected:
    void SetUp() override {
        server_ = std::make_unique<testing::PrivateXServer>(
            testing::PrivateXServer::Options{screenWidth, screenHeight, true});
        if (server_->display().empty()) {
            GTEST_SKIP() << "Xvfb is not available";
        }
        display_ = server_->display();
        connection_ = xcb_connect(display_.c_str(), nullptr);
        ASSERT_FALSE(xcb_connection_has_error(connection_));
        screen_ = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data;
    }
    void TearDown() override {
        if (connection_) {
            xcb_disconnect(connection_);
        }
    }

    void sync() { testing::roundTrip(connection_); }

    /// Maps an unmanaged window of one colour at root pixels (x, y) and waits until it is painted.
    void mapWindow(int x, int y, int width, int height, std::uint32_t rgb) {
        const xcb_window_t window = xcb_generate_id(connection_);
        const std::uint32_t values[] = {rgb, 1};
        xcb_create_window(connection_, XCB_COPY_FROM_PARENT, window, screen_->root, static_cast<std::int16_t>(x),
                          static_cast<std::int16_t>(y), static_cast<std::uint16_t>(width),
                          static_cast<std::uint16_t>(height), 0, XCB_WINDOW_CLASS_INPUT_OUTPUT, screen_->root_visual,
                          XCB_CW_BACK_PIXEL | XCB_CW_OVERRIDE_REDIRECT, values);
        xcb_map_window(connection_, window);
        sync();
    }

    void fakeInput(std::uint8_t type, std::uint8_t detail, int rootX = 0, int rootY = 0) {
        xcb_test_fake_input(connection_, type, detail, XCB_CURRENT_TIME, screen_->root,
                            static_cast<std::int16_t>(rootX), static_cast<std::int16_t>(rootY), XCB_NONE);
        sync();
    }

    /// One screen: the global desktop space is the root window flipped upside down.
    static ScreenFrameStreamConfiguration configuration(Rect rect, int maxPixelDimension = 0) {
        const Rect desktop{{0, 0}, {screenWidth, screenHeight}};
        return {rect, ScreenCaptureContext{1, desktop, desktop}, 30, maxPixelDimension};
    }

    static void expectPixel(const Image& image, int x, int y, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
        const std::uint8_t* p = image.row(y) + static_cast<std::size_t>(x) * 4;
        EXPECT_EQ(p[0], r) << "at " << x << "," << y;
        EXPECT_EQ(p[1], g) << "at " << x << "," << y;
        EXPECT_EQ(p[2], b) << "at " << x << "," << y;
    }

    std::unique_ptr<testing::PrivateXServer> server_;
    std::string display_;
    xcb_connection_t* connection_ = nullptr;
    xcb_screen_t* screen_ = nullptr;
};

TEST_F(X11RecordingTest, TheStreamDeliversTheRegionAsItIsOnScreen) {
    // Root pixels x 40…139, y 30…89 are pink; the region spans root x 20…119, y 40…79.
    mapWindow(40, 30, 100, 60, 0xc8285a);
    X11ScreenFrameStream stream(display_);
    FrameCollector collector;
    const auto started = stream.start(configuration(Rect{{20, screenHeight - 80.0}, {100, 40}}), collector.handler(),
                                      collector.stopHandler());
    ASSERT_TRUE(started.ok()) << started.error();
    ASSERT_TRUE(collector.waitForFrames(3));
    stream.stop();
    const auto frames = collector.frames();
    ASSERT_GE(frames.size(), 3u);
    for (const Image& frame : frames) {
        ASSERT_EQ(frame.width(), 100);
        ASSERT_EQ(frame.height(), 40);
        expectPixel(frame, 0, 0, 0, 0, 0);
        expectPixel(frame, 19, 39, 0, 0, 0);
        expectPixel(frame, 20, 0, 0xc8, 0x28, 0x5a);
        expectPixel(frame, 99, 39, 0xc8, 0x28, 0x5a);
    }
    EXPECT_FALSE(collector.stopError().has_value());
}

TEST_F(X11RecordingTest, LentGrabsAreInTheScreensOrderAndKeepThePreviousOneIntactForComparing) {
    mapWindow(40, 30, 100, 60, 0xc8285a);
    X11ScreenFrameStream stream(display_);
    std::mutex mutex;
    std::condition_variable arrived;
    struct Seen {
        bool isBGRX = false;
        std::vector<std::uint8_t> pixel;
        bool hasPrevious = false;
        bool previousEqualsThis = false;
        bool previousIsOtherMemory = false;
    };
    std::vector<Seen> seen;
    const std::uint8_t* last = nullptr;
    const auto started = stream.startLending(
        configuration(Rect{{20, screenHeight - 80.0}, {100, 40}}),
        [&](ScreenPixels& pixels) {
            Seen one{pixels.isBGRX, {pixels.data + 20 * 4, pixels.data + 21 * 4}, pixels.previous != nullptr};
            const std::size_t bytes = pixels.bytesPerRow * static_cast<std::size_t>(pixels.height);
            one.previousEqualsThis = pixels.previous && std::memcmp(pixels.previous, pixels.data, bytes) == 0;
            one.previousIsOtherMemory = pixels.previous && pixels.previous != pixels.data && pixels.previous == last;
            last = pixels.data;
            // Drawn on and put back, as a recorder does with the pointer.
            const std::uint8_t kept = pixels.data[0];
            pixels.data[0] = static_cast<std::uint8_t>(kept + 1);
            pixels.data[0] = kept;
            std::lock_guard lock(mutex);
            seen.push_back(std::move(one));
            arrived.notify_all();
        },
        nullptr);
    ASSERT_TRUE(started.ok()) << started.error();
    {
        std::unique_lock lock(mutex);
        ASSERT_TRUE(arrived.wait_for(lock, patience, [&] { return seen.size() >= 3; }));
    }
    stream.stop();
    ASSERT_TRUE(seen[0].isBGRX) << "Xvfb shares memory in the common layout";
    EXPECT_EQ(seen[0].pixel, (std::vector<std::uint8_t>{0x5a, 0x28, 0xc8, seen[0].pixel[3]})) << "blue first";
    EXPECT_FALSE(seen[0].hasPrevious) << "nothing came before the first grab";
    for (std::size_t i = 1; i < seen.size(); ++i) {
        EXPECT_TRUE(seen[i].hasPrevious) << "grab " << i;
        EXPECT_TRUE(seen[i].previousIsOtherMemory) << "grab " << i << " reuses the memory it compares with";
        EXPECT_TRUE(seen[i].previousEqualsThis) << "grab " << i << " of a still screen differs from the one before";
    }
}

TEST_F(X11RecordingTest, RecycledFramesAreFilledAgainWithWhatIsOnScreen) {
    mapWindow(40, 30, 100, 60, 0xc8285a);
    X11ScreenFrameStream stream(display_);
    // A stale picture in the recycled buffer must never show through, and a buffer of another size
    // is not taken.
    Image stale(100, 40);
    stale.fill(1, 2, 3, 4);
    const std::uint8_t* staleMemory = stale.data();
    stream.recycle(std::move(stale));
    stream.recycle(Image(7, 5));
    FrameCollector collector;
    std::mutex memoriesMutex;
    std::vector<const std::uint8_t*> memories;
    auto collect = collector.handler();
    const auto handler = [&](Image frame) {
        {
            std::lock_guard lock(memoriesMutex);
            memories.push_back(frame.data());
        }
        collect(std::move(frame));
    };
    ASSERT_TRUE(
        stream.start(configuration(Rect{{20, screenHeight - 80.0}, {100, 40}}), handler, collector.stopHandler()).ok());
    ASSERT_TRUE(collector.waitForFrames(3));
    stream.stop();
    for (const Image& frame : collector.frames()) {
        ASSERT_EQ(frame.width(), 100);
        ASSERT_EQ(frame.height(), 40);
        expectPixel(frame, 0, 0, 0, 0, 0);
        expectPixel(frame, 20, 0, 0xc8, 0x28, 0x5a);
        expectPixel(frame, 99, 39, 0xc8, 0x28, 0x5a);
        EXPECT_TRUE(frame.isOpaque());
    }
    EXPECT_NE(std::find(memories.begin(), memories.end(), staleMemory), memories.end())
        << "the recycled buffer was not used for a later grab";
}

TEST_F(X11RecordingTest, StreamFramesKeepWithinThePixelLimit) {
    mapWindow(0, 0, 50, screenHeight, 0x00ff00);
    X11ScreenFrameStream stream(display_);
    FrameCollector collector;
    // The whole screen at a limit of 160 pixels: half size, so the green left sixth is 25 pixels wide.
    ASSERT_TRUE(stream
                    .start(configuration(Rect{{0, 0}, {screenWidth, screenHeight}}, 160), collector.handler(),
                           collector.stopHandler())
                    .ok());
    ASSERT_TRUE(collector.waitForFrames(3));
    stream.stop();
    const Image frame = collector.frames().back();
    ASSERT_EQ(frame.width(), 160);
    ASSERT_EQ(frame.height(), 120);
    expectPixel(frame, 24, 60, 0, 255, 0);
    expectPixel(frame, 25, 60, 0, 0, 0);
}

TEST_F(X11RecordingTest, StartingFailsWithoutADisplayOrOffTheScreen) {
    X11ScreenFrameStream missing(":9999");
    FrameCollector collector;
    const auto noDisplay =
        missing.start(configuration(Rect{{0, 0}, {10, 10}}), collector.handler(), collector.stopHandler());
    ASSERT_FALSE(noDisplay.ok());
    EXPECT_NE(noDisplay.error().find("cannot open display :9999"), std::string::npos);

    X11ScreenFrameStream stream(display_);
    const auto offScreen =
        stream.start(configuration(Rect{{300, 0}, {40, 10}}), collector.handler(), collector.stopHandler());
    ASSERT_FALSE(offScreen.ok());
    EXPECT_NE(offScreen.error().find("invalidCrop"), std::string::npos);
    EXPECT_TRUE(collector.frames().empty());
}

TEST_F(X11RecordingTest, TheStreamEndsByItselfWhenTheDisplayGoesAway) {
    X11ScreenFrameStream stream(display_);
    FrameCollector collector;
    ASSERT_TRUE(stream.start(configuration(Rect{{0, 0}, {32, 24}}), collector.handler(), collector.stopHandler()).ok());
    ASSERT_TRUE(collector.waitForFrames(1));
    xcb_disconnect(connection_);
    connection_ = nullptr;
    server_.reset();
    ASSERT_TRUE(collector.waitForStop());
    EXPECT_EQ(collector.stopError(), "captureFailed");
    stream.stop();
}

TEST_F(X11RecordingTest, TheInputMonitorReportsMovesAndLeftClicksInGlobalPoints) {
    WaitingMainQueue mainQueue;
    X11InputMonitor monitor(mainQueue, display_);
    std::vector<Point> moves;
    std::vector<Point> presses;
    monitor.start([&](Point p) { moves.push_back(p); }, [&](Point p) { presses.push_back(p); });
    ASSERT_TRUE(monitor.isMonitoring());

    // Root (100, 50) is 50 rows below the top of a 240-row screen: global y 240 − 50 − 1.
    const Point expected{100, screenHeight - 50 - 1};
    fakeInput(XCB_MOTION_NOTIFY, 0, 100, 50);
    ASSERT_TRUE(mainQueue.runUntil([&] { return !moves.empty() && moves.back() == expected; }, patience));
    EXPECT_EQ(monitor.currentLocation(), expected);
    EXPECT_TRUE(presses.empty());

    fakeInput(XCB_BUTTON_PRESS, 3);
    fakeInput(XCB_BUTTON_RELEASE, 3);
    fakeInput(XCB_BUTTON_PRESS, 1);
    fakeInput(XCB_BUTTON_RELEASE, 1);
    ASSERT_TRUE(mainQueue.runUntil([&] { return !presses.empty(); }, patience));
    // Events arrive in order, so once a later move is in, every press before it is too.
    const Point later{120, screenHeight - 60 - 1};
    fakeInput(XCB_MOTION_NOTIFY, 0, 120, 60);
    ASSERT_TRUE(mainQueue.runUntil([&] { return moves.back() == later; }, patience));
    EXPECT_EQ(presses, std::vector<Point>{expected}); // the right button is no click here

    monitor.stop();
    EXPECT_FALSE(monitor.isMonitoring());
    const auto movesBefore = moves.size();
    fakeInput(XCB_MOTION_NOTIFY, 0, 10, 10);
    mainQueue.runUntil([] { return false; }, 0s); // anything queued before the stop runs, silenced
    EXPECT_EQ(moves.size(), movesBefore);
    EXPECT_EQ(monitor.currentLocation(), (Point{10, screenHeight - 10 - 1}));
}

} // namespace
} // namespace brisklet
