#include "ZelvorCore/FileNameBuilder.h"

#include "Platform/Fake/TemporaryPaths.h"
#include "support/ScopedTimeZone.h"

#include <fstream>
#include <gtest/gtest.h>

namespace brisklet {
namespace {

// 2025-03-07 14:05:09 UTC
constexpr Date moment{1741356309.0};

void touch(const std::filesystem::path& file) {
    std::ofstream(file) << "x";
}

TEST(FileNameBuilderTest, SameSecondNamesCountUpFromTheBaseName) {
    TemporaryPaths paths;
    const auto dir = paths.root() / "exports";
    auto first = FileNameBuilder::makeFileURL(ExportKind::screenshot, dir, moment);
    ASSERT_TRUE(first.ok());
    EXPECT_EQ(first.value(), dir / "screenshot_2025-03-07_14-05-09.png");
    touch(first.value());
    touch(dir / "screenshot_2025-03-07_14-05-09_1.png");

    auto third = FileNameBuilder::makeFileURL(ExportKind::screenshot, dir, moment);
    ASSERT_TRUE(third.ok());
    EXPECT_EQ(third.value(), dir / "screenshot_2025-03-07_14-05-09_2.png");

    // A directory of that name also counts as taken.
    std::filesystem::create_directory(third.value());
    EXPECT_EQ(FileNameBuilder::makeFileURL(ExportKind::screenshot, dir, moment).value().filename(),
              "screenshot_2025-03-07_14-05-09_3.png");
}

TEST(FileNameBuilderTest, PrefixesAndExtensionsPerKind) {
    TemporaryPaths paths;
    const auto name = [&](ExportKind kind) {
        return FileNameBuilder::makeFileURL(kind, paths.root(), moment).value().filename().string();
    };
    EXPECT_EQ(name(ExportKind::clipboardText), "clipboard_2025-03-07_14-05-09.txt");
    EXPECT_EQ(name(ExportKind::clipboardImage), "clipboard-image_2025-03-07_14-05-09.png");
    EXPECT_EQ(name(ExportKind::videoMP4), "recording_2025-03-07_14-05-09.mp4");
    EXPECT_EQ(name(ExportKind::videoMOV), "recording_2025-03-07_14-05-09.mov");
    EXPECT_EQ(name(ExportKind::gif), "gif_2025-03-07_14-05-09.gif");
}

TEST(FileNameBuilderTest, CreatesMissingParentsAndReportsWhatCannotBeCreated) {
    TemporaryPaths paths;
    const auto nested = paths.root() / "a" / "b" / "c";
    ASSERT_TRUE(FileNameBuilder::makeFileURL(ExportKind::longshot, nested, moment).ok());
    EXPECT_TRUE(std::filesystem::is_directory(nested));

    touch(paths.root() / "plainfile");
    const auto blocked = FileNameBuilder::makeFileURL(ExportKind::longshot, paths.root() / "plainfile" / "sub", moment);
    EXPECT_FALSE(blocked.ok());
}

TEST(FileNameBuilderTest, StampUsesTheLocalZoneWithA24HourClock) {
    testing::ScopedTimeZone india("IST-5:30");
    EXPECT_EQ(FileNameBuilder::timestamp(moment), "2025-03-07_19-35-09");
    testing::ScopedTimeZone pacific("PST8");
    EXPECT_EQ(FileNameBuilder::timestamp(moment), "2025-03-07_06-05-09");
}

TEST(FileNameBuilderTest, VideoTemporaryFileNames) {
    const auto uuid = *Uuid::parse("E621E1F8-C36C-495A-93FC-0C247A3E6E5F");
    EXPECT_EQ(FileNameBuilder::videoTemporaryFileURL(RecordingOutputFormat::mov, "/tmp", uuid),
              "/tmp/brisklet-video-E621E1F8-C36C-495A-93FC-0C247A3E6E5F.mov");
    EXPECT_EQ(FileNameBuilder::videoTemporaryFileURL(RecordingOutputFormat::gif, "/tmp", uuid).extension(), ".mp4");
    EXPECT_NE(FileNameBuilder::videoTemporaryFileURL(RecordingOutputFormat::mp4, "/tmp"),
              FileNameBuilder::videoTemporaryFileURL(RecordingOutputFormat::mp4, "/tmp"));
}

} // namespace
} // namespace brisklet
