// Frames of real browser pages (tests/data/longshot, made by its generate.py with headless
// Chromium), scrolled in uneven steps, stitched by `brisklet stitch`, compared with one tall
// screenshot of the same page: the sticky header once at the top, the fixed bars once at the
// bottom, nothing repeated or missing. Where a step's overlap is blank page, nothing in the frames
// says how far it went: that seam must be reported as a guess, and everything else exact.

#include "Platform/Fake/TemporaryPaths.h"
#include "Platform/Linux/Codec/LinuxImageCodec.h"
#include "ZelvorApp/Longshot/LongshotPixelOverlapMatcher.h"
#include "main/StitchCommand.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace brisklet {
namespace {

namespace fs = std::filesystem;

struct BrowserPage {
    std::vector<std::string> frames;
    std::vector<int> offsets; // device pixels
    int header = 0;
    int footer = 0;
    std::string truth;
};

BrowserPage readManifest(const fs::path& directory) {
    BrowserPage page;
    std::ifstream manifest(directory / "frames.txt");
    std::string line;
    while (std::getline(manifest, line)) {
        std::istringstream words(line);
        std::string kind, name;
        words >> kind;
        if (kind == "header") {
            words >> page.header;
        } else if (kind == "footer") {
            words >> page.footer;
        } else if (kind == "frame") {
            int offset = 0;
            words >> name >> offset;
            page.frames.push_back((directory / name).string());
            page.offsets.push_back(offset);
        } else if (kind == "truth") {
            words >> name;
            page.truth = (directory / name).string();
        }
    }
    return page;
}

bool rowsEqual(const Image& a, int rowA, const Image& b, int rowB) {
    return std::equal(a.row(rowA), a.row(rowA) + a.bytesPerRow(), b.row(rowB));
}

/// Whether the page rows [top, bottom) of the tall screenshot show anything but flat colour.
bool hasTexture(const Image& page, int top, int bottom) {
    for (int y = std::max(top, 1); y < std::min(bottom, page.height()); ++y) {
        for (int x = 1; x < page.width(); ++x) {
            const auto offset = static_cast<std::size_t>(y) * page.bytesPerRow() + static_cast<std::size_t>(x) * 4;
            if (LongshotPixelOverlapMatcher::isTextured(page.data(), offset, page.bytesPerRow())) {
                return true;
            }
        }
    }
    return false;
}

class LongshotBrowserPageTest : public ::testing::TestWithParam<std::string> {
protected:
    TemporaryPaths paths;
    LinuxImageCodec codec;
};

TEST_P(LongshotBrowserPageTest, StitchesThePageExactlyAndOnlyGuessesBlankSeams) {
    const BrowserPage page = readManifest(fs::path(BRISKLET_LONGSHOT_TEST_DATA_DIR) / GetParam());
    ASSERT_GE(page.frames.size(), 2u);
    const auto truth = codec.readFile(page.truth);
    ASSERT_TRUE(truth);
    const auto first = codec.readFile(page.frames.front());
    ASSERT_TRUE(first);
    const int frameHeight = first.value().height();

    std::vector<std::string> args = page.frames;
    const std::string output = (paths.root() / "stitched.png").string();
    args.insert(args.end(), {"-o", output});
    std::ostringstream out, err;
    ASSERT_EQ(runStitchCommand(args, codec, out, err), 0) << err.str();
    const std::string report = out.str();
    SCOPED_TRACE(report);

    // Which steps the frames cannot measure: those whose overlap is blank page.
    int blankSteps = 0;
    for (std::size_t i = 1; i < page.frames.size(); ++i) {
        const bool blank =
            !hasTexture(truth.value(), page.offsets[i] + page.header, page.offsets[i - 1] + frameHeight - page.footer);
        blankSteps += blank ? 1 : 0;
        const std::string line = "frame " + std::to_string(i + 1) + " " + page.frames[i] + ": ";
        const auto at = report.find(line);
        ASSERT_NE(at, std::string::npos);
        const std::string verdict = report.substr(at + line.size(), report.find('\n', at) - at - line.size());
        EXPECT_EQ(verdict.find("accepted"), 0u) << "frame " << i + 1;
        EXPECT_EQ(verdict.find("guess") != std::string::npos, blank) << "frame " << i + 1 << ": " << verdict;
        if (!blank) {
            EXPECT_NE(verdict.find("shift=" + std::to_string(page.offsets[i] - page.offsets[i - 1]) + " "),
                      std::string::npos)
                << "frame " << i + 1 << ": " << verdict;
        }
    }

    const auto stitched = codec.readFile(output);
    ASSERT_TRUE(stitched);
    const Image& result = stitched.value();
    ASSERT_EQ(result.width(), truth.value().width());
    // Rows that agree with the page from the top and from the bottom: with every seam measured
    // the two cover the whole page; a guessed seam in blank page may only shorten or lengthen
    // that blank stretch.
    int fromTop = 0;
    while (fromTop < std::min(result.height(), truth.value().height()) &&
           rowsEqual(result, fromTop, truth.value(), fromTop)) {
        ++fromTop;
    }
    int fromBottom = 0;
    while (
        fromBottom < std::min(result.height(), truth.value().height()) &&
        rowsEqual(result, result.height() - 1 - fromBottom, truth.value(), truth.value().height() - 1 - fromBottom)) {
        ++fromBottom;
    }
    if (blankSteps == 0) {
        EXPECT_EQ(result.height(), truth.value().height());
        EXPECT_EQ(fromTop, truth.value().height()) << "first differing row";
    } else {
        EXPECT_GE(fromTop + fromBottom, result.height())
            << "rows " << fromTop << " to " << result.height() - fromBottom << " are neither the top nor the bottom";
    }
}

INSTANTIATE_TEST_SUITE_P(Pages, LongshotBrowserPageTest,
                         ::testing::Values("article", "feed", "chat", "code", "essay", "liveblog", "settings", "log"),
                         [](const auto& page) { return page.param; });

} // namespace
} // namespace brisklet
