#include "LongshotRecorderFixture.h"

#include "Platform/Fake/ScriptedWindowServer.h"
#include "ZelvorApp/Longshot/LongshotAutoScrollCoordinator.h"
#include "ZelvorApp/Longshot/LongshotAutoScroller.h"

namespace brisklet {
namespace {

using namespace testing_support;

constexpr ScrollEventSupport pixelScrolling{true, true, true, std::nullopt};
constexpr ScrollEventSupport wheelClicks{true, true, false, std::nullopt};
constexpr Rect firstScreen{{0, 0}, {1920, 1080}};

// --- the scroller -----------------------------------------------------------------------------

class AutoScrollerTest : public ::testing::Test {
protected:
    ScriptedScrollingPage page{makeTextPage(800, 2000, 61), 500};
    std::optional<Rect> screen = firstScreen;

    LongshotAutoScroller scrollerFor(ScriptedWindowServer& windowServer) {
        return LongshotAutoScroller(windowServer, [this] { return screen; });
    }
};

TEST_F(AutoScrollerTest, TheStepIsAShareOfTheTargetHeightAndAtLeast80Points) {
    for (const auto speed : {LongshotSpeed::slow, LongshotSpeed::normal, LongshotSpeed::fast}) {
        EXPECT_EQ(LongshotAutoScroller::stepDistanceFor(100, speed), 80);
    }
    EXPECT_EQ(LongshotAutoScroller::stepDistanceFor(500, LongshotSpeed::slow), 225);
    EXPECT_EQ(LongshotAutoScroller::stepDistanceFor(500, LongshotSpeed::normal), 275);
    EXPECT_EQ(LongshotAutoScroller::stepDistanceFor(500, LongshotSpeed::fast), 325);
}

TEST_F(AutoScrollerTest, StartWarpsToTheTargetsCentreAndPostsOneStep) {
    ScriptedWindowServer windowServer(page, pixelScrolling);
    auto scroller = scrollerFor(windowServer);
    ASSERT_TRUE(scroller.start(Rect{{100, 300}, {800, 500}}, LongshotSpeed::normal));
    EXPECT_EQ(windowServer.warps(), std::vector<Point>{(Point{500, 1080 - 550})})
        << "top-left space of the first screen";
    EXPECT_EQ(windowServer.postedPixels(), std::vector<int>{-275});
    EXPECT_EQ(page.offset(), 275);
    EXPECT_TRUE(scroller.running());
    EXPECT_EQ(scroller.expectedStep(), 275.0);
    EXPECT_TRUE(scroller.postStep());
    EXPECT_EQ(page.offset(), 550);

    scroller.pause();
    EXPECT_EQ(scroller.stepDistance(), 0);
    EXPECT_FALSE(scroller.running());
    EXPECT_FALSE(scroller.postStep());
    EXPECT_EQ(scroller.expectedStep(), std::nullopt);
}

TEST_F(AutoScrollerTest, StartFailsWithoutAScreenAPointerOrEvents) {
    ScriptedWindowServer windowServer(page, pixelScrolling);
    auto scroller = scrollerFor(windowServer);
    screen.reset();
    EXPECT_FALSE(scroller.start(Rect{{100, 300}, {800, 500}}, LongshotSpeed::normal));
    EXPECT_FALSE(scroller.running());

    screen = firstScreen;
    windowServer.setWarpFails(true);
    EXPECT_FALSE(scroller.start(Rect{{100, 300}, {800, 500}}, LongshotSpeed::normal));
    EXPECT_FALSE(scroller.running());

    windowServer.setWarpFails(false);
    windowServer.setEventsFail(true);
    EXPECT_FALSE(scroller.start(Rect{{100, 300}, {800, 500}}, LongshotSpeed::normal));
    EXPECT_TRUE(scroller.running()) << "the pointer moved; only the event could not be made";
    EXPECT_EQ(page.offset(), 0);
}

TEST_F(AutoScrollerTest, WheelClicksOfUnknownDistanceAreMeasuredBeforeAnyStepIsExpected) {
    ScriptedWindowServer windowServer(page, wheelClicks, 48);
    auto scroller = scrollerFor(windowServer);
    ASSERT_TRUE(scroller.start(Rect{{100, 300}, {800, 500}}, LongshotSpeed::normal));
    EXPECT_EQ(windowServer.postedClicks(), std::vector<int>{-1}) << "one click until its distance is known";
    EXPECT_EQ(scroller.expectedStep(), std::nullopt);

    scroller.observeAcceptedShift(48);
    EXPECT_EQ(scroller.clicksPerStep(), 6); // 275 / 48, rounded
    EXPECT_EQ(scroller.expectedStep(), 6 * 48.0);
    ASSERT_TRUE(scroller.postStep());
    EXPECT_EQ(windowServer.postedClicks().back(), -6);
    EXPECT_EQ(page.offset(), 48 + 288);

    scroller.observeAcceptedShift(200); // a short last step does not change what a click is worth
    EXPECT_EQ(scroller.expectedStep(), 6 * 48.0);

    ASSERT_TRUE(scroller.start(Rect{{100, 300}, {800, 500}}, LongshotSpeed::normal));
    EXPECT_EQ(scroller.expectedStep(), std::nullopt) << "a new run may scroll another application";
}

TEST_F(AutoScrollerTest, AConfiguredClickDistanceIsUsedFromTheStart) {
    ScriptedWindowServer windowServer(page, ScrollEventSupport{true, true, false, 55.0}, 55);
    auto scroller = scrollerFor(windowServer);
    ASSERT_TRUE(scroller.start(Rect{{100, 300}, {800, 500}}, LongshotSpeed::normal));
    EXPECT_EQ(windowServer.postedClicks(), std::vector<int>{-5});
    EXPECT_EQ(scroller.expectedStep(), 275.0);
}

// --- auto-scrolling during a recording ----------------------------------------------------------

class AutoScrollRecordingTest : public LongshotRecorderFixture {
protected:
    ScrollEventSupport support = pixelScrolling;
    int pixelsPerClick = 48;
    std::unique_ptr<ScriptedWindowServer> windowServer;
    std::unique_ptr<LongshotAutoScroller> scroller;
    std::unique_ptr<LongshotAutoScrollCoordinator> coordinator;
    bool trusted = true;
    bool accessGranted = true;
    int accessDenials = 0;

    void begin() {
        windowServer = std::make_unique<ScriptedWindowServer>(page, support, pixelsPerClick);
        scroller =
            std::make_unique<LongshotAutoScroller>(*windowServer, [] { return std::optional<Rect>(firstScreen); });
        coordinator = std::make_unique<LongshotAutoScrollCoordinator>(
            recorder, *scroller,
            LongshotAutoScrollCoordinator::InputPermission{[this] { return trusted; }, [this] { return accessGranted; },
                                                           [this] { ++accessDenials; }});
        coordinator->start(request(), callbacks());
    }
};

TEST_F(AutoScrollRecordingTest, ScrollsToTheBottomAndExportsThePageFromStartToPng) {
    begin();
    waitForFinish(60);
    ASSERT_EQ(finishes.size(), 1u);
    ASSERT_TRUE(finishes[0].ok());
    EXPECT_EQ(finishes[0].value().parent_path(), paths.root() / "Exports");
    const auto written = codec.readFile(finishes[0].value());
    ASSERT_TRUE(written);
    EXPECT_EQ(written.value(), page.fullPage()) << "header once, every content row once, footer once";
    EXPECT_FALSE(recorder.isRecording());
    EXPECT_FALSE(coordinator->isAutoScrolling());

    const auto lines = log.lines();
    const auto has = [&](const std::string& line) {
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    };
    EXPECT_TRUE(has("longshot capture ready mode=autoPending rect={{100, 300}, {800, 500}}"));
    EXPECT_TRUE(has("longshot auto scroll started rect={{100, 300}, {800, 500}} speed=normal delivery=hid "
                    "cursorPolicy=initialWarp"));
    EXPECT_TRUE(has("longshot auto scroll reached bottom; finalizing"));
    EXPECT_TRUE(has("longshot stable bottom detected frames=3"));
    EXPECT_EQ(stableBottoms, 1);
    EXPECT_TRUE(log.linesStartingWith("longshot match retry").empty());
}

TEST_F(AutoScrollRecordingTest, WheelClicksOfUnknownDistanceStillGiveTheExactPage) {
    support = wheelClicks;
    pixelsPerClick = 45;
    begin();
    waitForFinish(90);
    ASSERT_EQ(finishes.size(), 1u);
    ASSERT_TRUE(finishes[0].ok());
    EXPECT_EQ(codec.readFile(finishes[0].value()).value(), page.fullPage());
    ASSERT_GE(windowServer->postedClicks().size(), 2u);
    EXPECT_EQ(windowServer->postedClicks()[0], -1);
    EXPECT_EQ(windowServer->postedClicks()[1], -6) << "275 / 45 once one click was measured";
}

TEST_F(AutoScrollRecordingTest, ScrollingHappensOnlyBetweenCapturesAndStopsWhenPaused) {
    begin();
    settle();
    EXPECT_TRUE(coordinator->isAutoScrolling());
    EXPECT_EQ(recorder.expectedAutoScrollStep(), 275.0);
    EXPECT_EQ(windowServer->postedPixels().size(), 1u) << "the first step, right after the first frame";
    wait(0.55);
    EXPECT_EQ(windowServer->postedPixels().size(), 2u) << "one more after the next capture";

    coordinator->pause();
    EXPECT_FALSE(coordinator->isAutoScrolling());
    EXPECT_EQ(recorder.expectedAutoScrollStep(), std::nullopt);
    wait(0.55 * 3);
    EXPECT_EQ(windowServer->postedPixels().size(), 2u);
    EXPECT_TRUE(recorder.isRecording()) << "the user scrolls by hand now";
    EXPECT_EQ(log.linesStartingWith("longshot auto scroll paused"),
              std::vector<std::string>{"longshot auto scroll paused; manual scrolling remains active"});

    coordinator->resume();
    EXPECT_TRUE(coordinator->isAutoScrolling());
    EXPECT_EQ(windowServer->postedPixels().size(), 3u);
}

TEST_F(AutoScrollRecordingTest, WithoutPermissionTheRecordingStaysManual) {
    trusted = false;
    begin();
    settle();
    wait(0.55 * 2);
    EXPECT_FALSE(coordinator->isAutoScrolling());
    EXPECT_TRUE(windowServer->postedPixels().empty());
    EXPECT_EQ(log.linesStartingWith("longshot capture ready"),
              std::vector<std::string>{"longshot capture ready mode=manualFallback rect={{100, 300}, {800, 500}}"});

    accessGranted = false;
    coordinator->resume();
    EXPECT_EQ(accessDenials, 1);
    EXPECT_FALSE(coordinator->isAutoScrolling());
    EXPECT_EQ(log.linesStartingWith("longshot auto scroll blocked"),
              std::vector<std::string>{"longshot auto scroll blocked reason=accessibilityPermission"});
    EXPECT_TRUE(recorder.isRecording());
}

TEST_F(AutoScrollRecordingTest, AnEventThatCannotBeMadeLeavesAutoScrollingOff) {
    support.canPostScrollEvents = false;
    begin();
    settle();
    EXPECT_FALSE(coordinator->isAutoScrolling());
    EXPECT_EQ(log.linesStartingWith("longshot auto scroll failed"),
              std::vector<std::string>{"longshot auto scroll failed reason=eventCreation"});
}

TEST_F(AutoScrollRecordingTest, CancelDiscardsWithoutOutput) {
    begin();
    settle();
    wait(0.55);
    coordinator->cancel();
    wait(3);
    EXPECT_FALSE(recorder.isRecording());
    EXPECT_FALSE(coordinator->isAutoScrolling());
    EXPECT_TRUE(finishes.empty());
    EXPECT_FALSE(std::filesystem::exists(paths.root() / "Exports"));
}

} // namespace
} // namespace brisklet
