#include "ZelvorApp/Recording/RecordingControlTimeFormatter.h"
#include "ZelvorApp/Recording/RecordingOptionsBarController.h"
#include "ZelvorApp/Recording/RecordingOptionsBarLayout.h"
#include "ZelvorApp/Recording/RecordingOptionsBarModel.h"

#include <gtest/gtest.h>

#include <optional>

namespace brisklet {
namespace {

const Rect laptopScreen{{0, 0}, {1440, 900}};

TEST(RecordingOptionsBarModel, VideoKeepsAChosenContainerAndTurnsAGIFIntoMP4) {
    RecordingOptionsBarModel model(RecordingOptions{});
    EXPECT_FALSE(model.isVideo());
    model.selectVideo();
    EXPECT_EQ(model.options().outputFormat, RecordingOutputFormat::mp4);
    model.selectFormat(RecordingOutputFormat::mov);
    model.selectVideo();
    EXPECT_EQ(model.options().outputFormat, RecordingOutputFormat::mov);
    model.selectGIF();
    EXPECT_EQ(model.options().outputFormat, RecordingOutputFormat::gif);
}

TEST(RecordingOptionsBarModel, StartsFromTheOptionsPassedInAndChangesOnlyWhatIsSet) {
    RecordingOptions stored;
    stored.quality = RecordingQuality::high;
    stored.showsClickEffects = false;
    RecordingOptionsBarModel model(stored);
    EXPECT_EQ(model.options(), stored);
    model.setShowsCursor(false);
    model.setAudioMode(RecordingAudioMode::system);
    EXPECT_FALSE(model.options().showsCursor);
    EXPECT_EQ(model.options().audioMode, RecordingAudioMode::system);
    EXPECT_EQ(model.options().quality, RecordingQuality::high);
    EXPECT_FALSE(model.options().showsClickEffects);
}

TEST(RecordingOptionsBarLayout, SitsTenPointsUnderTheRegionCentredOnIt) {
    const Rect region{{400, 300}, {600, 300}};
    const Rect bar = RecordingOptionsBarLayout::windowRect(region, laptopScreen);
    EXPECT_EQ(bar.size, (Size{720, 48}));
    EXPECT_DOUBLE_EQ(bar.midX(), region.midX());
    EXPECT_DOUBLE_EQ(bar.maxY(), region.minY() - 10);
}

TEST(RecordingOptionsBarLayout, GoesAboveARegionNearTheBottomEdge) {
    const Rect region{{470, 40}, {500, 300}};
    const Rect bar = RecordingOptionsBarLayout::windowRect(region, laptopScreen);
    EXPECT_DOUBLE_EQ(bar.minY(), region.maxY() + 10);
    EXPECT_LE(bar.width(), 720);
    // A region touching the top as well: the bar stays 16 points inside the screen.
    const Rect tall{{470, 10}, {500, 880}};
    EXPECT_DOUBLE_EQ(RecordingOptionsBarLayout::windowRect(tall, laptopScreen).maxY(), 900 - 16);
}

TEST(RecordingOptionsBarLayout, KeepsSixteenPointsFromTheScreenSidesAndNarrowsOnSmallScreens) {
    const Rect leftRegion{{0, 400}, {100, 100}};
    EXPECT_DOUBLE_EQ(RecordingOptionsBarLayout::windowRect(leftRegion, laptopScreen).minX(), 16);
    const Rect rightRegion{{1400, 400}, {40, 100}};
    EXPECT_DOUBLE_EQ(RecordingOptionsBarLayout::windowRect(rightRegion, laptopScreen).maxX(), 1440 - 16);
    const Rect small{{2000, -500}, {400, 300}};
    const Rect bar = RecordingOptionsBarLayout::windowRect(Rect{{2050, -450}, {100, 100}}, small);
    EXPECT_DOUBLE_EQ(bar.width(), 400 - 32);
    EXPECT_DOUBLE_EQ(bar.minX(), 2016);
    // A screen narrower than the margins still gets a bar of at least one point.
    EXPECT_DOUBLE_EQ(RecordingOptionsBarLayout::windowRect(leftRegion, Rect{{0, 0}, {20, 900}}).width(), 1);
}

TEST(RecordingOptionsBarLayout, NarrowerBarsFollowTheSameRules) {
    const Rect region{{470, 40}, {500, 300}};
    const Rect bar = RecordingOptionsBarLayout::barRect(region, laptopScreen, Size{300, 40});
    EXPECT_DOUBLE_EQ(bar.midX(), region.midX());
    EXPECT_DOUBLE_EQ(bar.minY(), region.maxY() + 10);
    EXPECT_EQ(bar.size, (Size{300, 40}));
}

TEST(RecordingControlTimeFormatter, GIFProgressRoundsBothTimesToWholeSeconds) {
    EXPECT_EQ(RecordingControlTimeFormatter::gifProgress(7.4, 30), "00:07/00:30");
    EXPECT_EQ(RecordingControlTimeFormatter::gifProgress(59.6, 60), "01:00/01:00");
    EXPECT_EQ(RecordingControlTimeFormatter::gifProgress(-3, 15), "00:00/00:15");
    EXPECT_EQ(RecordingControlTimeFormatter::gifProgress(0.5, 125.2), "00:01/02:05");
}

TEST(RecordingControlTimeFormatter, VideoElapsedNeverRoundsUpAndShowsHoursFromTheFirstHour) {
    EXPECT_EQ(RecordingControlTimeFormatter::videoElapsed(3599.9), "59:59");
    EXPECT_EQ(RecordingControlTimeFormatter::videoElapsed(3725), "01:02:05");
    EXPECT_EQ(RecordingControlTimeFormatter::videoElapsed(3600), "01:00:00");
    EXPECT_EQ(RecordingControlTimeFormatter::videoElapsed(-1), "00:00");
    EXPECT_EQ(RecordingControlTimeFormatter::videoElapsed(61.99), "01:01");
}

class RecordingOptionsBarControllerTest : public ::testing::Test {
protected:
    RecordingOptionsBarController controller{Rect{{400, 300}, {600, 300}}, laptopScreen, RecordingOptions{},
                                             VisualAppearanceMode::dark,
                                             [this](RecordingOptions options) { started = options; },
                                             [this] { ++cancels; }};
    std::optional<RecordingOptions> started;
    int cancels = 0;
};

TEST_F(RecordingOptionsBarControllerTest, StartHandsOverTheChosenOptionsOnce) {
    controller.model().setQuality(RecordingQuality::low);
    controller.model().setShowsCursor(false);
    controller.start();
    ASSERT_TRUE(started);
    EXPECT_EQ(started->quality, RecordingQuality::low);
    EXPECT_FALSE(started->showsCursor);
    controller.cancel();
    EXPECT_EQ(cancels, 0);
    EXPECT_EQ(controller.windowRect(), RecordingOptionsBarLayout::windowRect(controller.selectionRect(), laptopScreen));
}

TEST_F(RecordingOptionsBarControllerTest, ReturnStartsEscapeCancelsOtherKeysPass) {
    EXPECT_FALSE(controller.handleKey("A"));
    EXPECT_FALSE(started);
    EXPECT_TRUE(controller.handleKey("ESC"));
    EXPECT_EQ(cancels, 1);
    EXPECT_TRUE(controller.handleKey("RETURN"));
    EXPECT_FALSE(started) << "the bar answered already";
    EXPECT_TRUE(controller.hasAnswered());
}

} // namespace
} // namespace brisklet
