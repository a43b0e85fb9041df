// The Qt-backed services against a real (offscreen) Qt application.

#include "Platform/Linux/Codec/LinuxImageCodec.h"
#include "Platform/Linux/Qt/QtMainQueue.h"
#include "Platform/Linux/Qt/QtPasteboard.h"
#include "Platform/Linux/System/XdgPaths.h"

#include <QGuiApplication>
#include <QImage>

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <thread>

namespace brisklet {
namespace {

TEST(QtMainQueueTest, TasksFromWorkersAndTimersRunOnTheMainThread) {
    QtMainQueue queue;
    ASSERT_TRUE(queue.isMainThread());
    std::vector<std::string> order;
    std::atomic<bool> ranOnMain{true};
    std::thread worker([&] {
        EXPECT_FALSE(queue.isMainThread());
        queue.post([&] {
            ranOnMain = ranOnMain && queue.isMainThread();
            order.push_back("posted");
        });
        queue.postAfter(0.02, [&] {
            ranOnMain = ranOnMain && queue.isMainThread();
            order.push_back("delayed from worker");
        });
    });
    worker.join();
    queue.postAfter(0.01, [&] { order.push_back("delayed"); });
    queue.postAfter(5.0, [&] { order.push_back("too late"); });
    queue.runFor(0.2);
    EXPECT_TRUE(ranOnMain);
    EXPECT_EQ(order, (std::vector<std::string>{"posted", "delayed", "delayed from worker"}));
}

TEST(QtPasteboardTest, WritesAreReadBackAndMoveTheChangeCount) {
    QtPasteboard pasteboard;
    const auto before = pasteboard.changeCount();
    pasteboard.clearContents();
    pasteboard.writeText("Brisklet ✂");
    EXPECT_EQ(pasteboard.readText(), "Brisklet ✂");
    EXPECT_GT(pasteboard.changeCount(), before);

    Image image(3, 2);
    image.fill(10, 20, 30);
    const auto afterText = pasteboard.changeCount();
    pasteboard.writeImage(image);
    EXPECT_GT(pasteboard.changeCount(), afterText);
    const auto read = pasteboard.readImage();
    ASSERT_TRUE(read);
    EXPECT_EQ(*read, image);
}

// Our PNG writer is our own; another decoder must read exactly what we meant.
TEST(LinuxImageCodecQtTest, QtDecodesOurPngsToTheSamePixels) {
    Image image(97, 31);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            image.setPixel(x, y, static_cast<std::uint8_t>(x * 13 + y), static_cast<std::uint8_t>(x ^ (y * 7)),
                           static_cast<std::uint8_t>(y * 9), static_cast<std::uint8_t>(x % 4 == 0 ? 40 + y : 255));
        }
    }
    for (const PngEncoderSettings settings : {PngEncoderSettings{}, PngEncoderSettings{7, false}}) {
        const auto png = LinuxImageCodec(settings).encode(image, ImageFormat::png);
        ASSERT_TRUE(png.ok());
        QImage decoded;
        ASSERT_TRUE(decoded.loadFromData(reinterpret_cast<const uchar*>(png.value().data()),
                                         static_cast<int>(png.value().size()), "PNG"));
        decoded = decoded.convertToFormat(QImage::Format_RGBA8888);
        ASSERT_EQ(decoded.width(), image.width());
        ASSERT_EQ(decoded.height(), image.height());
        for (int y = 0; y < image.height(); ++y) {
            ASSERT_EQ(std::memcmp(decoded.constScanLine(y), image.row(y), static_cast<std::size_t>(image.width()) * 4),
                      0)
                << "row " << y;
        }
    }
}

TEST(XdgPathsTest, OverridesThenEnvironmentThenHomeDefaults) {
    setenv("XDG_CONFIG_HOME", "/xdg/config", 1);
    setenv("XDG_DATA_HOME", "relative/ignored", 1);
    const XdgPaths fromEnvironment;
    EXPECT_EQ(fromEnvironment.configDirectory(), "/xdg/config");
    EXPECT_EQ(fromEnvironment.applicationSupportDirectory(), fromEnvironment.homeDirectory() / ".local" / "share");
    const XdgPaths overridden({"/o/config", "/o/data"});
    EXPECT_EQ(overridden.configDirectory(), "/o/config");
    EXPECT_EQ(overridden.applicationSupportDirectory(), "/o/data");
    unsetenv("XDG_CONFIG_HOME");
    unsetenv("XDG_DATA_HOME");
}

} // namespace
} // namespace brisklet

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
