#include "ZelvorApp/Infrastructure/LocalizationStore.h"
#include "ZelvorApp/Longshot/LongshotControlBarModel.h"
#include "ZelvorApp/Longshot/LongshotPreviewLayout.h"
#include "ZelvorApp/Longshot/LongshotWindowLayout.h"

#include <gtest/gtest.h>

namespace brisklet {
namespace {

using Scrolling = LongshotControlBarModel::Scrolling;
using Toggle = LongshotControlBarModel::Toggle;

TEST(LongshotControlBarModelTest, ScrollingFollowsTheCoordinatorAndTheUsersPause) {
    EXPECT_EQ(LongshotControlBarModel::scrollingFor(true, false, false), Scrolling::automatic);
    // Scrolling again after a pause is automatic, whatever the earlier pause.
    EXPECT_EQ(LongshotControlBarModel::scrollingFor(true, false, true), Scrolling::automatic);
    EXPECT_EQ(LongshotControlBarModel::scrollingFor(false, true, false), Scrolling::autoPending);
    EXPECT_EQ(LongshotControlBarModel::scrollingFor(false, false, true), Scrolling::paused);
    EXPECT_EQ(LongshotControlBarModel::scrollingFor(false, false, false), Scrolling::manual);
}

TEST(LongshotControlBarModelTest, TheToggleButtonPausesWhileThePageScrollsByItselfAndResumesOtherwise) {
    LongshotControlBarModel model;
    for (const auto& [scrolling, toggle, symbol] : {std::tuple{Scrolling::automatic, Toggle::pause, "pause.fill"},
                                                    std::tuple{Scrolling::autoPending, Toggle::pause, "pause.fill"},
                                                    std::tuple{Scrolling::paused, Toggle::resume, "play.fill"},
                                                    std::tuple{Scrolling::manual, Toggle::resume, "play.fill"}}) {
        model.setScrolling(scrolling);
        EXPECT_EQ(model.toggle(), toggle);
        EXPECT_EQ(model.toggleSymbol(), symbol);
        EXPECT_EQ(model.toggleTooltip(),
                  toggle == Toggle::pause ? L10nKey::longshotPauseAutoScroll : L10nKey::longshotAutoScroll);
    }
}

TEST(LongshotControlBarModelTest, StatusTextsSayWhatHappens) {
    LongshotControlBarModel model;
    model.setScrolling(Scrolling::autoPending);
    EXPECT_EQ(model.titleKey(), L10nKey::menuStatusCapturingLongshot);
    EXPECT_EQ(model.detailKey(), L10nKey::longshotScrollHint);
    model.setScrolling(Scrolling::automatic);
    EXPECT_EQ(model.detailKey(), L10nKey::longshotAutoScrolling);
    model.setScrolling(Scrolling::paused);
    EXPECT_EQ(model.titleKey(), L10nKey::menuStatusPausedLongshot);
    EXPECT_EQ(model.detailKey(), L10nKey::longshotAutoScrollPaused);
    model.setReachedBottom(true);
    EXPECT_EQ(model.detailKey(), L10nKey::longshotReachedBottom);
    EXPECT_TRUE(model.controlsEnabled());
    model.setFinalizing(true);
    EXPECT_EQ(model.titleKey(), L10nKey::menuStatusFinalizingLongshot);
    EXPECT_FALSE(model.controlsEnabled());
}

TEST(LongshotControlBarModelTest, TheFrameCountIsWrittenInTheInterfaceLanguage) {
    LocalizationStore text([] { return std::vector<std::string>{"en"}; });
    text.apply(AppLanguage::german);
    LongshotControlBarModel model;
    model.setFrameCount(-3);
    EXPECT_EQ(model.frameCount(), 0);
    model.setFrameCount(17);
    const std::string german = model.frames(text);
    EXPECT_NE(german.find("17"), std::string::npos);
    text.apply(AppLanguage::english);
    EXPECT_NE(model.frames(text), german);
    EXPECT_NE(model.frames(text).find("17"), std::string::npos);
    EXPECT_EQ(model.title(text), text.text(model.titleKey()));
}

constexpr Rect visible{{0, 40}, {1280, 760}};
constexpr Size bar{520, 56};

TEST(LongshotWindowLayoutTest, TheBarSitsCentredBelowTheRegion) {
    const Rect region{{300, 300}, {400, 400}};
    const Rect frame = LongshotWindowLayout::controlBarFrame(region, visible, bar);
    EXPECT_EQ(frame.size, bar);
    EXPECT_DOUBLE_EQ(frame.midX(), region.midX());
    EXPECT_DOUBLE_EQ(frame.maxY(), region.minY() - LongshotWindowLayout::controlBarSpacing);
}

TEST(LongshotWindowLayoutTest, WithoutRoomBelowTheBarGoesAboveThenInsideAndStaysOnTheScreen) {
    const Rect low{{20, 60}, {300, 400}};
    const Rect above = LongshotWindowLayout::controlBarFrame(low, visible, bar);
    EXPECT_DOUBLE_EQ(above.minY(), low.maxY() + LongshotWindowLayout::controlBarSpacing);
    EXPECT_DOUBLE_EQ(above.minX(), visible.minX() + LongshotWindowLayout::screenMargin);

    const Rect tall{{900, 60}, {370, 730}};
    const Rect inside = LongshotWindowLayout::controlBarFrame(tall, visible, bar);
    EXPECT_DOUBLE_EQ(inside.minY(), tall.minY() + LongshotWindowLayout::controlBarSpacing);
    EXPECT_DOUBLE_EQ(inside.maxX(), visible.maxX() - LongshotWindowLayout::screenMargin);
}

TEST(LongshotWindowLayoutTest, ThePreviewAvoidsTheBarPlacedForTheSameRegion) {
    // A region as wide as the screen leaves only the space below, which the bar takes first.
    const Rect wide{{10, 450}, {1260, 300}};
    const Rect barFrame = LongshotWindowLayout::controlBarFrame(wide, visible, bar);
    const auto preview = LongshotPreviewLayout::frame(wide, visible, LongshotPreviewLayout::contentSize, barFrame);
    EXPECT_FALSE(preview.has_value());
    const auto withoutBar = LongshotPreviewLayout::frame(wide, visible);
    EXPECT_TRUE(withoutBar.has_value());
}

TEST(LongshotWindowLayoutTest, OnlyWindowsOverTheRegionLeaveTheCaptures) {
    const Rect region{{100, 100}, {200, 200}};
    const std::vector<LongshotWindowLayout::Window> windows{
        {11, {{110, 112}, {180, 40}}},  // a bar that had to go inside it
        {12, {{320, 100}, {100, 100}}}, // beside it
        {13, {{150, 40}, {100, 60}}},   // touching its bottom edge only
        {0, {{120, 120}, {10, 10}}},    // a window without a number cannot be hidden
        {14, {{150, 250}, {100, 100}}},
    };
    EXPECT_EQ(LongshotWindowLayout::windowsToHide(region, windows), (std::vector<std::uint32_t>{11, 14}));
}

} // namespace
} // namespace brisklet
