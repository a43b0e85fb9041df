#include "ZelvorApp/Recording/GIFFrameTiming.h"
#include "ZelvorApp/Recording/GIFPerformancePolicy.h"

#include <gtest/gtest.h>

namespace brisklet {
namespace {

std::shared_ptr<const Image> solid(std::uint8_t r, int w = 2, int h = 2) {
    Image image(w, h);
    image.fill(r, 0, 0);
    return std::make_shared<const Image>(std::move(image));
}

TEST(GIFPerformancePolicyTest, KeepsTheRequestedRateWhenTheGridFitsTheCap) {
    EXPECT_EQ(GIFPerformancePolicy::effectiveExportFPS(20, 15), 20); // delay 5/100, 300 frames
    EXPECT_EQ(GIFPerformancePolicy::effectiveExportFPS(1, 600), 1);
    EXPECT_EQ(GIFPerformancePolicy::effectiveExportFPS(60, 0), 60);
    EXPECT_EQ(GIFPerformancePolicy::effectiveExportFPS(0, 10), 1);
}

TEST(GIFPerformancePolicyTest, LowersTheRateUntilAtMost320FramesRemain) {
    EXPECT_EQ(GIFPerformancePolicy::effectiveExportFPS(30, 15), 22);
    EXPECT_EQ(GIFPerformancePolicy::effectiveExportFPS(60, 30), 10);
    EXPECT_EQ(GIFPerformancePolicy::effectiveExportFPS(30, 1000), 1); // even 2 fps is 2000 frames
    for (int fps : {5, 12, 25, 30, 50, 60}) {
        for (double duration : {3.0, 15.0, 16.1, 45.0, 120.0}) {
            const int effective = GIFPerformancePolicy::effectiveExportFPS(fps, duration);
            const auto frames = GIFFrameTiming::exportFrames({{solid(1), 0}}, effective, duration);
            EXPECT_LE(frames.size(), 320u) << fps << " fps, " << duration << " s";
            EXPECT_LE(effective, fps);
        }
    }
}

TEST(GIFPerformancePolicyTest, ConstrainsTheLongerSide) {
    using S = GIFPerformancePolicy::PixelSize;
    EXPECT_EQ(GIFPerformancePolicy::constrainedPixelSize(4000, 1000, 960), (S{960, 240}));
    EXPECT_EQ(GIFPerformancePolicy::constrainedPixelSize(1000, 4000, 1280), (S{320, 1280}));
    EXPECT_EQ(GIFPerformancePolicy::constrainedPixelSize(800, 600, 960), (S{800, 600}));
    EXPECT_EQ(GIFPerformancePolicy::constrainedPixelSize(0, -5, 960), (S{1, 1}));
    EXPECT_EQ(GIFPerformancePolicy::constrainedPixelSize(100000, 1, 1600), (S{1600, 1}));
}

TEST(GIFPerformancePolicyTest, DownscalingAveragesCoveredPixelsAndLeavesSmallImagesAlone) {
    Image stripes(4000, 1000);
    for (int y = 0; y < 1000; ++y) {
        for (int x = 0; x < 4000; ++x) {
            const std::uint8_t v = (x % 2 == 0) ? 255 : 0;
            stripes.setPixel(x, y, v, v, v);
        }
    }
    const Image small = GIFPerformancePolicy::downscaledImage(stripes, 960);
    ASSERT_EQ(small.width(), 960);
    ASSERT_EQ(small.height(), 240);
    // Alternating black and white columns average to mid grey, never to one of the extremes.
    const std::uint8_t* p = small.row(100) + 4 * 500;
    EXPECT_NEAR(p[0], 128, 30);
    EXPECT_EQ(p[3], 255);

    Image fits(10, 10);
    fits.setPixel(3, 4, 1, 2, 3);
    EXPECT_EQ(GIFPerformancePolicy::downscaledImage(fits, 960), fits);
}

TEST(GIFFrameTimingTest, DelayIsRoundedToHundredthsWithATwoHundredthsFloor) {
    EXPECT_EQ(GIFFrameTiming::delayHundredths(20), 5);
    EXPECT_EQ(GIFFrameTiming::delayHundredths(30), 3);
    EXPECT_EQ(GIFFrameTiming::delayHundredths(22), 5);
    EXPECT_EQ(GIFFrameTiming::delayHundredths(60), 2);
    EXPECT_EQ(GIFFrameTiming::delayHundredths(100), 2);
    EXPECT_EQ(GIFFrameTiming::delayHundredths(0), 100);
}

TEST(GIFFrameTimingTest, SampleAndHoldShowsTheLastFrameTakenByEachSlot) {
    const auto a = solid(1), b = solid(2), c = solid(3);
    // Given out of order: timing sorts by timestamp first.
    const auto frames = GIFFrameTiming::exportFrames({{c, 0.31}, {a, 0.0}, {b, 0.04}}, 10, 0.4);
    ASSERT_EQ(frames.size(), 4u);
    EXPECT_EQ(frames[0].frame.image, a);
    EXPECT_EQ(frames[1].frame.image, b);
    EXPECT_EQ(frames[2].frame.image, b);
    EXPECT_EQ(frames[3].frame.image, b); // 0.31 comes after the 0.3 slot
    for (std::size_t i = 0; i < frames.size(); ++i) {
        EXPECT_DOUBLE_EQ(frames[i].delay, 0.1);
        EXPECT_NEAR(frames[i].frame.timestamp, 0.1 * static_cast<double>(i), 1e-12);
    }
}

TEST(GIFFrameTimingTest, AFrameStampedExactlyOnASlotIsShownInIt) {
    const auto a = solid(1), b = solid(2);
    const auto frames = GIFFrameTiming::exportFrames({{a, 0.0}, {b, 0.3}}, 10, 0.5);
    ASSERT_EQ(frames.size(), 5u);
    EXPECT_EQ(frames[2].frame.image, a);
    EXPECT_EQ(frames[3].frame.image, b);
}

TEST(GIFFrameTimingTest, SlotsBeforeTheFirstFrameShowTheFirstFrame) {
    const auto a = solid(1), b = solid(2);
    const auto frames = GIFFrameTiming::exportFrames({{a, 0.25}, {b, 0.35}}, 10, 0.4);
    ASSERT_EQ(frames.size(), 4u);
    EXPECT_EQ(frames[0].frame.image, a);
    EXPECT_EQ(frames[2].frame.image, a);
    EXPECT_EQ(frames[3].frame.image, a);
}

TEST(GIFFrameTimingTest, ShortOrUnknownLengthsKeepEveryFrame) {
    const auto a = solid(1), b = solid(2);
    EXPECT_TRUE(GIFFrameTiming::exportFrames({}, 20, 3.0).empty());

    // Without a length every captured frame is written once.
    const auto all = GIFFrameTiming::exportFrames({{b, 0.5}, {a, 0.1}}, 20, std::nullopt);
    ASSERT_EQ(all.size(), 2u);
    EXPECT_EQ(all[0].frame.image, a);
    EXPECT_DOUBLE_EQ(all[0].delay, 0.05);

    // A length not longer than one delay also keeps the frames as they are.
    EXPECT_EQ(GIFFrameTiming::exportFrames({{a, 0}, {b, 0.01}}, 20, 0.05).size(), 2u);

    // Less than two slots: one frame, once.
    const auto single = GIFFrameTiming::exportFrames({{a, 0}, {b, 0.05}}, 10, 0.14);
    ASSERT_EQ(single.size(), 1u);
    EXPECT_EQ(single[0].frame.image, a);
}

TEST(GIFFrameTimingTest, TheGridCoversTheWholeRecordingAtTheNominalRate) {
    std::vector<CapturedGIFFrame> frames;
    // A stuttering capture: 7 frames over 15 seconds still plays for 15 seconds.
    for (double t : {0.0, 0.2, 3.0, 3.1, 9.0, 14.0, 14.9}) {
        frames.push_back({solid(static_cast<std::uint8_t>(t * 10)), t});
    }
    const auto out = GIFFrameTiming::exportFrames(frames, 20, 15.0);
    ASSERT_EQ(out.size(), 300u);
    double total = 0;
    for (const auto& f : out)
        total += f.delay;
    EXPECT_NEAR(total, 15.0, 1e-9);
    EXPECT_EQ(out[299].frame.image, frames[6].image);
    EXPECT_EQ(out[100].frame.image, frames[3].image); // 5.0 s holds the 3.1 s frame
}

} // namespace
} // namespace brisklet
