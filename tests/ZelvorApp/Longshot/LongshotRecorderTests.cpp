#include "LongshotRecorderFixture.h"

#include "ZelvorCore/FileNameBuilder.h"

#include <fstream>
#include <iterator>

namespace brisklet {
namespace {

using namespace testing_support;

using RecorderTest = LongshotRecorderFixture;

TEST_F(RecorderTest, StartCapturesTheFirstFrameAtOnceAndKeepsItWithoutAMatch) {
    recorder.start(request(), callbacks());
    EXPECT_TRUE(recorder.isCaptureInFlight());
    EXPECT_EQ(activity, std::vector<bool>{true});
    settle();

    ASSERT_EQ(recorder.frames().size(), 1u);
    EXPECT_FALSE(recorder.frames()[0].match);
    EXPECT_FALSE(recorder.isCaptureInFlight());
    EXPECT_EQ(activity, (std::vector<bool>{true, false}));
    const auto calls = capture.calls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].rect, selection);
    EXPECT_EQ(calls[0].context, (ScreenCaptureContext{7, screenFrame, screenFrame}));
    EXPECT_EQ(calls[0].excludedWindowIDs, (std::vector<std::uint32_t>{41, 42}));
    EXPECT_EQ(recorder.session()->cropOptions, LongshotCropOptions::automatic());

    ASSERT_EQ(previews.size(), 1u);
    EXPECT_EQ(previews[0].frameCount, 1);
    EXPECT_EQ(previews[0].pixelHeight, 500);
    EXPECT_EQ(previews[0].image.width(), 220) << "scaled down to fit 220 × 320";
    EXPECT_EQ(previews[0].image.height(), 138);
}

TEST_F(RecorderTest, AContextMadeForTheScreenIsUsedAsItIs) {
    auto start = request();
    start.screenContext = ScreenCaptureContext{3, screenFrame, Rect{{0, 0}, {3840, 1080}}};
    recorder.start(start, callbacks());
    settle();
    EXPECT_EQ(capture.calls().at(0).context, *start.screenContext);
}

TEST_F(RecorderTest, CapturesFollowTheSpeedsInterval) {
    LongshotConfig config;
    config.speed = LongshotSpeed::fast;
    recorder.start(request(config), callbacks());
    settle();
    wait(0.44);
    EXPECT_EQ(captureCount(), 1u);
    wait(0.02);
    EXPECT_EQ(captureCount(), 2u);
    wait(0.45);
    EXPECT_EQ(captureCount(), 3u);
}

TEST_F(RecorderTest, APageThatNeverMovesKeepsOneFrameAndNeverReportsTheBottom) {
    recorder.start(request(), callbacks());
    settle();
    wait(0.55 * 10);
    EXPECT_GE(captureCount(), 10u);
    EXPECT_EQ(recorder.frames().size(), 1u);
    EXPECT_EQ(stableBottoms, 0);
    EXPECT_FALSE(recorder.progressTracker().hasObservedProgress);
    EXPECT_EQ(recorder.progressTracker().consecutiveStationaryFrames, 0);
}

TEST_F(RecorderTest, StationaryFramesAfterProgressReportTheBottomExactlyOnce) {
    recorder.start(request(), callbacks());
    settle();
    page.scrollBy(250);
    wait(0.55);
    page.scrollBy(250);
    wait(0.55);
    ASSERT_EQ(recorder.frames().size(), 3u);
    EXPECT_TRUE(recorder.progressTracker().hasObservedProgress);

    wait(0.55 * 2);
    EXPECT_EQ(stableBottoms, 0);
    wait(0.55);
    EXPECT_EQ(stableBottoms, 1);
    EXPECT_TRUE(recorder.reachedStableBottom());
    wait(0.55 * 4);
    EXPECT_EQ(stableBottoms, 1) << "reported once, however long the page stays put";
    EXPECT_EQ(recorder.frames().size(), 3u) << "stationary frames never add content";
    EXPECT_EQ(log.linesStartingWith("longshot stable bottom detected"),
              std::vector<std::string>{"longshot stable bottom detected frames=3"});
    const auto accepted = log.linesStartingWith("longshot match accepted");
    ASSERT_EQ(accepted.size(), 2u);
    EXPECT_EQ(accepted[0].rfind("longshot match accepted frame=1 shift=250 overlap=", 0), 0u) << accepted[0];
}

TEST_F(RecorderTest, AFrameThatCannotBeLinedUpIsDroppedAndResetsTheStationaryCount) {
    page.setOffset(600);
    recorder.start(request(), callbacks());
    settle();
    page.scrollBy(250);
    wait(0.55);
    wait(0.55); // one stationary frame
    EXPECT_EQ(recorder.progressTracker().consecutiveStationaryFrames, 1);
    page.scrollBy(-400); // scrolled back past the previous frame
    const auto activityBefore = activity.size();
    wait(0.55);
    EXPECT_EQ(recorder.frames().size(), 2u);
    EXPECT_EQ(recorder.progressTracker().consecutiveStationaryFrames, 0);
    EXPECT_EQ(activity.size(), activityBefore + 1) << "the activity stays on after an unmatched frame";
    const auto retries = log.linesStartingWith("longshot match retry shift=");
    ASSERT_EQ(retries.size(), 1u);
    EXPECT_NE(retries[0].find(" topFixed="), std::string::npos);
    EXPECT_NE(retries[0].find(" score="), std::string::npos);
}

TEST_F(RecorderTest, AFrameScrolledTooFarIsKeptWhenTheNextOneLinesUpWithIt) {
    recorder.start(request(), callbacks());
    settle();
    page.scrollBy(450); // more than the 400 rows of content a frame shows
    wait(0.55);
    EXPECT_EQ(recorder.frames().size(), 1u);
    page.scrollBy(200);
    const auto activityBefore = activity.size();
    wait(0.55);
    ASSERT_EQ(recorder.frames().size(), 3u) << "the frame at 450 with a guessed seam, then the one at 650";
    EXPECT_EQ(recorder.frames()[2].match->seamOffset, 200);
    EXPECT_EQ(activity.size(), activityBefore + 2) << "one capture, reported once however many frames it kept";
    const auto guessed = log.linesStartingWith("longshot match guessed frame=1 shift=");
    EXPECT_EQ(guessed.size(), 1u);
    EXPECT_EQ(log.linesStartingWith("longshot match accepted frame=2 shift=200 ").size(), 1u);
}

TEST_F(RecorderTest, AFailedCaptureIsLoggedAndTheCadenceGoesOn) {
    capture.failNext(1, ScreenCaptureError::captureFailed);
    recorder.start(request(), callbacks());
    settle();
    EXPECT_TRUE(recorder.frames().empty());
    EXPECT_EQ(activity, (std::vector<bool>{true, false}));
    const auto failures = log.linesStartingWith("longshot capture frame failed error=");
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_GT(failures[0].size(), std::string("longshot capture frame failed error=").size());
    wait(0.55);
    EXPECT_EQ(recorder.frames().size(), 1u);
}

TEST_F(RecorderTest, AShortTimeoutStillAllowsNinetySeconds) {
    LongshotConfig config;
    config.timeoutSec = 30;
    recorder.start(request(config), callbacks());
    settle();
    wait(31);
    EXPECT_TRUE(recorder.isRecording());
    wait(60);
    EXPECT_FALSE(recorder.isRecording());
    settle();
    ASSERT_EQ(finishes.size(), 1u);
    EXPECT_TRUE(finishes[0].ok());
}

TEST_F(RecorderTest, TheFrameLimitStopsOnTheAttemptAfterTheLastFrame) {
    LongshotConfig config;
    config.maxFrames = 3;
    recorder.start(request(config), callbacks());
    settle();
    for (int i = 0; i < 2; ++i) {
        page.scrollBy(250);
        wait(0.55);
    }
    ASSERT_EQ(recorder.frames().size(), 3u);
    EXPECT_TRUE(recorder.isRecording());
    const auto captures = captureCount();
    page.scrollBy(250);
    wait(0.55);
    EXPECT_FALSE(recorder.isRecording());
    EXPECT_EQ(captureCount(), captures) << "the attempt stops instead of capturing";
    settle();
    ASSERT_EQ(finishes.size(), 1u);
    ASSERT_TRUE(finishes[0].ok());
    const auto written = codec.readFile(finishes[0].value());
    ASSERT_TRUE(written);
    EXPECT_EQ(written.value(), expectedStitch(500));
}

TEST_F(RecorderTest, CancelDropsTheCaptureInFlightAndEverythingElse) {
    recorder.start(request(), callbacks());
    ASSERT_TRUE(recorder.isCaptureInFlight());
    recorder.cancel();
    settle();
    wait(2);
    EXPECT_TRUE(recorder.frames().empty());
    EXPECT_FALSE(recorder.isRecording());
    EXPECT_EQ(activity, std::vector<bool>{true}) << "no callback after cancel";
    EXPECT_TRUE(previews.empty());
    EXPECT_TRUE(finishes.empty());
    EXPECT_EQ(captureCount(), 1u);
}

TEST_F(RecorderTest, AResultOfAnEarlierSessionNeitherCountsNorFreesTheNewCapture) {
    mainQueue.pumping = false;
    recorder.start(request(), callbacks());
    captureQueue().runPending(); // the first session's result is on its way to the main thread
    recorder.start(request(), callbacks());
    ASSERT_TRUE(recorder.isCaptureInFlight());
    manualMainQueue.drain();
    EXPECT_TRUE(recorder.frames().empty()) << "the earlier session's frame is dropped";
    EXPECT_TRUE(recorder.isCaptureInFlight()) << "and it does not end the new session's capture";
    recorder.captureFrame();
    EXPECT_EQ(captureQueue().pendingTaskCount(), 1u) << "so no second capture starts meanwhile";
    settle();
    EXPECT_EQ(recorder.frames().size(), 1u);
    EXPECT_FALSE(recorder.isCaptureInFlight());
}

TEST_F(RecorderTest, StoppingWithoutFramesReportsNoFrames) {
    capture.failNext(5);
    recorder.start(request(), callbacks());
    settle();
    recorder.stop();
    ASSERT_EQ(finishes.size(), 1u);
    ASSERT_FALSE(finishes[0].ok());
    EXPECT_EQ(finishes[0].error(), LongshotRecorderError::noFrames);
    EXPECT_FALSE(recorder.isRecording());
    recorder.stop();
    EXPECT_EQ(finishes.size(), 1u) << "stopping an idle recorder does nothing";
}

TEST_F(RecorderTest, TheExportNeverOverwritesAnExistingFile) {
    recorder.start(request(), callbacks());
    settle();
    const auto taken = FileNameBuilder::makeFileURL(ExportKind::longshot, paths.root() / "Exports", clock.now());
    ASSERT_TRUE(taken);
    std::ofstream(taken.value()) << "someone else's file";
    recorder.stop();
    settle();
    ASSERT_EQ(finishes.size(), 1u);
    ASSERT_TRUE(finishes[0].ok());
    EXPECT_NE(finishes[0].value(), taken.value());
    EXPECT_EQ(finishes[0].value().extension(), ".png");
    std::ifstream kept(taken.value());
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), "someone else's file");
}

TEST_F(RecorderTest, AnExportThatCannotBeWrittenReportsExportFailed) {
    auto start = request();
    std::ofstream(paths.root() / "NotADirectory") << "x";
    start.preferences.exportDirectory = (paths.root() / "NotADirectory" / "Exports").string();
    recorder.start(start, callbacks());
    settle();
    recorder.stop();
    settle();
    ASSERT_EQ(finishes.size(), 1u);
    ASSERT_FALSE(finishes[0].ok());
    EXPECT_EQ(finishes[0].error(), LongshotRecorderError::exportFailed);
    EXPECT_EQ(localizedDescription(LongshotRecorderError::exportFailed), "The scrolling capture couldn't be saved.");
}

TEST_F(RecorderTest, OnlyTheNewestPreviewIsRendered) {
    mainQueue.pumping = false;
    recorder.start(request(), callbacks());
    captureQueue().runPending();
    manualMainQueue.drain(); // first frame kept; its preview is queued
    page.scrollBy(250);
    manualMainQueue.runFor(0.56);
    captureQueue().runPending();
    manualMainQueue.drain(); // second frame kept before the first preview was rendered
    EXPECT_EQ(exportQueue().pendingTaskCount(), 2u);
    settle();
    ASSERT_EQ(previews.size(), 1u);
    EXPECT_EQ(previews[0].frameCount, 2);
    EXPECT_EQ(previews[0].pixelHeight, 750);
}

TEST_F(RecorderTest, TheLastMatchIsAnalysedAgainWhenAutoScrollingEndedWithoutTheBottom) {
    recorder.start(request(), callbacks());
    settle();
    recorder.setExpectedAutoScrollStep(275.0);
    page.scrollBy(275);
    wait(0.55);
    page.scrollBy(100);
    wait(0.55);
    ASSERT_EQ(recorder.frames().size(), 3u);
    recorder.stop();
    settle();
    EXPECT_EQ(log.linesStartingWith("longshot final match refined"),
              std::vector<std::string>{"longshot final match refined from=100 to=100"});
    ASSERT_TRUE(finishes.at(0).ok());
    EXPECT_EQ(codec.readFile(finishes[0].value()).value(), expectedStitch(375));
}

TEST_F(RecorderTest, NoFinalAnalysisAfterTheBottomWasReported) {
    recorder.start(request(), callbacks());
    settle();
    recorder.setExpectedAutoScrollStep(275.0);
    page.scrollBy(275);
    wait(0.55 * 4);
    ASSERT_TRUE(recorder.reachedStableBottom());
    recorder.stop();
    settle();
    EXPECT_TRUE(log.linesStartingWith("longshot final match refined").empty());
    EXPECT_TRUE(finishes.at(0).ok());
}

} // namespace
} // namespace brisklet
