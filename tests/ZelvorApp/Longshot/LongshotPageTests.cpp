// Whole pages scrolled through a viewport by the scripted window server, each frame judged by
// the classifier exactly as the recorder judges it, then stitched: the result must be the page.

#include "SyntheticPage.h"

#include "Platform/Fake/ScriptedScrollingPage.h"
#include "Platform/Fake/ScriptedWindowServer.h"
#include "Platform/Linux/OpenCV/OpenCVImageRegistration.h"
#include "ZelvorApp/Longshot/LongshotComposer.h"
#include "ZelvorApp/Longshot/LongshotFrameClassifier.h"

#include <gtest/gtest.h>

namespace brisklet {
namespace {

using namespace testing_support;

constexpr ScrollEventSupport pixelScrolling{true, true, true, std::nullopt};

struct Recording {
    std::vector<AcceptedLongshotFrame> frames;
    int stationary = 0;
    int unmatched = 0;
    std::optional<Image> stitched;
};

/// Captures, judges and scrolls until the page stops moving, like an auto-scrolled recording.
/// `repeatEachFrame` takes every frame twice, as a capture faster than the scrolling would.
Recording record(ScriptedScrollingPage& page, int step, bool expectStep, bool repeatEachFrame = false) {
    const OpenCVImageRegistration registration;
    const LongshotComposer composer(registration);
    LongshotFrameClassifier classifier(composer);
    ScriptedWindowServer windowServer(page, pixelScrolling);
    LongshotAnalysisOptions options;
    options.allowedPixelDirection = LongshotPixelOverlapMatcher::Direction::forward;
    options.expectedScrollStep = expectStep ? std::optional<double>(step) : std::nullopt;

    Recording recording;
    int stationaryInARow = 0;
    for (int capture = 0; capture < 60 && stationaryInARow < 2; ++capture) {
        const auto frame = std::make_shared<const Image>(page.frame());
        const auto last = recording.frames.empty() ? nullptr : recording.frames.back().image;
        const auto analysis = classifier.classify(last, frame, options);
        stationaryInARow = std::holds_alternative<LongshotFrameStationary>(analysis) ? stationaryInARow + 1 : 0;
        if (const auto* accepted = std::get_if<LongshotFrameAccepted>(&analysis)) {
            recording.frames.push_back(accepted->frame);
        } else if (std::holds_alternative<LongshotFrameUnmatched>(analysis)) {
            ++recording.unmatched;
        } else {
            ++recording.stationary;
        }
        if (!repeatEachFrame || capture % 2 == 1) {
            windowServer.postPixelScroll(-step);
        }
    }
    recording.stitched = LongshotComposer::compose(recording.frames, LongshotCropOptions::automatic());
    return recording;
}

/// The first row at which two images differ, for readable failures.
int firstDifferingRow(const Image& a, const Image& b) {
    for (int y = 0; y < std::min(a.height(), b.height()); ++y) {
        if (!std::equal(a.row(y), a.row(y) + std::min(a.bytesPerRow(), b.bytesPerRow()), b.row(y))) {
            return y;
        }
    }
    return a.height() == b.height() ? -1 : std::min(a.height(), b.height());
}

void expectStitchedPage(const Recording& recording, const Image& expected) {
    ASSERT_TRUE(recording.stitched);
    EXPECT_EQ(recording.stitched->width(), expected.width());
    EXPECT_EQ(recording.stitched->height(), expected.height());
    EXPECT_EQ(firstDifferingRow(*recording.stitched, expected), -1);
}

Image header() {
    return makeBar(800, 60, 40, 70, 140, 31);
}
Image footer() {
    return makeBar(800, 40, 70, 70, 70, 32);
}

TEST(LongshotPageTest, StickyHeaderAndFooterAppearOnceAndTheStitchIsThePage) {
    ScriptedScrollingPage page(makeTextPage(800, 2400, 41), 500, header(), footer());
    const auto recording = record(page, 275, true);
    EXPECT_EQ(recording.unmatched, 0);
    EXPECT_EQ(recording.frames.size(), 9u) << "offsets 0, 275, ..., 1925 and the last 75 rows";
    expectStitchedPage(recording, page.fullPage());
}

TEST(LongshotPageTest, EverySpeedAndManualScrollingStitchThePageExactly) {
    for (const int step : {225, 275, 325}) {
        for (const bool expectStep : {true, false}) {
            SCOPED_TRACE("step " + std::to_string(step) + (expectStep ? " expected" : " manual"));
            ScriptedScrollingPage page(makeTextPage(800, 2000, 42), 500, header(), footer());
            const auto recording = record(page, step, expectStep);
            EXPECT_EQ(recording.unmatched, 0);
            expectStitchedPage(recording, page.fullPage());
        }
    }
}

TEST(LongshotPageTest, APageWithoutBarsStitchesExactly) {
    ScriptedScrollingPage page(makeTextPage(640, 1800, 43), 480);
    const auto recording = record(page, 264, true);
    expectStitchedPage(recording, page.fullPage());
}

TEST(LongshotPageTest, AnAnimatedHeaderAreaDoesNotDisturbTheStitch) {
    ScriptedScrollingPage page(makeTextPage(800, 2200, 44), 500, header(), footer());
    page.setAnimatedArea(ScriptedScrollingPage::AnimatedArea{700, 12, 28, 28});
    const auto firstFrame = page.frame(); // the animation's first phase, as the first frame shows it
    page.setOffset(0);
    const auto recording = record(page, 275, true);
    ASSERT_TRUE(recording.stitched);
    Image expected = page.fullPage();
    std::copy(firstFrame.row(0), firstFrame.row(60), expected.row(0));
    const Image stitchedHeader = rowsOf(*recording.stitched, 0, 60);
    EXPECT_NE(stitchedHeader, rowsOf(firstFrame, 0, 60)) << "the recording's first frame came later";
    // The header shows one phase of the animation, once; everything below it is the page.
    std::copy(recording.stitched->row(0), recording.stitched->row(60), expected.row(0));
    expectStitchedPage(recording, expected);
}

TEST(LongshotPageTest, BlankStretchesOfThePageStitchExactly) {
    // Stretches shorter than the overlap of two frames (125 rows here): where the whole overlap
    // is blank, how much blank lies between two lines of text cannot be seen in the frames.
    Image content = makeTextPage(800, 2600, 45);
    blankRows(content, 300, 110);
    blankRows(content, 1100, 100);
    blankRows(content, 1900, 120);
    ScriptedScrollingPage page(content, 500, header(), footer());
    const auto recording = record(page, 275, true);
    expectStitchedPage(recording, page.fullPage());
}

TEST(LongshotPageTest, RepeatedRowsLongerThanTheViewportStitchExactlyWithTheExpectedStep) {
    Image content = makeTextPage(800, 2600, 46);
    repeatBlock(content, 700, 48, 16); // 816 rows of one 48-row entry, twice the visible content
    ScriptedScrollingPage page(content, 500, header(), footer());
    const auto recording = record(page, 275, true);
    EXPECT_EQ(recording.unmatched, 0);
    expectStitchedPage(recording, page.fullPage());
}

TEST(LongshotPageTest, FramesTakenBeforeThePageMovedNeverAddContent) {
    ScriptedScrollingPage page(makeTextPage(800, 2000, 47), 500, header(), footer());
    const auto recording = record(page, 275, true, true);
    EXPECT_GE(recording.stationary, 7);
    expectStitchedPage(recording, page.fullPage());
}

} // namespace
} // namespace brisklet
