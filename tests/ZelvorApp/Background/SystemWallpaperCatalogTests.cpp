#include "BackgroundTestSupport.h"
#include "Platform/Fake/ScriptedDesktopPictureSource.h"
#include "Platform/Fake/ScriptedWallpaperImageReader.h"
#include "Platform/Fake/TemporaryPaths.h"
#include "ZelvorApp/Background/SystemWallpaperCatalog.h"

#include <gtest/gtest.h>

#include <thread>

namespace brisklet {
namespace {

namespace fs = std::filesystem;
using backgroundtest::touch;

class SystemWallpaperCatalogTest : public ::testing::Test {
protected:
    TemporaryPaths paths;
    fs::path system = paths.root() / "share" / "backgrounds";
    fs::path packages = paths.root() / "share" / "wallpapers";
    fs::path missing = paths.root() / "nowhere";
    fs::path user = paths.homeDirectory() / ".local" / "share" / "backgrounds";
    ScriptedWallpaperImageReader reader{{"jpg", "jpeg", "png", "webp"}};
    ScriptedDesktopPictureSource desktop;

    fs::path picture(const fs::path& file, int width, int height) {
        touch(file);
        reader.setSize(file, {width, height});
        return file;
    }

    void SetUp() override {
        picture(system / "gnome" / "wide.jpg", 3000, 2000);
        picture(system / "gnome" / "tall.jpg", 1000, 1200);
        picture(system / "gnome" / "square.jpg", 1000, 1000);
        picture(system / "gnome" / "Picture 10.png", 1920, 1080);
        picture(system / "gnome" / "Picture 2.png", 1920, 1080);
        picture(system / "gnome" / "picture 3.PNG", 1920, 1080);
        touch(system / "gnome" / "unreadable.jpg");
        picture(system / "gnome" / ".thumbnails" / "wide.jpg", 300, 200);
        picture(system / "Solid Colors" / "Red.png", 1920, 1080);
        picture(system / "gnome" / "iMac Blue.jpg", 1920, 1080);
        picture(system / "gnome" / "photo.heic", 1920, 1080);
        touch(system / "gnome" / "adwaita.xml");

        picture(packages / "Next" / "contents" / "images" / "1920x1080.png", 1920, 1080);
        picture(packages / "Next" / "contents" / "images" / "5120x2880.png", 5120, 2880);
        picture(packages / "Next" / "contents" / "images" / "1080x1920.png", 1080, 1920);
        picture(packages / "Next" / "contents" / "screenshot.png", 400, 250);
        picture(packages / "Next" / "contents" / "images_dark" / "5120x2880.png", 5120, 2880);
        touch(packages / "Next" / "metadata.json");

        picture(user / "mine.webp", 2000, 1000);
    }

    SystemWallpaperCatalog catalog() {
        return SystemWallpaperCatalog(reader, desktop, {system, packages, missing, user});
    }

    static std::vector<std::string> names(const std::vector<SystemWallpaper>& list) {
        std::vector<std::string> result;
        for (const auto& wallpaper : list) {
            result.push_back(wallpaper.name);
        }
        return result;
    }
};

TEST_F(SystemWallpaperCatalogTest, CurrentPictureFirstThenWideBeforeTallBeforeTheRest) {
    desktop.setPicture(user / "mine.webp");
    auto wallpapers = catalog();
    const auto list = wallpapers.wallpapers(100);
    EXPECT_EQ(names(list), (std::vector<std::string>{"mine", "Picture 2", "picture 3", "Picture 10", "wide", "tall",
                                                     "square", "unreadable", "Next"}))
        << "the current picture is listed once, first; numbers in names compare by value";
    EXPECT_EQ(list[0].id, (user / "mine.webp").string());
    EXPECT_EQ(list[0].url, user / "mine.webp");
    EXPECT_EQ(list[4].thumbnailURL, system / "gnome" / ".thumbnails" / "wide.jpg");
    EXPECT_FALSE(list[5].thumbnailURL);

    const SystemWallpaper& package = list.back();
    EXPECT_EQ(package.url, packages / "Next" / "contents" / "images" / "5120x2880.png")
        << "a KDE package is one wallpaper, its largest picture";
    EXPECT_EQ(package.thumbnailURL, packages / "Next" / "contents" / "screenshot.png");
}

TEST_F(SystemWallpaperCatalogTest, OnlyDecodableExtensionsAreListed) {
    ScriptedWallpaperImageReader pngAndJpegOnly;
    ScriptedDesktopPictureSource nothing;
    SystemWallpaperCatalog narrow(pngAndJpegOnly, nothing, {user});
    EXPECT_EQ(narrow.extensions(), (std::set<std::string>{"jpeg", "jpg", "png"}));
    EXPECT_TRUE(narrow.wallpapers(10).empty()) << "WebP needs a decoder for it";
    EXPECT_EQ(catalog().extensions(), (std::set<std::string>{"jpeg", "jpg", "png", "webp"}));

    desktop.setPicture(system / "gnome" / "adwaita.xml");
    const auto list = catalog().wallpapers(1);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].name, "Picture 2") << "a slideshow document is not a picture to show";
}

TEST_F(SystemWallpaperCatalogTest, TheListIsCachedForTheLargestLimitAskedFor) {
    auto wallpapers = catalog();
    EXPECT_EQ(names(wallpapers.wallpapers(3)), (std::vector<std::string>{"Picture 2", "picture 3", "Picture 10"}));
    const int readsAfterFirst = reader.headerReads();
    const int desktopAsks = desktop.requests();
    EXPECT_EQ(names(wallpapers.wallpapers(2)), (std::vector<std::string>{"Picture 2", "picture 3"}));
    EXPECT_EQ(reader.headerReads(), readsAfterFirst) << "a smaller limit is answered from the cache";
    EXPECT_EQ(desktop.requests(), desktopAsks);
    EXPECT_EQ(wallpapers.wallpapers(5).size(), 5u);
    EXPECT_GT(desktop.requests(), desktopAsks) << "a larger limit builds the list again";
    EXPECT_TRUE(wallpapers.wallpapers(0).empty());
    EXPECT_TRUE(SystemWallpaperCatalog(reader, desktop, {missing}).wallpapers(5).empty());
}

TEST_F(SystemWallpaperCatalogTest, ConcurrentRequestsAgree) {
    auto wallpapers = catalog();
    std::vector<std::vector<SystemWallpaper>> results(4);
    std::vector<std::thread> threads;
    for (std::size_t i = 0; i < results.size(); ++i) {
        threads.emplace_back([&, i] { results[i] = wallpapers.wallpapers(6); });
    }
    for (auto& thread : threads) {
        thread.join();
    }
    for (const auto& result : results) {
        EXPECT_EQ(result, results.front());
    }
}

TEST_F(SystemWallpaperCatalogTest, ThumbnailsPreferTheReadyMadeOne) {
    auto wallpapers = catalog();
    const auto list = wallpapers.wallpapers(100);
    const auto wide = std::find_if(list.begin(), list.end(), [](const auto& w) { return w.name == "wide"; });
    const auto thumbnail = wallpapers.thumbnailImage(*wide, 150);
    ASSERT_TRUE(thumbnail);
    EXPECT_EQ(thumbnail->width(), 150) << "from the 300×200 thumbnail file";
    EXPECT_EQ(thumbnail->height(), 100);

    const auto tall = std::find_if(list.begin(), list.end(), [](const auto& w) { return w.name == "tall"; });
    EXPECT_EQ(wallpapers.thumbnailImage(*tall, 120)->height(), 120) << "from the picture itself";
    const auto unreadable =
        std::find_if(list.begin(), list.end(), [](const auto& w) { return w.name == "unreadable"; });
    EXPECT_FALSE(wallpapers.thumbnailImage(*unreadable, 120));
    EXPECT_FALSE(wallpapers.thumbnailImage(*tall, 0));
}

TEST(WallpaperNameOrder, NumbersByValueLettersWithoutCase) {
    EXPECT_TRUE(SystemWallpaperCatalog::standardOrderLess("Picture 2", "Picture 10"));
    EXPECT_FALSE(SystemWallpaperCatalog::standardOrderLess("Picture 10", "Picture 2"));
    EXPECT_TRUE(SystemWallpaperCatalog::standardOrderLess("apple", "Banana"));
    EXPECT_TRUE(SystemWallpaperCatalog::standardOrderLess("Dune", "dunes"));
    EXPECT_FALSE(SystemWallpaperCatalog::standardOrderLess("File01", "file1"));
    EXPECT_FALSE(SystemWallpaperCatalog::standardOrderLess("file1", "File01")) << "equal in this order";
    EXPECT_TRUE(SystemWallpaperCatalog::standardOrderLess("v2.9", "v2.10"));
    EXPECT_TRUE(SystemWallpaperCatalog::standardOrderLess("x99999999999999999999999", "x100000000000000000000000"))
        << "long runs of digits do not overflow";
}

TEST(WallpaperRoots, LinuxDesktopsKeepPicturesInTheseFolders) {
    EXPECT_EQ(SystemWallpaperCatalog::linuxRoots("/home/ann"),
              (std::vector<fs::path>{"/usr/share/backgrounds", "/usr/share/wallpapers",
                                     "/home/ann/.local/share/backgrounds", "/home/ann/.local/share/wallpapers"}));
}

} // namespace
} // namespace brisklet
