// The recorder fed by a frame stream: frames pushed by hand through a scripted stream, a manual
// clock and manual queues, so every hop between threads happens when the test says so.

#include "Platform/Fake/FakeGIFEncoder.h"
#include "Platform/Fake/InMemoryPasteboard.h"
#include "Platform/Fake/ManualClock.h"
#include "Platform/Fake/ManualMainQueue.h"
#include "Platform/Fake/ManualSerialQueue.h"
#include "Platform/Fake/ScriptedInputMonitor.h"
#include "Platform/Fake/ScriptedScreenCaptureBackend.h"
#include "Platform/Fake/ScriptedScreenFrameStream.h"
#include "Platform/Fake/TemporaryPaths.h"
#include "ZelvorApp/Export/AppClipboardWriteTracker.h"
#include "ZelvorApp/Export/ExportService.h"
#include "ZelvorApp/Infrastructure/RuntimeLogWriter.h"
#include "ZelvorApp/Infrastructure/RuntimeLogger.h"
#include "ZelvorApp/Recording/GIFRecorder.h"
#include "ZelvorApp/Recording/MouseTrackingService.h"
#include "support/CapturedLog.h"

#include <fstream>
#include <gtest/gtest.h>

namespace brisklet {
namespace {

using testing::CapturedLog;

Image solid(int width, int height, std::uint8_t red) {
    Image image(width, height);
    image.fill(red, 0, 0);
    return image;
}

class GIFStreamTest : public ::testing::Test {
protected:
    GIFRecorder::Session session(double maxDuration = 2, int fps = 10) {
        GIFRecorder::Session s;
        s.rect = Rect{{10, 20}, {40, 20}};
        s.mappingRect = s.rect;
        s.fps = fps;
        s.maxDuration = maxDuration;
        s.maxFramePixelDimension = 960;
        s.mouseOverlayOptions = {false, false};
        s.preferences.exportDirectory = (paths.root() / "exports").string();
        return s;
    }
    void start(GIFRecorder::Session s) {
        recorder.start(
            std::move(s), nullptr,
            [this](Result<GIFRecordingDraft, GIFRecorderError> r) { drafts.push_back(std::move(r)); }, nullptr);
    }
    /// Moves delivered frames through the main queue, the capture queue and back.
    void pump() {
        mainQueue.drain();
        captureQueue.runPending();
        mainQueue.drain();
    }
    /// Lets `seconds` of main-queue time pass, ticks included, then delivers `frame`.
    void deliverAfter(double seconds, Image frame) {
        mainQueue.runFor(seconds);
        EXPECT_TRUE(stream.deliver(std::move(frame)));
        pump();
    }

    ManualClock clock;
    ManualMainQueue mainQueue{clock};
    ManualSerialQueue captureQueue{"com.brisklet.brisklet.gif-capture"};
    ManualSerialQueue exportQueue{"com.brisklet.brisklet.gif-export"};
    ScriptedScreenCaptureBackend stills;
    ScriptedScreenFrameStream stream;
    InMemoryPasteboard pasteboard;
    AppClipboardWriteTracker tracker;
    ExportService exportService{pasteboard, tracker};
    ScriptedInputMonitor input;
    MouseTrackingService mouse{input, clock};
    FakeGIFEncoder encoder;
    TemporaryPaths paths;
    CapturedLog log;
    GIFRecorder recorder{
        {stills, exportService, mouse, encoder, mainQueue, captureQueue, exportQueue, clock, nullptr, &stream}};
    std::vector<Result<GIFRecordingDraft, GIFRecorderError>> drafts;
};

TEST_F(GIFStreamTest, StreamFramesAreStoredWithTheirRecordingTimeAndTheLimitEndsTheRecording) {
    auto s = session(1.0, 12);
    s.rect = Rect{{0, 0}, {4000, 1000}};
    start(s);
    ASSERT_TRUE(stream.isRunning());
    EXPECT_TRUE(recorder.isUsingStreamCapture());
    EXPECT_EQ(stream.configuration().rect, s.rect);
    EXPECT_EQ(stream.configuration().fps, 12);
    EXPECT_EQ(stream.configuration().maxPixelDimension, 960);

    deliverAfter(0.25, solid(960, 240, 1));
    // A stream that ignores the limit is still held to it.
    deliverAfter(0.25, solid(4000, 1000, 2));
    EXPECT_EQ(recorder.frameCount(), 2u);
    EXPECT_EQ(stills.captureCount(), 0); // ticks take no still captures while the stream runs
    EXPECT_TRUE(drafts.empty());

    mainQueue.runFor(0.6); // the first tick past the limit finishes
    ASSERT_EQ(drafts.size(), 1u);
    ASSERT_TRUE(drafts[0].ok());
    const auto& frames = drafts[0].value().frames;
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_NEAR(frames[0].timestamp, 0.25, 1e-6);
    EXPECT_NEAR(frames[1].timestamp, 0.5, 1e-6);
    EXPECT_EQ(frames[0].image->row(0)[0], 1);
    EXPECT_EQ(frames[1].image->width(), 960);
    EXPECT_EQ(frames[1].image->height(), 240);
    EXPECT_EQ(frames[1].image->row(5)[5 * 4], 2);
    EXPECT_FALSE(stream.isRunning());
}

TEST_F(GIFStreamTest, AStreamThatCannotStartFallsBackToStillCaptures) {
    stream.failNextStart("cannot open display :42");
    start(session(1.0));
    EXPECT_FALSE(recorder.isUsingStreamCapture());
    EXPECT_EQ(
        log.linesStartingWith("GIF stream capture unavailable, falling back error=cannot open display :42").size(), 1u);
    for (int i = 0; i < 3; ++i) {
        mainQueue.runFor(0.1);
        pump();
    }
    EXPECT_EQ(stills.captureCount(), 3);
    EXPECT_EQ(recorder.frameCount(), 3u);
}

TEST_F(GIFStreamTest, PauseStopsTheStreamAndResumeStartsItAgain) {
    start(session(5.0));
    deliverAfter(0.2, solid(40, 20, 1));
    mainQueue.runFor(0.1);
    EXPECT_TRUE(stream.deliver(solid(40, 20, 2))); // still on its way when the pause comes
    recorder.pause();
    EXPECT_FALSE(stream.isRunning());
    EXPECT_FALSE(stream.deliver(solid(40, 20, 3)));
    pump();
    mainQueue.runFor(10.0);
    EXPECT_EQ(recorder.frameCount(), 1u);

    recorder.resume();
    EXPECT_TRUE(stream.isRunning());
    EXPECT_EQ(stream.startCount(), 2);
    EXPECT_TRUE(recorder.isUsingStreamCapture());
    deliverAfter(0.1, solid(40, 20, 4));
    recorder.finish();
    ASSERT_EQ(drafts.size(), 1u);
    ASSERT_TRUE(drafts[0].ok());
    const auto& frames = drafts[0].value().frames;
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_EQ(frames[1].image->row(0)[0], 4);
    EXPECT_NEAR(frames[1].timestamp, 0.4, 1e-6); // the ten paused seconds are not counted
    EXPECT_EQ(stills.captureCount(), 0);
}

TEST_F(GIFStreamTest, FramesInFlightDuringCancelNeverReachTheNextRecording) {
    start(session(5.0));
    mainQueue.runFor(0.1);
    EXPECT_TRUE(stream.deliver(solid(40, 20, 1)));
    mainQueue.drain();                             // the first frame waits on the capture queue
    EXPECT_TRUE(stream.deliver(solid(40, 20, 2))); // the second waits on the main queue
    recorder.cancel();
    EXPECT_FALSE(stream.isRunning());

    start(session(5.0));
    pump();
    EXPECT_EQ(recorder.frameCount(), 0u);
    deliverAfter(0.1, solid(40, 20, 3));
    ASSERT_EQ(recorder.frameCount(), 1u);
    recorder.finish();
    ASSERT_EQ(drafts.size(), 1u);
    ASSERT_TRUE(drafts[0].ok());
    EXPECT_EQ(drafts[0].value().frames[0].image->row(0)[0], 3);
}

TEST_F(GIFStreamTest, AStreamThatEndsByItselfIsLoggedAndStillCapturesTakeOver) {
    start(session(5.0));
    deliverAfter(0.1, solid(40, 20, 1));
    stream.endByItself("captureFailed");
    EXPECT_EQ(log.linesStartingWith("GIF stream capture stopped error=captureFailed").size(), 1u);
    mainQueue.drain();
    EXPECT_FALSE(recorder.isUsingStreamCapture());
    mainQueue.runFor(0.1);
    pump();
    EXPECT_EQ(stills.captureCount(), 1);
    EXPECT_EQ(recorder.frameCount(), 2u);
    // Still captures go on after a pause: the stream is not tried again.
    recorder.pause();
    recorder.resume();
    EXPECT_EQ(stream.startCount(), 1);
}

TEST_F(GIFStreamTest, AnEndingNoticeOfAnEarlierStreamLeavesItsSuccessorRunning) {
    start(session(5.0));
    stream.endByItself("captureFailed");
    recorder.pause(); // the notice is still queued when the stream is replaced
    recorder.resume();
    ASSERT_TRUE(stream.isRunning());
    mainQueue.drain();
    EXPECT_TRUE(recorder.isUsingStreamCapture());
    EXPECT_TRUE(stream.isRunning());
}

TEST_F(GIFStreamTest, ABusyMainThreadCostsFramesNotMemory) {
    start(session(5.0));
    mainQueue.runFor(0.1);
    for (int i = 1; i <= 5; ++i)
        stream.deliver(solid(40, 20, static_cast<std::uint8_t>(i)));
    pump();
    EXPECT_EQ(recorder.frameCount(), static_cast<std::size_t>(GIFStreamFrameCapture::kQueueDepth));
    // Stored frames give their places back.
    deliverAfter(0.1, solid(40, 20, 9));
    EXPECT_EQ(recorder.frameCount(), static_cast<std::size_t>(GIFStreamFrameCapture::kQueueDepth) + 1);
}

} // namespace
} // namespace brisklet
