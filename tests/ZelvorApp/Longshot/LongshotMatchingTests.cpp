#include "SyntheticPage.h"

#include "Platform/Fake/ScriptedScrollingPage.h"
#include "ZelvorApp/Longshot/LongshotFixedBarConsensus.h"
#include "ZelvorApp/Longshot/LongshotFixedBarDetector.h"
#include "ZelvorApp/Longshot/LongshotFrameChangeDetector.h"
#include "ZelvorApp/Longshot/LongshotPixelOverlapMatcher.h"

#include <cmath>
#include <gtest/gtest.h>

namespace brisklet {
namespace {

using namespace testing_support;
using Matcher = LongshotPixelOverlapMatcher;
using Direction = Matcher::Direction;
using Detector = LongshotFixedBarDetector;

Image verticalGradient(int width, int height, int offset) {
    Image image(width, height);
    for (int y = 0; y < height; ++y) {
        const auto level = static_cast<std::uint8_t>(40 + ((y + offset) / 4) % 200);
        for (int x = 0; x < width; ++x) {
            image.setPixel(x, y, level, level, level);
        }
    }
    return image;
}

Image noisePage(int width, int height, std::uint32_t seed) {
    Image image(width, height);
    std::uint32_t state = seed;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            state = state * 1664525u + 1013904223u;
            const auto level = static_cast<std::uint8_t>(state >> 24);
            image.setPixel(x, y, level, static_cast<std::uint8_t>(level / 2 + 60),
                           static_cast<std::uint8_t>(255 - level));
        }
    }
    return image;
}

// --- change detection -----------------------------------------------------------------------

TEST(LongshotFrameChangeDetectorTest, IdenticalAndBarelyChangedFramesAreNotMeaningfulScrolledOnesAre) {
    const Image page = makeTextPage(640, 2000, 3);
    const Image frame = rowsOf(page, 100, 400);
    EXPECT_FALSE(LongshotFrameChangeDetector::hasMeaningfulChange(frame, frame));

    Image blinkingCaret = frame;
    for (int y = 200; y < 212; ++y) {
        blinkingCaret.setPixel(300, y, 0, 0, 0);
        blinkingCaret.setPixel(301, y, 0, 0, 0);
    }
    EXPECT_FALSE(LongshotFrameChangeDetector::hasMeaningfulChange(frame, blinkingCaret));
    EXPECT_TRUE(LongshotFrameChangeDetector::hasMeaningfulChange(frame, rowsOf(page, 160, 400)));
}

TEST(LongshotFrameChangeDetectorTest, UnusableOrMismatchedFramesCountAsChanged) {
    const Image page = makeTextPage(320, 600, 4);
    EXPECT_TRUE(LongshotFrameChangeDetector::hasMeaningfulChange(rowsOf(page, 0, 200), rowsOf(page, 0, 260)));
    EXPECT_TRUE(LongshotFrameChangeDetector::hasMeaningfulChange(Image{}, rowsOf(page, 0, 200)));
}

// --- texture and band difference ------------------------------------------------------------

TEST(LongshotPixelOverlapMatcherTest, TextureNeedsAVisibleStepToTheLeftOrAbove) {
    // Two rows of three pixels: flat grey, then a step of 7 in green at x = 2 of the second row.
    std::vector<std::uint8_t> bytes(2 * 3 * 4, 100);
    const std::size_t stride = 3 * 4;
    EXPECT_FALSE(Matcher::isTextured(bytes.data(), stride + 4, stride));
    bytes[stride + 8 + 1] = 107;
    EXPECT_TRUE(Matcher::isTextured(bytes.data(), stride + 8, stride));
    bytes[stride + 8 + 1] = 106; // a step of 6 is still flat
    EXPECT_FALSE(Matcher::isTextured(bytes.data(), stride + 8, stride));
}

TEST(LongshotPixelOverlapMatcherTest, TextureTestNeverLooksAboveTheFirstRowOrLeftOfTheFirstColumn) {
    // The bytes before the image are very different: reading them would call every pixel textured.
    std::vector<std::uint8_t> memory(2 * 12, 0);
    std::fill(memory.begin() + 12, memory.end(), 200);
    const std::uint8_t* image = memory.data() + 12; // one row of three pixels
    EXPECT_FALSE(Matcher::isTextured(image, 4, 12)) << "first row: no pixel above";
    EXPECT_FALSE(Matcher::isTextured(image, 0, 12)) << "first pixel: no neighbours at all";
}

TEST(LongshotPixelOverlapMatcherTest, BandDifferenceCountsOnlyMovingTexturedPixels) {
    const Image page = makeTextPage(128, 600, 5);
    const auto previous = *LongshotSampledImage::make(rowsOf(page, 0, 200), 128);
    const auto current = *LongshotSampledImage::make(rowsOf(page, 30, 200), 128);

    const auto exact = Matcher::difference(previous, current, 0, 200, 0, 128, 30, true, 2);
    EXPECT_GT(exact.samples, 100);
    EXPECT_DOUBLE_EQ(exact.value, 0.0);
    const auto wrong = Matcher::difference(previous, current, 0, 200, 0, 128, 20, true, 2);
    EXPECT_GT(wrong.value, 0.01);
    const auto backwards = Matcher::difference(previous, current, 0, 200, 0, 128, 30, false, 2);
    EXPECT_GT(backwards.value, 0.01);

    const auto still = Matcher::difference(previous, previous, 0, 200, 0, 128, 30, true, 2);
    EXPECT_EQ(still.samples, 0) << "identical frames have no moving content";
    EXPECT_DOUBLE_EQ(still.value, 1.0);
    const auto empty = Matcher::difference(previous, current, 150, 180, 0, 128, 30, true, 2);
    EXPECT_EQ(empty.samples, 0);
    EXPECT_DOUBLE_EQ(empty.value, 1.0);
}

// --- the matcher ------------------------------------------------------------------------------

TEST(LongshotPixelOverlapMatcherTest, FindsTheScrollWithinTheFineSampleResolution) {
    const Image page = makeTextPage(960, 3000, 6);
    const Image previous = rowsOf(page, 400, 600);
    const Image current = rowsOf(page, 400 + 257, 600);
    Matcher::Request request;
    request.minimumShift = 24;
    const auto match = Matcher::match(previous, current, request);
    ASSERT_TRUE(match);
    EXPECT_EQ(match->direction, Direction::forward);
    EXPECT_NEAR(match->shift, 257, 960.0 / 384.0); // one fine row
    EXPECT_GE(match->confidence, Matcher::acceptanceLimit);
}

TEST(LongshotPixelOverlapMatcherTest, AShiftNearTheRegistrationsEstimateTakesItsExactValue) {
    const Image page = makeTextPage(960, 3000, 7);
    const Image previous = rowsOf(page, 0, 600);
    const Image current = rowsOf(page, 330, 600);
    Matcher::Request request;
    request.minimumShift = 24;
    request.preferredShift = 333.0;
    request.expectedShift = 330.0;
    const auto match = Matcher::match(previous, current, request);
    ASSERT_TRUE(match);
    EXPECT_DOUBLE_EQ(match->shift, 333.0);

    request.preferredShift = 300.0; // far off: the matcher's own answer stands
    const auto own = Matcher::match(previous, current, request);
    ASSERT_TRUE(own);
    EXPECT_NEAR(own->shift, 330, 960.0 / 384.0);
}

TEST(LongshotPixelOverlapMatcherTest, AForwardOnlyRequestNeverReturnsAReverseMatch) {
    const Image page = makeTextPage(640, 2400, 8);
    const Image previous = rowsOf(page, 600, 500);
    const Image current = rowsOf(page, 400, 500); // content moved down: the page scrolled back
    Matcher::Request request;
    request.minimumShift = 24;
    const auto any = Matcher::match(previous, current, request);
    ASSERT_TRUE(any);
    EXPECT_EQ(any->direction, Direction::reverse);
    EXPECT_NEAR(any->shift, 200, 640.0 / 384.0);

    request.allowedDirection = Direction::forward;
    const auto forward = Matcher::match(previous, current, request);
    EXPECT_TRUE(!forward || forward->direction == Direction::forward);
}

TEST(LongshotPixelOverlapMatcherTest, MovementOnlyInAnExcludedHeaderGivesNoMatch) {
    const Image page = makeTextPage(640, 1200, 9);
    const Image previous = rowsOf(page, 0, 500);
    Image current = previous;
    for (int y = 0; y < 50; ++y) { // the top 10 % animates
        for (int x = 0; x < 640; ++x) {
            current.setPixel(x, y, static_cast<std::uint8_t>(x * 7 + y * 3), static_cast<std::uint8_t>(y * 5), 90);
        }
    }
    Matcher::Request request;
    request.minimumShift = 24;
    request.exclusions.top = 50;
    EXPECT_FALSE(Matcher::match(previous, current, request));
}

TEST(LongshotPixelOverlapMatcherTest, AnUntexturedPageHasNoCandidates) {
    const Image previous = verticalGradient(640, 480, 0);
    const Image current = verticalGradient(640, 480, 120);
    Matcher::Request request;
    request.minimumShift = 24;
    const auto coarse = *LongshotSampledImage::make(previous, 128);
    EXPECT_TRUE(Matcher::coarseCandidates(coarse, *LongshotSampledImage::make(current, 128), request).empty());
    EXPECT_FALSE(Matcher::match(previous, current, request));
}

TEST(LongshotPixelOverlapMatcherTest, FramesOf300RowsSearchUpTo234RowsAndKeep12RowsOfOverlap) {
    const Image page = makeTextPage(128, 1200, 10);
    const auto previous = *LongshotSampledImage::make(rowsOf(page, 0, 300), 128);
    const auto current = *LongshotSampledImage::make(rowsOf(page, 100, 300), 128);
    Matcher::Request request;
    request.minimumShift = 24;
    request.maximumShift = 0.78 * 300;
    const auto capped = Matcher::coarseCandidates(previous, current, request);
    ASSERT_FALSE(capped.empty());
    EXPECT_EQ(capped.front().shift, 24);
    EXPECT_EQ(capped.back().shift, 234);

    request.maximumShift.reset();
    const auto uncapped = Matcher::coarseCandidates(previous, current, request);
    EXPECT_LE(uncapped.back().shift, 300 - 12);
    EXPECT_GT(uncapped.back().shift, 234);
}

TEST(LongshotPixelOverlapMatcherTest, TheExpectedStepPicksTheRightPeriodOfRepeatedRows) {
    Image page = makeTextPage(640, 2400, 11);
    repeatBlock(page, 0, 64, 36); // nothing but one 64-row entry, repeated
    const Image previous = rowsOf(page, 0, 500);
    const Image current = rowsOf(page, 200, 500); // three entries and 8 rows further
    Matcher::Request request;
    request.minimumShift = 24;
    request.allowedDirection = Direction::forward;
    const auto ambiguous = Matcher::match(previous, current, request);
    ASSERT_TRUE(ambiguous);
    const int remainder = (static_cast<int>(std::lround(ambiguous->shift)) - 200 + 640) % 64;
    EXPECT_TRUE(remainder <= 2 || remainder >= 62) << "some whole number of entries: " << ambiguous->shift;

    request.expectedShift = 200;
    const auto match = Matcher::match(previous, current, request);
    ASSERT_TRUE(match);
    EXPECT_NEAR(match->shift, 200, 640.0 / 384.0);
}

TEST(LongshotPixelOverlapMatcherTest, SeedsAreTheBestCandidatesApartPlusTheOneNearestThePreferredShift) {
    std::vector<Matcher::Candidate> candidates;
    for (int shift = 10; shift < 40; ++shift) {
        candidates.push_back({shift, 0.5 - shift * 0.01, 100, Direction::forward}); // larger shifts look better
    }
    const auto seeds = Matcher::seeds(candidates, 10.0, 1.0);
    ASSERT_EQ(seeds.size(), 9u);
    EXPECT_EQ(seeds[0].shift, 39);
    EXPECT_EQ(seeds[1].shift, 36) << "neighbours within two rows of a seed are skipped";
    EXPECT_EQ(seeds[7].shift, 18);
    EXPECT_EQ(seeds[8].shift, 10) << "the candidate nearest the preferred shift comes last";

    const auto near = Matcher::seeds(candidates, 37.0, 1.0);
    EXPECT_EQ(near.size(), 8u) << "the preferred shift already lies within two rows of a seed";
    EXPECT_TRUE(Matcher::seeds({}, 10.0, 1.0).empty());
}

// --- fixed bars -------------------------------------------------------------------------------

TEST(LongshotFixedBarDetectorTest, StableEdgeLengthFindsTheBarAndToleratesShortDisturbances) {
    const double s = 0.0; // stable
    const double u = 1.0; // unstable
    const auto padded = [&](std::vector<double> head) {
        head.resize(20, u);
        return head;
    };
    EXPECT_EQ(Detector::stableEdgeLength(padded({s, s, s, s, s}), 0.5, true, 0.5), 5);
    EXPECT_EQ(Detector::stableEdgeLength(padded({u, s, s, s, s}), 0.5, true, 0.5), 5) << "edge noise is skipped";
    EXPECT_EQ(Detector::stableEdgeLength(padded({u, u, s, s, s}), 0.5, true, 0.5), 0) << "noise reaching the tolerance";
    EXPECT_EQ(Detector::stableEdgeLength(padded({s, s, u, s, s, s}), 0.5, true, 0.5), 0)
        << "no bar before the tolerance";
    EXPECT_EQ(Detector::stableEdgeLength(padded({s, s, s, s, u, u, s, s}), 0.5, true, 0.75), 8)
        << "two unstable values inside an established bar are tolerated";
    EXPECT_EQ(Detector::stableEdgeLength(std::vector<double>(20, s), 0.5, true, 0.25), 5) << "capped at the maximum";
    EXPECT_EQ(Detector::stableEdgeLength(std::vector<double>(20, u), 0.5, true, 0.25), 0);
    EXPECT_EQ(Detector::stableEdgeLength({}, 0.5, true, 0.25), 0);

    auto fromEnd = padded({s, s, s, s});
    std::reverse(fromEnd.begin(), fromEnd.end());
    EXPECT_EQ(Detector::stableEdgeLength(fromEnd, 0.5, false, 0.5), 4);

    std::vector<double> tall(400, u); // 400 values: runs of 4 are required
    std::fill(tall.begin(), tall.begin() + 50, s);
    tall[20] = tall[21] = tall[22] = u;
    EXPECT_EQ(Detector::stableEdgeLength(tall, 0.5, true, 0.25), 50);
}

TEST(LongshotFixedBarDetectorTest, SmoothingAveragesNeighboursAndShortensAtTheEnds) {
    EXPECT_EQ(Detector::smoothed({0, 3, 6, 9}), (std::vector<double>{1.5, 3, 6, 7.5}));
    EXPECT_EQ(Detector::smoothed({4}), std::vector<double>{4});
}

TEST(LongshotFixedBarDetectorTest, DetectsAStickyHeaderAndFooterOfAScrolledPage) {
    const Image page = makeTextPage(800, 3000, 12);
    const Image header = makeBar(800, 60, 40, 70, 140, 1);
    const Image footer = makeBar(800, 48, 60, 60, 60, 2);
    const auto frameAt = [&](int offset) { return stacked(stacked(header, rowsOf(page, offset, 392)), footer); };
    const Image previous = frameAt(100);
    const Image current = frameAt(330);

    const double sampledRow = 500.0 / 80.0;
    const auto bars = Detector::detect(previous, current, LongshotCropOptions::automatic());
    EXPECT_GE(bars.top, 60 - sampledRow);
    EXPECT_LE(bars.top, 60 + sampledRow);
    EXPECT_GE(bars.bottom, 48 - sampledRow);
    EXPECT_LE(bars.bottom, 48 + sampledRow);

    const auto kept = Detector::detect(previous, current, LongshotCropOptions{false, false});
    EXPECT_EQ(kept.top, 0) << "a header that is not to be ignored is never reported";
    EXPECT_EQ(kept.bottom, 0);
}

TEST(LongshotFixedBarDetectorTest, ReportsNothingWhenTheMiddleOfThePageBarelyChanged) {
    const Image page = makeTextPage(800, 1200, 13);
    const Image header = makeBar(800, 60, 40, 70, 140, 1);
    const Image previous = stacked(header, rowsOf(page, 0, 440));
    Image current = previous;
    for (int y = 60; y < 500; y += 40) { // a few scattered changes only
        for (int x = 100; x < 140; ++x) {
            current.setPixel(x, y, 0, 0, 0);
        }
    }
    EXPECT_EQ(Detector::detect(previous, current, LongshotCropOptions::automatic()), Detector::Exclusions{});
}

TEST(LongshotFixedBarDetectorTest, BarsThinnerThanEightPixelsAreNoise) {
    // 128 pixels wide, so one sampled row is one source row; noise, so every content row moves.
    const Image page = noisePage(128, 1200, 14);
    const auto withBar = [&](int barHeight, int offset) {
        return stacked(makeBar(128, barHeight, 200, 40, 40, 3), rowsOf(page, offset, 300 - barHeight));
    };
    EXPECT_EQ(Detector::detect(withBar(7, 0), withBar(7, 90), LongshotCropOptions::automatic()).top, 0);
    const int nine = Detector::detect(withBar(12, 0), withBar(12, 90), LongshotCropOptions::automatic()).top;
    EXPECT_GE(nine, 10);
    EXPECT_LE(nine, 13);
}

TEST(LongshotFixedBarDetectorTest, FindsAFixedSideBarWhateverTheCropOptions) {
    const Image page = makeTextPage(800, 3000, 15);
    const Image sideBar = makeBar(120, 500, 50, 50, 80, 4);
    const auto frameAt = [&](int offset) {
        Image frame = rowsOf(page, offset, 500);
        for (int y = 0; y < 500; ++y) {
            std::copy(sideBar.row(y), sideBar.row(y) + sideBar.bytesPerRow(), frame.row(y));
        }
        return frame;
    };
    const auto bars = Detector::detect(frameAt(0), frameAt(250), LongshotCropOptions{false, false});
    const double sampledColumn = 800.0 / 128.0;
    EXPECT_GE(bars.left, 120 - 2 * sampledColumn);
    EXPECT_LE(bars.left, 120 + sampledColumn);
    EXPECT_EQ(bars.top, 0);
}

// --- consensus --------------------------------------------------------------------------------

AcceptedLongshotFrame frameWithBars(int header, int footer, int left = 0) {
    LongshotOverlapMatch match;
    match.headerExclusionHeight = header;
    match.footerExclusionHeight = footer;
    match.leftExclusionWidth = left;
    return {std::make_shared<const Image>(4, 4), match};
}

TEST(LongshotFixedBarDetectorTest, BarsMeasuredAtTheShiftAreExactEvenWhereAPartOfThemAnimates) {
    // A clock in the header and a progress bar along the footer change between the frames.
    ScriptedScrollingPage page(makeTextPage(640, 1600, 81), 420, makeBar(640, 50, 30, 90, 60, 82),
                               makeBar(640, 36, 90, 90, 90, 83));
    page.setAnimatedArea(ScriptedScrollingPage::AnimatedArea{560, 10, 60, 28});
    page.setOffset(100);
    Image previous = page.frame();
    page.setOffset(310);
    Image current = page.frame();
    for (int x = 0; x < 200; ++x) {
        current.row(420 - 3)[x * 4] = 255; // the footer's progress bar grew
    }
    EXPECT_EQ(Detector::measureAtShift(previous, current, 210), (Detector::Exclusions{50, 36, 0, 0}));
    EXPECT_EQ(Detector::measureAtShift(previous, current, 0), Detector::Exclusions{});
}

TEST(LongshotFixedBarDetectorTest, BlankPageBelowABarThatLooksTheSameEitherWayIsNotTheBar) {
    Image content = makeTextPage(640, 1600, 84);
    blankRows(content, 100, 90); // under the header in both frames: the same whether fixed or moved
    blankRows(content, 300, 90);
    ScriptedScrollingPage page(content, 420, makeBar(640, 50, 30, 90, 60, 85), makeBar(640, 36, 90, 90, 90, 86));
    page.setOffset(100);
    const Image previous = page.frame();
    page.setOffset(300);
    EXPECT_EQ(Detector::measureAtShift(previous, page.frame(), 200).top, 50);
}

TEST(LongshotFixedBarConsensusTest, ABarNeedsAMajorityAndTakesTheUpperQuartile) {
    EXPECT_EQ(LongshotFixedBarConsensus::representative({0, 0, 0, 0, 60}), 0) << "one of five";
    EXPECT_EQ(LongshotFixedBarConsensus::representative({60, 0, 64, 0, 58}), 64) << "three of five";
    EXPECT_EQ(LongshotFixedBarConsensus::representative({50, 52, 60, 61, 0, 0, 0, 0}), 61);
    EXPECT_EQ(LongshotFixedBarConsensus::representative({}), 0);
    EXPECT_EQ(LongshotFixedBarConsensus::representative({60, 0}), 0);
    EXPECT_EQ(LongshotFixedBarConsensus::representative({60, 62}), 62);
}

TEST(LongshotFixedBarConsensusTest, ASingleMatchedPairDecidesATwoFrameRecording) {
    EXPECT_EQ(LongshotFixedBarConsensus::representative({60}), 60);
    const std::vector<AcceptedLongshotFrame> frames{{std::make_shared<const Image>(4, 4), std::nullopt},
                                                    frameWithBars(60, 40)};
    const auto bars = LongshotFixedBarConsensus::resolve(frames, LongshotCropOptions::automatic());
    EXPECT_EQ(bars.top, 60);
    EXPECT_EQ(bars.bottom, 40);
}

TEST(LongshotFixedBarConsensusTest, CropOptionsDecideHeaderAndFooterButNotSideBars) {
    const std::vector<AcceptedLongshotFrame> frames{{std::make_shared<const Image>(4, 4), std::nullopt},
                                                    frameWithBars(60, 40, 100),
                                                    frameWithBars(62, 40, 100),
                                                    frameWithBars(0, 0, 100)};
    const auto automatic = LongshotFixedBarConsensus::resolve(frames, LongshotCropOptions::automatic());
    EXPECT_EQ(automatic, (Detector::Exclusions{62, 40, 100, 0}));
    const auto kept = LongshotFixedBarConsensus::resolve(frames, LongshotCropOptions{false, false});
    EXPECT_EQ(kept, (Detector::Exclusions{0, 0, 100, 0}));
}

} // namespace
} // namespace brisklet
