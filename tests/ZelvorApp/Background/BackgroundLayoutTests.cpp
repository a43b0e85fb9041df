#include "ZelvorApp/Background/BackgroundLayout.h"

#include <gtest/gtest.h>

namespace brisklet {
namespace {

using Kind = CanvasAspectPreset::Kind;

BackgroundComposition plain(Kind aspect, double padding = 72) {
    BackgroundComposition c;
    c.aspectPreset = {aspect};
    c.padding = padding;
    c.frameStyle = BackgroundFrameStyle::none;
    return c;
}

void expectInsets(const FrameInsets& actual, const FrameInsets& expected) {
    EXPECT_NEAR(actual.top, expected.top, 1e-9);
    EXPECT_NEAR(actual.left, expected.left, 1e-9);
    EXPECT_NEAR(actual.bottom, expected.bottom, 1e-9);
    EXPECT_NEAR(actual.right, expected.right, 1e-9);
}

TEST(BackgroundLayoutMake, AutomaticCanvasIsTheContentPlusPaddingAllRound) {
    const auto layout = BackgroundLayout::make({800, 600}, plain(Kind::automatic));
    EXPECT_EQ(layout.canvasSize, (Size{944, 744}));
    EXPECT_EQ(layout.contentRect, (Rect{{72, 72}, {800, 600}}));
    EXPECT_EQ(layout.frameRect, layout.contentRect) << "no frame, no chrome";
    EXPECT_EQ(layout.framedContentRect, layout.contentRect);

    EXPECT_EQ(BackgroundLayout::make({800, 600}, plain(Kind::automatic, -30)).canvasSize, (Size{800, 600}))
        << "negative padding counts as none";
}

TEST(BackgroundLayoutMake, SquareCanvasGrowsTheShortSideAndAlignmentPlacesTheContent) {
    auto c = plain(Kind::square);
    EXPECT_EQ(BackgroundLayout::make({800, 600}, c).canvasSize, (Size{944, 944}));
    EXPECT_EQ(BackgroundLayout::make({800, 600}, c).contentRect.origin, (Point{72, 172}));

    // The free space is 200 pixels of height: top puts the content at the top of it, bottom at
    // the bottom (rectangles count y downward).
    c.alignment = CanvasAlignment::top;
    EXPECT_EQ(BackgroundLayout::make({800, 600}, c).contentRect.origin, (Point{72, 72}));
    c.alignment = CanvasAlignment::bottomTrailing;
    EXPECT_EQ(BackgroundLayout::make({800, 600}, c).contentRect.origin, (Point{72, 272}));

    // Portrait (4:5) on a wide content is height-driven by its width: 944 / 0.8 = 1180.
    EXPECT_EQ(BackgroundLayout::make({800, 600}, plain(Kind::portrait)).canvasSize, (Size{944, 1180}));
    // Landscape on a tall content: 1600 × 16/9 must land on a whole pixel without creeping up.
    EXPECT_EQ(BackgroundLayout::make({300, 1456}, plain(Kind::landscape)).canvasSize, (Size{2845, 1600}));
    EXPECT_EQ(BackgroundLayout::make({2560, 1600}, plain(Kind::landscape, 136)).canvasSize, (Size{3328, 1872}));
}

TEST(BackgroundLayoutMake, OffsetsAreClampedToTheFreeSpaceAndCountUpward) {
    auto c = plain(Kind::square);
    c.contentOffset = {50, 40};
    // No free width beyond the padding: x stays; 100 free pixels above and below: 40 upward.
    EXPECT_EQ(BackgroundLayout::make({800, 600}, c).contentRect.origin, (Point{72, 132}));
    c.contentOffset = {-5000, -5000};
    EXPECT_EQ(BackgroundLayout::make({800, 600}, c).contentRect.origin, (Point{72, 272})) << "clamped to the bottom";
    c.contentOffset = {0, 5000};
    EXPECT_EQ(BackgroundLayout::make({800, 600}, c).contentRect.origin, (Point{72, 72})) << "clamped to the top";

    auto automatic = plain(Kind::automatic);
    automatic.contentOffset = {300, -300};
    EXPECT_EQ(BackgroundLayout::make({800, 600}, automatic).contentRect.origin, (Point{72, 72}))
        << "an automatic canvas has no free space, so any offset yields the centred position";
}

TEST(BackgroundLayoutMake, ContentOffsetForAnOriginInvertsMake) {
    auto c = plain(Kind::square);
    c.alignment = CanvasAlignment::leading;
    const Size content{600, 800};
    for (const Point wanted : {Point{72, 72}, Point{200, 72}, Point{272, 72}}) {
        c.contentOffset = BackgroundLayout::contentOffset(wanted, content, c);
        EXPECT_EQ(BackgroundLayout::make(content, c).contentRect.origin, wanted);
    }
    c.contentOffset = BackgroundLayout::contentOffset({9000, -9000}, content, c);
    EXPECT_EQ(BackgroundLayout::make(content, c).contentRect.origin, (Point{272, 72}))
        << "dragged off the canvas, the content stops at the padding";

    auto framed = plain(Kind::square);
    framed.frameStyle = BackgroundFrameStyle::browserLight;
    framed.contentOffset = BackgroundLayout::contentOffset({130, 180}, {800, 400}, framed);
    const auto layout = BackgroundLayout::make({800, 400}, framed);
    EXPECT_EQ(layout.contentRect.origin, (Point{84, 180})) << "x cannot move: the frame fills the padded width";
}

TEST(BackgroundLayoutMake, FramesAddTheirInsetsAroundTheContent) {
    auto c = plain(Kind::automatic, 40);
    c.frameStyle = BackgroundFrameStyle::browserDark;
    expectInsets(BackgroundLayout::frameInsets(c.frameStyle, {800, 600}), {42, 12, 13.2, 12});
    const auto layout = BackgroundLayout::make({800, 600}, c);
    EXPECT_EQ(layout.canvasSize, (Size{904, 736})) << "824 × 655.2 framed plus 80, rounded up";
    EXPECT_EQ(layout.contentRect, (Rect{{52, 82}, {800, 600}}));
    EXPECT_EQ(layout.frameRect.origin, (Point{40, 40}));
    EXPECT_EQ(layout.frameRect.size, (Size{824, 656}));

    expectInsets(BackgroundLayout::frameInsets(BackgroundFrameStyle::iphoneLight, {390, 844}),
                 {46.42, 35.1, 48.952, 35.1});
    expectInsets(BackgroundLayout::frameInsets(BackgroundFrameStyle::iphoneDark, {10, 10}), {36, 26, 36, 26});
    expectInsets(BackgroundLayout::frameInsets(BackgroundFrameStyle::macbookLight, {4000, 3000}), {30, 42, 82, 42});
    expectInsets(BackgroundLayout::frameInsets(BackgroundFrameStyle::macbookDark, {500, 300}), {20, 22, 46, 22});
    EXPECT_EQ(BackgroundLayout::frameInsets(BackgroundFrameStyle::none, {800, 600}), FrameInsets{});
}

TEST(BackgroundLayoutMake, DegenerateCustomRatiosBehaveLikeAutomatic) {
    auto c = plain(Kind::automatic);
    c.aspectPreset = CanvasAspectPreset::custom(0, 5);
    EXPECT_EQ(BackgroundLayout::make({800, 600}, c).canvasSize, (Size{944, 744}));
    c.aspectPreset = CanvasAspectPreset::custom(1200, 628);
    const auto layout = BackgroundLayout::make({800, 600}, c);
    EXPECT_NEAR(layout.canvasSize.width / layout.canvasSize.height, 1200.0 / 628, 0.002);
    EXPECT_EQ(layout.canvasSize.height, 744);
}

TEST(BackgroundLayoutRecommendations, AspectFollowsTheContentShape) {
    EXPECT_EQ(BackgroundLayout::recommendedAspectPreset({100, 300}).kind, Kind::story) << "ratio 0.33";
    EXPECT_EQ(BackgroundLayout::recommendedAspectPreset({1000, 1000}).kind, Kind::square);
    EXPECT_EQ(BackgroundLayout::recommendedAspectPreset({1600, 900}).kind, Kind::landscape);
    EXPECT_EQ(BackgroundLayout::recommendedAspectPreset({800, 1000}).kind, Kind::portrait);
    EXPECT_EQ(BackgroundLayout::recommendedAspectPreset({1280, 1000}).kind, Kind::landscape) << "1.28 is landscape";
    EXPECT_EQ(BackgroundLayout::recommendedAspectPreset({620, 1000}).kind, Kind::story) << "0.62 is story";
    EXPECT_EQ(BackgroundLayout::recommendedAspectPreset({0, 0}).kind, Kind::square);
    EXPECT_EQ(BackgroundLayout::recommendedAspectPreset({500, 0}).kind, Kind::landscape) << "no division by zero";
}

TEST(BackgroundLayoutRecommendations, CornerRadiusBySourceContextAndSize) {
    const BackgroundSource preset{BackgroundSource::Preset{"ocean-glass"}};
    using Ctx = BackgroundCaptureContext;
    EXPECT_EQ(BackgroundLayout::recommendedCornerRadius(preset, Ctx::window, {1000, 1000}), 28) << "24 + 4";
    EXPECT_EQ(BackgroundLayout::recommendedCornerRadius(preset, Ctx::region, {400, 300}), 20) << "22 − 2";
    EXPECT_EQ(BackgroundLayout::recommendedCornerRadius(preset, Ctx::region, {1600, 1500}), 28) << "22 + 6";
    EXPECT_EQ(
        BackgroundLayout::recommendedCornerRadius({BackgroundSource::CustomImage{"/x.png"}}, Ctx::region, {3000, 2000}),
        46);
    EXPECT_EQ(BackgroundLayout::recommendedCornerRadius({BackgroundSource::SolidColor{}}, Ctx::window, {700, 700}), 18);
    EXPECT_EQ(BackgroundLayout::recommendedCornerRadius({BackgroundSource::Transparent{}}, Ctx::window, {2000, 2000}),
              0)
        << "no step for a transparent background";
    EXPECT_EQ(
        BackgroundLayout::recommendedCornerRadius({BackgroundSource::DesktopWallpaper{}}, Ctx::region, {519, 519}), 36)
        << "the step changes at 520";
}

} // namespace
} // namespace brisklet
