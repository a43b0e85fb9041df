#include "Platform/Fake/ManualClock.h"
#include "Platform/Fake/ManualMainQueue.h"
#include "ZelvorApp/Thumbnails/FloatingThumbnailDismissTimer.h"

#include <gtest/gtest.h>

#include <memory>

namespace brisklet {
namespace {

class FloatingThumbnailDismissTimerTest : public ::testing::Test {
protected:
    ManualClock clock;
    ManualMainQueue queue{clock};
    int expiries = 0;
    FloatingThumbnailDismissTimer timer{queue, clock, 10, [this] { ++expiries; }};
};

TEST_F(FloatingThumbnailDismissTimerTest, PausingKeepsWhatWasLeftAndTheTimerExpiresOnce) {
    timer.start();
    queue.runFor(4);
    timer.pause();
    EXPECT_TRUE(timer.isPaused());
    EXPECT_DOUBLE_EQ(timer.remaining(), 6);
    queue.runFor(30); // the first expiry still fires, but it is stale
    EXPECT_EQ(expiries, 0);
    timer.resume();
    queue.runFor(5.9);
    EXPECT_EQ(expiries, 0);
    queue.runFor(0.2);
    EXPECT_EQ(expiries, 1);
    EXPECT_FALSE(timer.isRunning());
    queue.runFor(60);
    EXPECT_EQ(expiries, 1);
}

TEST_F(FloatingThumbnailDismissTimerTest, PauseAndResumeOnlyActInTheRightState) {
    timer.pause(); // never started
    EXPECT_FALSE(timer.isPaused());
    timer.resume();
    queue.runFor(20);
    EXPECT_EQ(expiries, 0) << "resuming a timer that was not paused must not start it";

    timer.start();
    queue.runFor(2);
    timer.pause();
    queue.runFor(3);
    timer.pause(); // a second pause must not count the paused time
    EXPECT_DOUBLE_EQ(timer.remaining(), 8);
    timer.resume();
    timer.resume(); // a second resume must not schedule a second expiry
    queue.runFor(8.1);
    EXPECT_EQ(expiries, 1);
    queue.runFor(20);
    EXPECT_EQ(expiries, 1);
}

TEST_F(FloatingThumbnailDismissTimerTest, CancelAndRestartDiscardTheScheduledExpiry) {
    timer.start();
    queue.runFor(5);
    timer.cancel();
    queue.runFor(20);
    EXPECT_EQ(expiries, 0);

    timer.start();
    queue.runFor(5);
    timer.restart(3); // counts the new duration from now
    queue.runFor(2.9);
    EXPECT_EQ(expiries, 0);
    queue.runFor(0.2);
    EXPECT_EQ(expiries, 1);

    timer.start();
    timer.pause();
    timer.restart(7);
    EXPECT_TRUE(timer.isPaused()) << "a hovered card stays put when the delay changes";
    EXPECT_DOUBLE_EQ(timer.remaining(), 7);
    queue.runFor(30);
    EXPECT_EQ(expiries, 1);
}

TEST_F(FloatingThumbnailDismissTimerTest, AnExpiryOutlivingItsTimerDoesNothingAndAnExpiryMayDestroyIt) {
    int own = 0;
    auto destroyed = std::make_unique<FloatingThumbnailDismissTimer>(queue, clock, 1, [&] { ++own; });
    destroyed->start();
    destroyed.reset();
    queue.runFor(5);
    EXPECT_EQ(own, 0);

    std::unique_ptr<FloatingThumbnailDismissTimer> selfDestroying;
    selfDestroying = std::make_unique<FloatingThumbnailDismissTimer>(queue, clock, 1, [&] {
        ++own;
        selfDestroying.reset();
    });
    selfDestroying->start();
    queue.runFor(2);
    EXPECT_EQ(own, 1);
    EXPECT_EQ(selfDestroying, nullptr);
}

} // namespace
} // namespace brisklet
