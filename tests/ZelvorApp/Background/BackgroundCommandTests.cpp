#include "BackgroundRenderSupport.h"
#include "BackgroundTestSupport.h"
#include "Platform/Fake/ScriptedDesktopPictureSource.h"
#include "Platform/Fake/TemporaryPaths.h"
#include "Platform/Linux/Codec/LinuxImageCodec.h"
#include "Platform/Linux/Desktop/QtWallpaperImageReader.h"
#include "Platform/Linux/QtRender/BackgroundQtRenderer.h"
#include "ZelvorApp/Background/SystemWallpaperCatalog.h"
#include "main/BackgroundCommand.h"

#include <gtest/gtest.h>

#include <sstream>

namespace brisklet {
namespace {

namespace fs = std::filesystem;

class BackgroundCommandTest : public ::testing::Test {
protected:
    TemporaryPaths paths;
    LinuxImageCodec codec;
    QtWallpaperImageReader pictures;
    ScriptedDesktopPictureSource desktop;
    SystemWallpaperCatalog catalog{pictures, desktop, {paths.root() / "wallpapers"}};
    BackgroundQtRenderer renderer{[this] { return catalog.currentDesktopPicture(); }};
    std::ostringstream out;
    std::ostringstream err;
    fs::path screenshot = paths.root() / "shot.png";
    fs::path output = paths.root() / "out.png";

    void SetUp() override {
        ASSERT_TRUE(codec.writeFile(backgroundtest::syntheticScreenshot(800, 600), screenshot, ImageFormat::png));
    }

    int run(std::vector<std::string> args) {
        out.str("");
        err.str("");
        return runBackgroundCommand(args, {codec, renderer, pictures, catalog}, out, err);
    }

    std::optional<PixelSize> outputSize() { return codec.readPixelSize(output); }
};

TEST_F(BackgroundCommandTest, PaddingAroundAnAutomaticCanvas) {
    EXPECT_EQ(
        run({screenshot.string(), "--padding", "72", "--aspect", "auto", "--frame", "none", "-o", output.string()}), 0)
        << err.str();
    EXPECT_EQ(outputSize(), (PixelSize{944, 744}));
    EXPECT_NE(out.str().find("944x744"), std::string::npos) << out.str();

    const fs::path square = paths.root() / "square.png";
    EXPECT_EQ(run({screenshot.string(), "--padding=72", "--aspect=1:1", "--preset", "ocean-glass", "--output",
                   square.string()}),
              0)
        << err.str();
    EXPECT_EQ(codec.readPixelSize(square), (PixelSize{944, 944}));
}

TEST_F(BackgroundCommandTest, TemplatesFramesAndPicturesCombine) {
    EXPECT_EQ(run({screenshot.string(), "--template", "xPost", "-o", output.string()}), 0) << err.str();
    const auto size = outputSize();
    ASSERT_TRUE(size);
    EXPECT_NEAR(static_cast<double>(size->width) / size->height, 1200.0 / 628, 0.005);

    const fs::path picture = paths.root() / "picture.png";
    ASSERT_TRUE(codec.writeFile(backgroundtest::syntheticScreenshot(300, 200), picture, ImageFormat::png));
    const fs::path framed = paths.root() / "framed.png";
    EXPECT_EQ(run({screenshot.string(), "--image", picture.string(), "--blur", "6", "--frame", "macbookDark",
                   "--window", "-o", framed.string()}),
              0)
        << err.str();
    EXPECT_TRUE(fs::exists(framed));

    const fs::path seeded = paths.root() / "seeded.png";
    EXPECT_EQ(run({screenshot.string(), "--gradient-seed", "7", "--align", "topLeading", "--aspect", "16:9", "-o",
                   seeded.string()}),
              0)
        << err.str();
}

TEST_F(BackgroundCommandTest, NeverOverwritesAndExplainsBadOptions) {
    backgroundtest::touch(output, "precious");
    EXPECT_EQ(run({screenshot.string(), "-o", output.string()}), 1);
    EXPECT_NE(err.str().find("already exists"), std::string::npos);
    std::ifstream kept(output);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), "precious");

    const fs::path fresh = paths.root() / "fresh.png";
    const std::vector<std::pair<std::vector<std::string>, std::string>> mistakes{
        {{"--aspect", "0:5"}, "--aspect takes"},
        {{"--preset", "sunset"}, "unknown preset 'sunset'"},
        {{"--shadow", "150"}, "--shadow must be a number from 0 to 100"},
        {{"--padding", "lots"}, "--padding must be a number"},
        {{"--frame", "tablet"}, "unknown frame 'tablet' (choose none, browserLight"},
        {{"--template", "instagram"}, "unknown template"},
        {{"--color", "#12345"}, "--color needs six hexadecimal digits"},
        {{"--preset", "graphite", "--transparent"}, "choose one background"},
        {{"--gradient-seed", "-3"}, "--gradient-seed needs a whole number"},
        {{"--corner"}, "--corner needs a value"},
        {{"--sparkle"}, "unexpected argument '--sparkle'"},
    };
    for (const auto& [extra, message] : mistakes) {
        std::vector<std::string> args{screenshot.string(), "-o", fresh.string()};
        args.insert(args.end(), extra.begin(), extra.end());
        EXPECT_EQ(run(args), 2) << message;
        EXPECT_NE(err.str().find(message), std::string::npos) << err.str();
        EXPECT_NE(err.str().find("usage:"), std::string::npos);
    }
    EXPECT_EQ(run({screenshot.string()}), 2) << "no output named";
    EXPECT_EQ(run({screenshot.string(), "--image", (paths.root() / "none.png").string(), "-o", fresh.string()}), 1);
    EXPECT_NE(err.str().find("cannot read the background picture"), std::string::npos);
    EXPECT_EQ(run({(paths.root() / "missing.png").string(), "-o", fresh.string()}), 1);
    EXPECT_NE(err.str().find("cannot read the image"), std::string::npos);
    EXPECT_EQ(run({screenshot.string(), "--padding", "4096", "--aspect", "9:16", "-o", fresh.string()}), 1);
    EXPECT_NE(err.str().find("larger than a picture may be"), std::string::npos) << err.str();
    EXPECT_FALSE(fs::exists(fresh)) << "nothing is left behind by a failure";
}

TEST_F(BackgroundCommandTest, TheDesktopWallpaperAndTheList) {
    const fs::path wallpaper = paths.root() / "wallpapers" / "Hills.png";
    fs::create_directories(wallpaper.parent_path());
    ASSERT_TRUE(codec.writeFile(backgroundtest::syntheticScreenshot(320, 180), wallpaper, ImageFormat::png));

    EXPECT_EQ(run({screenshot.string(), "--wallpaper", "-o", output.string()}), 0);
    EXPECT_NE(err.str().find("the desktop does not say"), std::string::npos) << "told, but still drawn";

    desktop.setPicture(wallpaper);
    EXPECT_EQ(run({"--list"}), 0);
    EXPECT_NE(out.str().find("ocean-glass (Ocean Glass)"), std::string::npos);
    EXPECT_NE(out.str().find("xiaohongshuCover (小红书封面, 1080:1440, none)"), std::string::npos) << out.str();
    EXPECT_NE(out.str().find("Hills  " + wallpaper.string()), std::string::npos) << out.str();
    EXPECT_NE(out.str().find("macbookDark"), std::string::npos);
}

} // namespace
} // namespace brisklet
