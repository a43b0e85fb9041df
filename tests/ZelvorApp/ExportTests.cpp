#include "ZelvorApp/Export/AppClipboardWriteTracker.h"
#include "ZelvorApp/Export/ExportService.h"
#include "ZelvorApp/Export/ScreenshotCopyPersistenceCoordinator.h"

#include "Platform/Fake/InMemoryPasteboard.h"
#include "Platform/Fake/ManualClock.h"
#include "Platform/Fake/ManualMainQueue.h"
#include "Platform/Fake/ManualSerialQueue.h"
#include "Platform/Fake/TemporaryPaths.h"
#include "Platform/Linux/Codec/LinuxImageCodec.h"

#include <gtest/gtest.h>

namespace brisklet {
namespace {

TEST(ExportServiceTest, EveryOwnWriteIsRegisteredWithTheTracker) {
    InMemoryPasteboard pasteboard;
    AppClipboardWriteTracker tracker;
    ExportService service(pasteboard, tracker);

    service.copyTextToPasteboard("hello");
    const auto textChange = pasteboard.changeCount();
    service.copyFileToPasteboard("/tmp/shot.png");
    EXPECT_EQ(pasteboard.fileURL(), std::filesystem::path("/tmp/shot.png"));
    EXPECT_FALSE(pasteboard.readText()) << "each copy clears what was there";
    service.copyImageToPasteboard(Image(2, 2));
    const auto imageChange = pasteboard.changeCount();

    EXPECT_EQ(tracker.consume(textChange), AppClipboardWriteTracker::Policy::ignore);
    EXPECT_EQ(tracker.consume(imageChange), AppClipboardWriteTracker::Policy::ignore);
    EXPECT_FALSE(tracker.consume(imageChange)) << "an entry is consumed once";

    pasteboard.simulateExternalCopy("someone else");
    EXPECT_FALSE(tracker.consume(pasteboard.changeCount()));
}

class CopyPersistenceTest : public ::testing::Test {
protected:
    ManualClock clock;
    ManualMainQueue mainQueue{clock};
    LinuxImageCodec codec;
    TemporaryPaths paths;
    ManualSerialQueue* worker = nullptr;
    std::unique_ptr<ScreenshotCopyPersistenceCoordinator> coordinator;

    void SetUp() override {
        auto queue = std::make_unique<ManualSerialQueue>(ScreenshotCopyPersistenceCoordinator::queueLabel);
        worker = queue.get();
        coordinator = std::make_unique<ScreenshotCopyPersistenceCoordinator>(std::move(queue), mainQueue, codec, clock);
    }

    static Image sample() {
        Image image(4, 3);
        image.fill(200, 100, 50);
        return image;
    }
};

TEST_F(CopyPersistenceTest, WritesThePngAndCompletesOnTheMainQueue) {
    const auto file = paths.root() / "copy.png";
    std::optional<Status<ScreenshotEditorError>> result;
    coordinator->persist(sample(), file, [&](Status<ScreenshotEditorError> status, std::int64_t encodeMs) {
        EXPECT_GE(encodeMs, 0);
        result = status;
    });
    EXPECT_EQ(coordinator->pendingWrites(), 1);
    worker->runPending();
    EXPECT_FALSE(result) << "the completion waits for the main queue";
    EXPECT_TRUE(coordinator->flushPendingWrites(5.0));
    ASSERT_TRUE(result);
    EXPECT_TRUE(result->ok());
    EXPECT_EQ(codec.readFile(file).value(), sample());
}

TEST_F(CopyPersistenceTest, UnwritableDestinationIsReportedAsEncodeFailed) {
    std::optional<Status<ScreenshotEditorError>> result;
    coordinator->persist(sample(), paths.root() / "missing-dir" / "copy.png",
                         [&](Status<ScreenshotEditorError> status, std::int64_t) { result = status; });
    worker->runPending();
    mainQueue.drain();
    ASSERT_TRUE(result);
    ASSERT_FALSE(result->ok());
    EXPECT_EQ(result->error(), ScreenshotEditorError::encodeFailed);
}

TEST_F(CopyPersistenceTest, FlushWithNothingPendingReturnsAtOnce) {
    const double before = clock.monotonicSeconds();
    EXPECT_TRUE(coordinator->flushPendingWrites(5.0));
    EXPECT_EQ(clock.monotonicSeconds(), before);
}

TEST_F(CopyPersistenceTest, FlushGivesUpAfterTheTimeoutWhileTheMainLoopKeepsRunning) {
    coordinator->persist(sample(), paths.root() / "never.png", {});
    int ticks = 0;
    std::function<void()> tick = [&] {
        ++ticks;
        mainQueue.postAfter(0.5, tick);
    };
    mainQueue.post(tick);

    const double before = clock.monotonicSeconds();
    EXPECT_FALSE(coordinator->flushPendingWrites(5.0)); // the worker never runs: the write never finishes
    EXPECT_NEAR(clock.monotonicSeconds() - before, 5.0, 0.011);
    EXPECT_GE(ticks, 10) << "main-queue work went on during the wait";
    EXPECT_EQ(coordinator->pendingWrites(), 1);
}

} // namespace
} // namespace brisklet
