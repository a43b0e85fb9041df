#include "ZelvorCore/Foundation/AtomicFile.h"
#include "ZelvorCore/Foundation/Date.h"
#include "ZelvorCore/Foundation/FileUrl.h"
#include "ZelvorCore/Foundation/Geometry.h"
#include "ZelvorCore/Foundation/Uuid.h"
#include "ZelvorCore/Models/VisualMemoryRetention.h"

#include "Platform/Fake/TemporaryPaths.h"

#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace brisklet {
namespace {

std::string contents(const std::filesystem::path& file) {
    std::ifstream in(file);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

TEST(GeometryText, RectanglesPrintInThePlatformForm) {
    EXPECT_EQ(toString(Rect{{0, 0}, {1440, 900}}), "{{0, 0}, {1440, 900}}");
    EXPECT_EQ(toString(Rect{{-10.5, 20.25}, {0.1, 3}}), "{{-10.5, 20.25}, {0.1, 3}}");
    EXPECT_EQ(formatNumber(-0.0), "0");
}

TEST(DateText, Iso8601RoundTripsAndRejectsGarbage) {
    const Date d{1764806918.0};
    EXPECT_EQ(iso8601(d), "2025-12-04T00:08:38Z");
    EXPECT_EQ(parseIso8601("2025-12-04T00:08:38Z"), d);
    EXPECT_EQ(parseIso8601("2025-12-04T01:08:38+01:00"), d);
    EXPECT_DOUBLE_EQ(parseIso8601("2025-12-04T00:08:38.25Z")->secondsSince1970, d.secondsSince1970 + 0.25);
    EXPECT_FALSE(parseIso8601("2025-02-30T00:00:00Z"));
    EXPECT_FALSE(parseIso8601("2025-12-04 00:08:38"));
    EXPECT_FALSE(parseIso8601("2025-12-04T00:08:38Zjunk"));
}

TEST(CalendarArithmetic, MonthsClampInsteadOfWrapping) {
    const Date jan31 = *parseIso8601("2025-01-31T10:00:00Z");
    EXPECT_EQ(iso8601(addingCalendarMonths(jan31, 1)), "2025-02-28T10:00:00Z");
    EXPECT_EQ(iso8601(addingCalendarYears(*parseIso8601("2024-02-29T10:00:00Z"), 1)), "2025-02-28T10:00:00Z");
    EXPECT_EQ(iso8601(addingCalendarMonths(jan31, -2)), "2024-11-30T10:00:00Z");
    EXPECT_EQ(iso8601(*expirationDate(VisualMemoryRetentionPeriod::oneWeek, jan31)), "2025-02-07T10:00:00Z");
    EXPECT_EQ(iso8601(*retentionCutoff(VisualMemoryRetentionPeriod::threeMonths, jan31)), "2024-10-31T10:00:00Z");
    EXPECT_FALSE(expirationDate(VisualMemoryRetentionPeriod::unlimited, jan31));
    EXPECT_EQ(byteLimit(VisualMemoryStorageLimit::threeGB), 3'000'000'000LL);
    EXPECT_FALSE(byteLimit(VisualMemoryStorageLimit::unlimited));
}

TEST(UuidText, GeneratesVersion4AndParsesItsOwnText) {
    const Uuid a = Uuid::generate();
    const std::string text = a.toString();
    EXPECT_EQ(text.size(), 36u);
    EXPECT_EQ(text[14], '4');
    EXPECT_EQ(text.find_first_of("abcdef"), std::string::npos);
    EXPECT_EQ(Uuid::parse(text), a);
    EXPECT_NE(Uuid::generate(), a);
    EXPECT_FALSE(Uuid::parse("E621E1F8-C36C-495A-93FC-0C247A3E6E5"));
    EXPECT_FALSE(Uuid::parse("G621E1F8-C36C-495A-93FC-0C247A3E6E5F"));
}

TEST(FileUrls, PercentEncodingRoundTripsAndOtherSchemesAreRefused) {
    const std::filesystem::path path = "/home/me/My Shots/100% café.png";
    const std::string url = fileURLString(path);
    EXPECT_EQ(url, "file:///home/me/My%20Shots/100%25%20caf%C3%A9.png");
    EXPECT_EQ(pathFromFileURL(url), path);
    EXPECT_EQ(pathFromFileURL("file://localhost/tmp/a.png"), std::filesystem::path("/tmp/a.png"));
    EXPECT_FALSE(pathFromFileURL("https://example.com/a.png"));
    EXPECT_FALSE(pathFromFileURL("file:///tmp/bad%2"));
    EXPECT_FALSE(pathFromFileURL("file:///tmp/nul%00byte"));
}

TEST(AtomicFiles, ReplaceAtomicallyButNeverOverwriteAnExport) {
    TemporaryPaths paths;
    const auto file = paths.root() / "doc.json";
    ASSERT_FALSE(writeFileAtomically(file, "one"));
    ASSERT_FALSE(writeFileAtomically(file, "two"));
    EXPECT_EQ(contents(file), "two");

    const auto exported = paths.root() / "export.json";
    ASSERT_FALSE(writeNewFileAtomically(exported, "first"));
    EXPECT_EQ(writeNewFileAtomically(exported, "second"), std::errc::file_exists);
    EXPECT_EQ(contents(exported), "first");

    // No temporary files are left behind either way.
    int entries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(paths.root())) {
        ++entries;
    }
    EXPECT_EQ(entries, 6); // data, config, tmp, home + the two files
}

} // namespace
} // namespace brisklet
