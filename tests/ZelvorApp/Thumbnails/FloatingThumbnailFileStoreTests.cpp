#include "Platform/Fake/ManualClock.h"
#include "Platform/Fake/ManualMainQueue.h"
#include "Platform/Fake/TemporaryPaths.h"
#include "Platform/Linux/Codec/LinuxImageCodec.h"
#include "ZelvorApp/Thumbnails/FloatingThumbnailFileStore.h"
#include "ZelvorCore/FileNameBuilder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace brisklet {
namespace {

namespace fs = std::filesystem;

std::string contents(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void writeText(const fs::path& file, const std::string& text) {
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << text;
}

class FloatingThumbnailFileStoreTest : public ::testing::Test {
protected:
    Image sample() const {
        Image image(5, 4);
        image.fill(200, 100, 50);
        image.setPixel(1, 2, 0, 0, 255);
        return image;
    }

    ManualClock clock;
    ManualMainQueue queue{clock};
    TemporaryPaths paths;
    LinuxImageCodec codec;
    fs::path root = paths.applicationSupportDirectory() / "FloatingThumbnails";
    FloatingThumbnailFileStore store{root, codec, queue};
};

TEST_F(FloatingThumbnailFileStoreTest, WritesAUniquelyNamedPngInANewRootDirectory) {
    ASSERT_FALSE(fs::exists(root));
    const auto first = store.writeTemporaryPNG(sample());
    const auto second = store.writeTemporaryPNG(sample());
    ASSERT_TRUE(first.ok()) << first.error().message;
    ASSERT_TRUE(second.ok());
    EXPECT_EQ(first.value().parent_path(), root);
    EXPECT_EQ(first.value().extension(), ".png");
    EXPECT_NE(first.value(), second.value());

    const std::string stem = first.value().stem().string();
    ASSERT_GE(stem.size(), 36u);
    EXPECT_TRUE(Uuid::parse(stem.substr(stem.size() - 36)).has_value()) << stem;

    const auto decoded = codec.readFile(first.value());
    ASSERT_TRUE(decoded.ok());
    EXPECT_EQ(decoded.value(), sample());
    EXPECT_EQ(std::distance(fs::directory_iterator(root), fs::directory_iterator()), 2)
        << "no temporary names are left behind";
}

TEST_F(FloatingThumbnailFileStoreTest, RejectsWhatItCannotWrite) {
    const auto empty = store.writeTemporaryPNG(Image{});
    ASSERT_FALSE(empty.ok());
    EXPECT_EQ(empty.error().code, FloatingThumbnailFileError::Code::emptyImage);

    // The root's place is taken by a plain file, so the directory cannot be created.
    writeText(root, "not a directory");
    const auto blocked = store.writeTemporaryPNG(sample());
    ASSERT_FALSE(blocked.ok());
    EXPECT_EQ(blocked.error().code, FloatingThumbnailFileError::Code::directoryFailed);
    EXPECT_NE(blocked.error().message.find(root.string()), std::string::npos) << blocked.error().message;
    EXPECT_EQ(contents(root), "not a directory");
}

TEST_F(FloatingThumbnailFileStoreTest, SavingMovesItsOwnFilesIntoTheExportDirectoryWithoutOverwriting) {
    const fs::path exports = paths.homeDirectory() / "Pictures" / "Brisklet";
    const Date now = clock.now();
    const auto taken = FileNameBuilder::makeFileURL(ExportKind::screenshot, exports, now);
    ASSERT_TRUE(taken.ok());
    writeText(taken.value(), "an earlier export");

    const auto temporary = store.writeTemporaryPNG(sample());
    ASSERT_TRUE(temporary.ok());
    const std::string png = contents(temporary.value());
    const auto saved = store.saveTemporary(temporary.value(), exports, ExportKind::screenshot, now);
    ASSERT_TRUE(saved.ok()) << saved.error().message;
    EXPECT_NE(saved.value(), taken.value());
    EXPECT_EQ(saved.value().parent_path(), exports);
    EXPECT_EQ(contents(taken.value()), "an earlier export");
    EXPECT_EQ(contents(saved.value()), png);
    EXPECT_FALSE(fs::exists(temporary.value()));

    const fs::path outside = paths.root() / "elsewhere.png";
    writeText(outside, "someone else's");
    const auto refused = store.saveTemporary(outside, exports, ExportKind::screenshot, now);
    ASSERT_FALSE(refused.ok());
    EXPECT_EQ(refused.error().code, FloatingThumbnailFileError::Code::notTemporary);
    EXPECT_EQ(contents(outside), "someone else's");
    const auto missing = store.saveTemporary(root / "gone.png", exports, ExportKind::screenshot, now);
    ASSERT_FALSE(missing.ok());
    EXPECT_EQ(missing.error().code, FloatingThumbnailFileError::Code::missingFile);
}

TEST_F(FloatingThumbnailFileStoreTest, RemovesOnlyFilesInsideTheRootAtOnceOrLater) {
    const auto own = store.writeTemporaryPNG(sample());
    const auto dropped = store.writeTemporaryPNG(sample());
    ASSERT_TRUE(own.ok());
    ASSERT_TRUE(dropped.ok());
    const fs::path outside = paths.root() / "precious.png";
    writeText(outside, "keep me");
    const fs::path link = root / "link.png";
    fs::create_symlink(outside, link);

    EXPECT_FALSE(store.removeIfTemporary(root / ".." / "precious.png"));
    EXPECT_FALSE(store.removeIfTemporary(root / "sub" / ".." / ".." / "precious.png"));
    EXPECT_FALSE(store.removeIfTemporary(outside));
    EXPECT_FALSE(store.removeIfTemporary(link));
    EXPECT_FALSE(store.removeIfTemporary(root));
    EXPECT_TRUE(store.removeIfTemporary(root / "." / own.value().filename()));
    EXPECT_FALSE(fs::exists(own.value()));
    EXPECT_FALSE(store.removeIfTemporary(own.value())) << "already gone";

    store.scheduleRemovalIfTemporary(dropped.value(), 600);
    store.scheduleRemovalIfTemporary(root / ".." / "precious.png", 1);
    queue.runFor(599);
    EXPECT_TRUE(fs::exists(dropped.value())) << "a drop target may still be reading it";
    queue.runFor(2);
    EXPECT_FALSE(fs::exists(dropped.value()));
    EXPECT_EQ(contents(outside), "keep me");
    EXPECT_TRUE(fs::is_symlink(link));
}

TEST_F(FloatingThumbnailFileStoreTest, CleanupDeletesOnlyFilesOlderThanTheAge) {
    const auto old = store.writeTemporaryPNG(sample());
    const auto fresh = store.writeTemporaryPNG(sample());
    ASSERT_TRUE(old.ok());
    ASSERT_TRUE(fresh.ok());
    const fs::path outside = paths.root() / "old-outside.png";
    writeText(outside, "not ours");

    const auto now = fs::file_time_type::clock::now();
    fs::last_write_time(old.value(), now - std::chrono::hours(25));
    fs::last_write_time(fresh.value(), now - std::chrono::hours(23));
    fs::last_write_time(outside, now - std::chrono::hours(48));
    const auto nowDate = Date{std::chrono::duration<double>(
                                  std::chrono::file_clock::to_sys(now).time_since_epoch())
                                  .count()};

    EXPECT_EQ(store.cleanupFiles(86400, nowDate), 1);
    EXPECT_FALSE(fs::exists(old.value()));
    EXPECT_TRUE(fs::exists(fresh.value()));
    EXPECT_TRUE(fs::exists(outside));

    fs::remove_all(root);
    EXPECT_EQ(store.cleanupFiles(86400, nowDate), 0) << "a missing root is nothing to clean";
}

} // namespace
} // namespace brisklet
