#include "Platform/Linux/FFmpeg/FrameRateGrid.h"
#include "Platform/Linux/X11/X11CursorImage.h"
#include "Platform/ScreenFrameStream.h"

#include <gtest/gtest.h>

namespace brisklet {
namespace {

using Placement = FrameRateGrid::Placement;

bool samePlacement(const Placement& a, const Placement& b) {
    return a.firstRepeat == b.firstRepeat && a.repeatEnd == b.repeatEnd && a.index == b.index;
}

TEST(FrameRateGridTest, LateFramesRepeatThePreviousOneAndEarlyOnesAreDropped) {
    FrameRateGrid grid(10, std::nullopt);
    EXPECT_TRUE(samePlacement(grid.place(100.0), {0, 0, 0}));
    EXPECT_TRUE(samePlacement(grid.place(100.102), {1, 1, 1})) << "a little jitter keeps the slot";
    // Two slots were missed: they show frame 1 again, and the late frame takes slot 4.
    EXPECT_TRUE(samePlacement(grid.place(100.41), {2, 4, 4}));
    // A burst of frames right after it never squeezes in extra slots.
    EXPECT_FALSE(grid.place(100.42).index.has_value());
    EXPECT_FALSE(grid.place(100.44).index.has_value());
    EXPECT_TRUE(samePlacement(grid.place(100.5), {5, 5, 5}));
    EXPECT_EQ(grid.frameCount(), 6);
    // Stopping at 100.83 fills every slot that had begun: 6, 7 and 8.
    EXPECT_TRUE(samePlacement(grid.finish(100.83), {6, 9, std::nullopt}));
}

TEST(FrameRateGridTest, KeepsToTheEarliestArrivalsSoJitterNeverCollides) {
    // The first picture came 20 ms late; the others arrive 0 to 15 ms after their slot.
    FrameRateGrid grid(30, std::nullopt);
    grid.place(10.020);
    const double delays[] = {0.002, 0.015, 0.0, 0.012, 0.004, 0.015, 0.001, 0.013};
    for (int i = 1; i <= 80; ++i) {
        const Placement placement = grid.place(10.0 + i / 30.0 + delays[i % 8]);
        ASSERT_TRUE(placement.index.has_value()) << "picture " << i << " was dropped";
        EXPECT_EQ(*placement.index, i);
        EXPECT_EQ(placement.firstRepeat, placement.repeatEnd) << "picture " << i << " needed repeats";
    }
    EXPECT_NEAR(grid.origin(), 10.0, 0.001);
}

TEST(FrameRateGridTest, APictureLessThanAFrameLateKeepsTheNextSlotAndTheOneAfterIsNotDropped) {
    FrameRateGrid grid(10, std::nullopt);
    grid.place(0.0);
    grid.place(0.1);
    // Held up by 80 ms: nearest to slot 3, but slot 2 is free and it is less than a frame late.
    EXPECT_TRUE(samePlacement(grid.place(0.28), {2, 2, 2}));
    EXPECT_TRUE(samePlacement(grid.place(0.3), {3, 3, 3})) << "the on-time picture after it keeps its slot";
    // A whole frame late is a gap: the missed slot repeats the previous picture.
    EXPECT_TRUE(samePlacement(grid.place(0.5), {4, 5, 5}));
}

TEST(FrameRateGridTest, HeldTimeLeavesNoGapAndTheLimitCapsTheFile) {
    FrameRateGrid grid(10, 8);
    grid.place(0.0);
    grid.place(0.1);
    grid.pause(0.15);
    EXPECT_FALSE(grid.place(0.2).index.has_value()) << "nothing is recorded while held";
    grid.resume(5.15);
    EXPECT_NEAR(grid.heldSeconds(), 5.0, 1e-9);
    EXPECT_TRUE(samePlacement(grid.place(5.2), {2, 2, 2})) << "the timeline goes on where it was held";
    // Far past the limit: the file ends at 8 frames, repeating up to the last one.
    EXPECT_TRUE(samePlacement(grid.place(9.0), {3, 7, 7}));
    EXPECT_TRUE(grid.isFull());
    EXPECT_FALSE(grid.place(9.1).index.has_value());
    EXPECT_TRUE(samePlacement(grid.finish(20.0), {8, 8, std::nullopt}));
    EXPECT_DOUBLE_EQ(grid.duration(), 0.8);
}

TEST(X11CursorImageTest, DrawsThePointerBlendedAndClippedToTheFrame) {
    Image frame(4, 4);
    frame.fill(0, 0, 0);
    auto pointer = std::make_shared<Image>(2, 2);
    pointer->setPixel(0, 0, 255, 255, 255, 255);
    pointer->setPixel(1, 0, 255, 255, 255, 128);
    pointer->setPixel(0, 1, 255, 0, 0, 0);
    pointer->setPixel(1, 1, 255, 255, 255, 255);
    // The frame starts at root (10, 20); the pointer's image hangs one pixel off its right edge.
    X11CursorImage::draw(frame, {13, 21, pointer}, 10, 20);
    EXPECT_EQ(frame.row(1)[3 * 4], 255) << "opaque pixels replace the picture";
    EXPECT_EQ(frame.row(2)[3 * 4], 0) << "transparent pixels leave it";
    EXPECT_EQ(frame.row(0)[3 * 4], 0) << "nothing above the pointer changes";
    Image again(4, 4);
    again.fill(0, 0, 0);
    X11CursorImage::draw(again, {12, 21, pointer}, 10, 20);
    EXPECT_EQ(again.row(1)[3 * 4], 128) << "half-transparent pixels blend";
}

TEST(X11CursorImageTest, OnGrabbedPixelsInTheScreensOrderRedGoesToTheThirdByte) {
    std::vector<std::uint8_t> memory(2 * 1 * 4, 0);
    ScreenPixels pixels{memory.data(), 2, 1, 8, true};
    auto pointer = std::make_shared<Image>(1, 1);
    pointer->setPixel(0, 0, 200, 100, 10, 255);
    X11CursorImage::draw(pixels, {1, 0, pointer}, 0, 0);
    EXPECT_EQ(memory, (std::vector<std::uint8_t>{0, 0, 0, 0, 10, 100, 200, 255}));
}

} // namespace
} // namespace brisklet
