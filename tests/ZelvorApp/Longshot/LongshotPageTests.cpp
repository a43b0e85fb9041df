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
    int guessed = 0;      ///< seams nothing in the frames measured
    int expectedStep = 0; ///< blank overlaps given the scroll step
    std::optional<Image> stitched;
};

/// Judges one frame as the recorder does and keeps what it keeps.
void judge(Recording& recording, LongshotFrameClassifier& classifier, const Image& image,
           const LongshotAnalysisOptions& options) {
    const auto frame = std::make_shared<const Image>(image);
    const auto last = recording.frames.empty() ? nullptr : recording.frames.back().image;
    const auto analysis = classifier.classify(last, frame, options);
    if (const auto* accepted = std::get_if<LongshotFrameAccepted>(&analysis)) {
        if (accepted->recovered) {
            recording.frames.push_back(*accepted->recovered);
            ++recording.guessed;
        }
        recording.guessed += accepted->seam == LongshotSeamSource::guessed ? 1 : 0;
        recording.expectedStep += accepted->seam == LongshotSeamSource::expectedStep ? 1 : 0;
        recording.frames.push_back(accepted->frame);
    } else if (std::holds_alternative<LongshotFrameUnmatched>(analysis)) {
        ++recording.unmatched;
    } else {
        ++recording.stationary;
    }
}

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
        const int stationaryBefore = recording.stationary;
        judge(recording, classifier, page.frame(), options);
        stationaryInARow = recording.stationary > stationaryBefore ? stationaryInARow + 1 : 0;
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

/// Frames judged without an expected step, as when the page is scrolled by hand.
class HandScrolledRecording {
public:
    HandScrolledRecording() { options_.allowedPixelDirection = LongshotPixelOverlapMatcher::Direction::forward; }
    void see(const Image& frame) { judge(recording_, classifier_, frame, options_); }
    void seeOffsets(ScriptedScrollingPage& page, std::initializer_list<int> offsets) {
        for (const int offset : offsets) {
            page.setOffset(offset);
            see(page.frame());
        }
    }
    Recording finish() {
        recording_.stitched = LongshotComposer::compose(recording_.frames, LongshotCropOptions::automatic());
        return recording_;
    }

private:
    const OpenCVImageRegistration registration_;
    const LongshotComposer composer_{registration_};
    LongshotFrameClassifier classifier_{composer_};
    LongshotAnalysisOptions options_;
    Recording recording_;
};

/// The page seen at each offset in turn, scrolled by hand.
Recording recordOffsets(ScriptedScrollingPage& page, std::initializer_list<int> offsets) {
    HandScrolledRecording recording;
    recording.seeOffsets(page, offsets);
    return recording.finish();
}

/// Every stitched row is the page's, counted from its top or from its bottom: true when only
/// one seam is off, by however much.
void expectPageExceptOneSeam(const Recording& recording, const Image& expected) {
    ASSERT_TRUE(recording.stitched);
    const Image& stitched = *recording.stitched;
    const int common = std::min(stitched.height(), expected.height());
    const auto same = [&](int a, int b) {
        return std::equal(stitched.row(a), stitched.row(a) + stitched.bytesPerRow(), expected.row(b));
    };
    int fromTop = 0;
    while (fromTop < common && same(fromTop, fromTop)) {
        ++fromTop;
    }
    int fromBottom = 0;
    while (fromBottom < common && same(stitched.height() - 1 - fromBottom, expected.height() - 1 - fromBottom)) {
        ++fromBottom;
    }
    EXPECT_GE(fromTop + fromBottom, stitched.height())
        << "rows " << fromTop << " to " << stitched.height() - fromBottom;
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

TEST(LongshotPageTest, AFrameScrolledTooFarCostsOnlyItsOwnSeam) {
    // 250 -> 700 moves further than the 400 visible rows: that frame lines up with nothing
    // before it, but the next one lines up with it, so it is kept with a guessed seam and the
    // recording goes on instead of comparing every later frame with 250.
    ScriptedScrollingPage page(makeTextPage(800, 2000, 48), 500, header(), footer());
    const auto recording = recordOffsets(page, {0, 250, 700, 930, 1180, 1400, 1600});
    EXPECT_EQ(recording.frames.size(), 7u);
    EXPECT_EQ(recording.unmatched, 1) << "the frame at 700, until the next one lined up with it";
    EXPECT_EQ(recording.guessed, 1);
    expectPageExceptOneSeam(recording, page.fullPage());
}

TEST(LongshotPageTest, AFrameThatLinesUpWithNothingIsDroppedAlone) {
    ScriptedScrollingPage page(makeTextPage(800, 2000, 49), 500, header(), footer());
    HandScrolledRecording scrolling;
    scrolling.seeOffsets(page, {0, 200});
    // Another page altogether, as when a window passes in front for a moment.
    ScriptedScrollingPage other(makeTextPage(800, 2000, 50), 500, header(), footer());
    scrolling.see(other.frame());
    scrolling.seeOffsets(page, {400, 600, 800, 1000, 1200, 1400, 1600});
    const Recording recording = scrolling.finish();
    EXPECT_EQ(recording.unmatched, 1);
    EXPECT_EQ(recording.guessed, 0);
    expectStitchedPage(recording, page.fullPage());
}

TEST(LongshotPageTest, ABlankStretchLongerThanTheOverlapTakesTheScrollStepOrAGuess) {
    // 420 blank rows: one step of 275 sees only blank page in its 125 rows of overlap.
    Image content = makeTextPage(800, 2600, 51);
    blankRows(content, 900, 420);
    ScriptedScrollingPage page(content, 500, header(), footer());
    const auto automatic = record(page, 275, true);
    EXPECT_EQ(automatic.unmatched, 0);
    EXPECT_EQ(automatic.expectedStep, 1);
    EXPECT_EQ(automatic.guessed, 0);
    expectStitchedPage(automatic, page.fullPage());

    page.setOffset(0);
    const auto manual = record(page, 275, false);
    EXPECT_EQ(manual.unmatched, 0);
    EXPECT_EQ(manual.guessed, 1);
    // The guess is the step measured before it, which here is the real one.
    expectStitchedPage(manual, page.fullPage());
}

TEST(LongshotPageTest, AGuessInBlankPageNeverLaysTextOverBlankRows) {
    // 1000 -> 1300 sees only blank page in its overlap. The last measured step (100) would lay
    // the text at the bottom of the frame at 1300 over rows that the frame at 1000 shows blank;
    // the guess is at least the smallest step both frames allow, and the page goes on.
    Image content = makeTextPage(800, 2600, 52);
    blankRows(content, 1060, 440);
    ScriptedScrollingPage page(content, 500, header(), footer());
    const auto recording = recordOffsets(page, {0, 200, 400, 600, 800, 900, 1000, 1300, 1500, 1700, 1900, 2100, 2200});
    EXPECT_EQ(recording.unmatched, 0);
    EXPECT_EQ(recording.guessed, 1);
    ASSERT_EQ(recording.frames.size(), 13u);
    ASSERT_TRUE(recording.frames[7].match);
    EXPECT_GT(recording.frames[7].match->seamOffset, 100);
    EXPECT_LE(recording.frames[7].match->seamOffset, 300);
    expectPageExceptOneSeam(recording, page.fullPage());
}

TEST(LongshotPageTest, RowsOfOneRhythmScrolledByHandLineUpAtTheirOneExactSeam) {
    // 12 copies of one 36-row entry, each numbered in the margin as an editor numbers its lines:
    // on the samples the multiples of 36 rows look alike, on the full frames only one seam lines
    // up the numbers.
    Image content = makeTextPage(800, 2400, 53);
    repeatBlock(content, 600, 36, 12);
    for (int entry = 0; entry <= 12; ++entry) {
        std::uint64_t bits = (entry + 1) * 0x9E3779B97F4A7C15ull;
        for (int bit = 0; bit < 3 * 45; ++bit, bits = bits >> 1 | bits << 63) {
            if (bits & 1u) {
                content.setPixel(8 + (bit / 45) * 7 + bit % 5, 600 + entry * 36 + 12 + (bit % 45) / 5, 60, 60, 70);
            }
        }
    }
    ScriptedScrollingPage page(content, 500, header(), footer());
    const auto recording = recordOffsets(page, {0, 230, 510, 700, 930, 1150, 1340, 1600, 1800, 2000});
    EXPECT_EQ(recording.unmatched, 0);
    EXPECT_EQ(recording.guessed, 0);
    expectStitchedPage(recording, page.fullPage());
}

} // namespace
} // namespace brisklet
