#include "BackgroundRenderSupport.h"
#include "BackgroundTestSupport.h"
#include "Platform/Fake/TemporaryPaths.h"
#include "Platform/Linux/Codec/LinuxImageCodec.h"
#include "Platform/Linux/Desktop/DesktopCommand.h"
#include "Platform/Linux/Desktop/QtWallpaperImageReader.h"

#include <gtest/gtest.h>

#include <chrono>

namespace brisklet {
namespace {

TEST(DesktopCommand, ReturnsWhatASuccessfulToolPrinted) {
    EXPECT_EQ(runDesktopCommand({"sh", "-c", "printf 'hello\\n'; echo noise >&2"}), "hello\n");
    EXPECT_FALSE(runDesktopCommand({"sh", "-c", "echo partial; exit 3"})) << "a failing tool says nothing";
    EXPECT_FALSE(runDesktopCommand({"brisklet-no-such-tool"}));
    EXPECT_FALSE(runDesktopCommand({}));
    EXPECT_EQ(runDesktopCommand({"sh", "-c", "cat"}), "") << "standard input is empty";
}

TEST(DesktopCommand, AToolThatHangsIsStopped) {
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(runDesktopCommand({"sh", "-c", "sleep 20 & wait"}, 0.3));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10))
        << "killed with everything it started";
}

TEST(QtWallpaperImageReader, ReadsSizesAndMakesSmallPreviews) {
    TemporaryPaths paths;
    LinuxImageCodec codec;
    const QtWallpaperImageReader reader;
    EXPECT_TRUE(reader.canDecode("png"));
    EXPECT_TRUE(reader.canDecode("jpg"));
    EXPECT_TRUE(reader.canDecode("jpeg"));
    EXPECT_FALSE(reader.canDecode("xyz"));

    const auto file = paths.root() / "wide.jpg";
    ASSERT_TRUE(codec.writeFile(backgroundtest::syntheticScreenshot(640, 320), file, ImageFormat::jpeg, 0.9));
    EXPECT_EQ(reader.pixelSize(file), (PixelSize{640, 320}));
    const auto preview = reader.thumbnail(file, 100);
    ASSERT_TRUE(preview);
    EXPECT_EQ(preview->width(), 100);
    EXPECT_EQ(preview->height(), 50);
    EXPECT_EQ(reader.thumbnail(file, 2000)->width(), 640) << "never enlarged";

    const auto broken = backgroundtest::touch(paths.root() / "broken.png", "not a picture");
    EXPECT_FALSE(reader.pixelSize(broken));
    EXPECT_FALSE(reader.thumbnail(broken, 100));
    EXPECT_FALSE(reader.thumbnail(paths.root() / "missing.png", 100));
}

} // namespace
} // namespace brisklet
