#include "Platform/Fake/ManualClock.h"
#include "Platform/Fake/ManualMainQueue.h"
#include "Platform/Fake/ManualSerialQueue.h"
#include "Platform/Fake/ScriptedScreenRecorder.h"
#include "Platform/Fake/TemporaryPaths.h"
#include "ZelvorApp/Video/VideoStreamCapture.h"
#include "support/CapturedLog.h"

#include <gtest/gtest.h>

#include <optional>

namespace brisklet {
namespace {

namespace fs = std::filesystem;
using Outcome = VideoStreamCapture::Outcome;

class VideoStreamCaptureTest : public ::testing::Test {
protected:
    std::shared_ptr<VideoStreamCapture> makeCapture(RecordingOutputFormat format = RecordingOutputFormat::mp4) {
        VideoStreamCapture::Parameters parameters;
        parameters.rect = {{10.5, 20}, {300, 200.25}};
        parameters.format = format;
        parameters.quality = RecordingQuality::medium;
        parameters.audioMode = RecordingAudioMode::system;
        parameters.showsCursor = false;
        parameters.outputURL = output;
        return VideoStreamCapture::make(
            {recorder, stateQueue, timers}, parameters, [this] { ++startedCount; },
            [this](Outcome outcome) {
                ++resultCount;
                result.emplace(std::move(outcome));
            });
    }
    /// Runs the state queue and the timers that are due, as the real threads would.
    void settle() {
        do {
            timers.drain();
        } while (stateQueue.runPending() > 0);
    }
    void advance(double seconds) {
        timers.runFor(seconds);
        settle();
    }
    /// Started and recording.
    std::shared_ptr<VideoStreamCapture> recording() {
        auto capture = makeCapture();
        capture->start();
        settle();
        recorder.writeFile("frames");
        recorder.reportStarted();
        settle();
        return capture;
    }

    testing::CapturedLog log;
    TemporaryPaths paths;
    fs::path output = paths.root() / "recording.mp4";
    ManualClock clock;
    ManualMainQueue timers{clock};
    ManualSerialQueue stateQueue{VideoStreamCapture::kStateQueueLabel};
    ScriptedScreenRecorder recorder;
    std::optional<Outcome> result;
    int resultCount = 0;
    int startedCount = 0;
};

TEST_F(VideoStreamCaptureTest, StartHandsTheRecorderAnEvenSizedIntegralRegionAndItsOptions) {
    auto capture = makeCapture(RecordingOutputFormat::mov);
    capture->start();
    EXPECT_EQ(recorder.startCount, 0) << "nothing happens off the state queue";
    settle();
    ASSERT_EQ(recorder.startCount, 1);
    const ScreenRecordingConfiguration& configuration = recorder.configuration;
    EXPECT_EQ(configuration.rect, (Rect{{10, 20}, {301, 201}}));
    EXPECT_EQ(configuration.outputWidth, 300);
    EXPECT_EQ(configuration.outputHeight, 200);
    EXPECT_EQ(configuration.frameRate, 30);
    EXPECT_EQ(configuration.container, VideoContainer::quickTimeMovie);
    EXPECT_TRUE(configuration.capturesAudio);
    EXPECT_FALSE(configuration.showsCursor);
    EXPECT_EQ(configuration.outputURL, output);
    EXPECT_FALSE(log.linesStartingWith("Video recording start requested rect=").empty());
}

TEST_F(VideoStreamCaptureTest, RefusesWhatTheRecorderCannotWriteWithoutStartingIt) {
    recorder.containers = {VideoContainer::mpeg4};
    auto capture = makeCapture(RecordingOutputFormat::mov);
    capture->start();
    settle();
    EXPECT_EQ(recorder.startCount, 0);
    ASSERT_TRUE(result.has_value());
    EXPECT_EQ(result->error(), VideoRecorderError::exportFailed());
    EXPECT_EQ(log.linesStartingWith("Video recording output unavailable fileType=mov").size(), 1u);

    result.reset();
    auto empty = VideoStreamCapture::make({recorder, stateQueue, timers}, {}, {}, [this](Outcome o) { result = o; });
    empty->start();
    settle();
    ASSERT_TRUE(result.has_value());
    EXPECT_EQ(result->error(), VideoRecorderError::exportFailed());
    EXPECT_FALSE(log.linesStartingWith("Video recording start rejected invalid configuration rect=").empty());
}

TEST_F(VideoStreamCaptureTest, StopDeliversTheVerifiedFileOnceAndASecondStopIsHarmless) {
    auto capture = recording();
    EXPECT_EQ(startedCount, 1);
    capture->stop();
    capture->stop();
    settle();
    EXPECT_EQ(recorder.calls, (std::vector<std::string>{"start", "stop"}));
    EXPECT_FALSE(result.has_value()) << "the file is not complete before the recorder says so";
    recorder.reportFinished();
    settle();
    capture->stop();
    settle();
    ASSERT_EQ(resultCount, 1);
    ASSERT_TRUE(result->ok());
    EXPECT_EQ(result->value().url, output);
    EXPECT_EQ(log.linesStartingWith("Video recording output verified url=" + output.string() + " bytes=6").size(), 1u);
    EXPECT_EQ(recorder.calls.size(), 2u);
}

TEST_F(VideoStreamCaptureTest, StopBeforeTheStartCompletesEndsCleanlyOnceItHas) {
    auto capture = makeCapture();
    capture->start();
    capture->stop();
    settle();
    EXPECT_EQ(recorder.calls, (std::vector<std::string>{"start"})) << "the stop waits for the start";
    recorder.writeFile("x");
    recorder.reportStarted();
    settle();
    EXPECT_EQ(recorder.calls, (std::vector<std::string>{"start", "stop"}));
    recorder.reportFinished();
    settle();
    ASSERT_TRUE(result.has_value());
    EXPECT_TRUE(result->ok());
}

TEST_F(VideoStreamCaptureTest, AnEmptyOrMissingFileIsAnExportFailure) {
    auto capture = makeCapture();
    capture->start();
    settle();
    recorder.reportStarted();
    recorder.writeFile("");
    capture->stop();
    settle();
    recorder.reportFinished();
    settle();
    ASSERT_TRUE(result.has_value());
    EXPECT_EQ(result->error(), VideoRecorderError::exportFailed());
    EXPECT_EQ(log.linesStartingWith("Video recording output verification failed url=").size(), 1u);
}

TEST_F(VideoStreamCaptureTest, CancelDuringStartLeavesNoFileAndNoResult) {
    auto capture = makeCapture();
    capture->start();
    settle();
    bool cancelled = false;
    capture->cancel([&cancelled] { cancelled = true; });
    settle();
    EXPECT_FALSE(cancelled) << "the cancellation waits for the start";
    EXPECT_EQ(log.linesStartingWith("Video recording cancellation queued while capture is starting").size(), 1u);
    recorder.writeFile("partial");
    recorder.reportStarted();
    settle();
    EXPECT_EQ(recorder.calls, (std::vector<std::string>{"start", "abort"}));
    EXPECT_EQ(startedCount, 0) << "a cancelled recording never shows as started";
    recorder.reportFinished();
    settle();
    EXPECT_TRUE(cancelled);
    EXPECT_FALSE(fs::exists(output));
    EXPECT_FALSE(result.has_value());
    EXPECT_EQ(log.linesStartingWith("Video recording cancellation completing after capture start").size(), 1u);
}

TEST_F(VideoStreamCaptureTest, CancelWaitsAtMostThreeSecondsForTheRecorderAndResumesEveryWaiter) {
    auto capture = recording();
    int waiters = 0;
    capture->cancel([&waiters] { ++waiters; });
    capture->cancel([&waiters] { ++waiters; });
    settle();
    EXPECT_EQ(waiters, 0);
    advance(VideoStreamCapture::kCancellationWaitSeconds - 0.1);
    EXPECT_EQ(waiters, 0);
    advance(0.2);
    EXPECT_EQ(waiters, 2);
    EXPECT_FALSE(fs::exists(output));
    EXPECT_EQ(log.linesStartingWith("Video recording output finish wait timed out during teardown").size(), 1u);
    // The recorder's late word changes nothing, and a later caller is resumed at once.
    recorder.reportFinished();
    capture->cancel([&waiters] { ++waiters; });
    settle();
    EXPECT_EQ(waiters, 3);
    EXPECT_FALSE(result.has_value());
    EXPECT_EQ(log.linesStartingWith("Video recording cancellation finished").size(), 1u);
}

TEST_F(VideoStreamCaptureTest, TheFinishWatchdogFailsARecordingWhoseEncoderNeverFinishes) {
    auto capture = recording();
    capture->stop();
    settle();
    advance(VideoStreamCapture::kFinishWatchdogSeconds - 1);
    EXPECT_FALSE(result.has_value());
    advance(2);
    ASSERT_EQ(resultCount, 1);
    EXPECT_EQ(result->error(), VideoRecorderError::exportFailed());
    EXPECT_EQ(log.linesStartingWith("ScreenCaptureKit recording output finish timed out").size(), 1u);
    recorder.reportFinished();
    settle();
    EXPECT_EQ(resultCount, 1) << "a result is delivered at most once";
}

TEST_F(VideoStreamCaptureTest, AResultDisarmsTheWatchdog) {
    auto capture = recording();
    capture->stop();
    settle();
    recorder.reportFinished();
    settle();
    advance(VideoStreamCapture::kFinishWatchdogSeconds * 2);
    EXPECT_EQ(resultCount, 1);
    EXPECT_TRUE(result->ok());
    EXPECT_TRUE(log.linesStartingWith("ScreenCaptureKit recording output finish timed out").empty());
}

TEST_F(VideoStreamCaptureTest, FailuresOfTheRecorderAreDeliveredWithTheirReason) {
    auto capture = makeCapture();
    capture->start();
    settle();
    recorder.reportStartFailure("cannot open display :99");
    settle();
    ASSERT_TRUE(result.has_value());
    EXPECT_EQ(result->error(), VideoRecorderError::underlying("cannot open display :99"));

    result.reset();
    auto second = recording();
    recorder.reportFailure("encoder broke");
    settle();
    ASSERT_TRUE(result.has_value());
    EXPECT_EQ(result->error().detail, "encoder broke");
    EXPECT_EQ(log.linesStartingWith("Video recording output failed error=encoder broke").size(), 1u);
}

TEST_F(VideoStreamCaptureTest, ARecorderThatEndsByItselfStillDeliversTheFileAndTheMissingSound) {
    auto capture = recording();
    recorder.reportAudioUnavailable("no audio server");
    recorder.reportFinished();
    settle();
    ASSERT_TRUE(result.has_value() && result->ok());
    EXPECT_EQ(result->value().audioUnavailableReason, "no audio server");
    EXPECT_EQ(log.linesStartingWith("Video recording output stopped externally; stopping capture stream").size(), 1u);
}

TEST_F(VideoStreamCaptureTest, TheCaptureOutlivesItsOwnerUntilTheRecorderIsDone) {
    std::weak_ptr<VideoStreamCapture> weak;
    {
        auto capture = recording();
        capture->stop();
        settle();
        weak = capture;
    }
    EXPECT_FALSE(weak.expired()) << "the recorder still holds it as its delegate";
    recorder.reportFinished();
    settle();
    EXPECT_TRUE(weak.expired());
    EXPECT_TRUE(result.has_value());
}

} // namespace
} // namespace brisklet
