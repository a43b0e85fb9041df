#include "ZelvorApp/Background/BackgroundLayout.h"
#include "ZelvorApp/Background/BackgroundTemplate.h"
#include "ZelvorCore/Models/AppPreferences.h"

#include <gtest/gtest.h>

namespace brisklet {
namespace {

using Kind = CanvasAspectPreset::Kind;
using Ctx = BackgroundCaptureContext;

const BackgroundSource wallpaper{BackgroundSource::DesktopWallpaper{}};
const BackgroundSource customImage{BackgroundSource::CustomImage{"/home/me/beach.jpg"}};
const BackgroundSource transparent{BackgroundSource::Transparent{}};

BackgroundComposition withSource(BackgroundSource source) {
    BackgroundComposition c;
    c.source = std::move(source);
    return c;
}

TEST(BalancedComposition, PaddingShadowAndCornerSuitTheContentAndContext) {
    const auto region = BackgroundLayout::balancedComposition({}, {1600, 900}, Ctx::region);
    EXPECT_EQ(region.aspectPreset.kind, Kind::landscape);
    EXPECT_EQ(region.padding, 76) << "900 × 0.085 = 76.5 → nearest multiple of four";
    EXPECT_EQ(region.shadowStrength, 66);
    EXPECT_EQ(region.cornerRadius, 26);

    const auto window = BackgroundLayout::balancedComposition({}, {1600, 900}, Ctx::window);
    EXPECT_EQ(window.padding, 108) << "a window gets 0.035 more of the shorter side";
    EXPECT_EQ(window.shadowStrength, 88);
    EXPECT_EQ(window.cornerRadius, 28);

    EXPECT_EQ(BackgroundLayout::balancedComposition({}, {200, 100}, Ctx::region).padding, 24) << "at least 24";
    EXPECT_EQ(BackgroundLayout::balancedComposition({}, {4000, 3000}, Ctx::window).padding, 192)
        << "windows at most 192";
    EXPECT_EQ(BackgroundLayout::balancedComposition({}, {4000, 3000}, Ctx::region).padding, 160)
        << "regions at most 160";

    const auto clear = BackgroundLayout::balancedComposition(withSource(transparent), {1000, 1000}, Ctx::region);
    EXPECT_EQ(clear.padding, 100) << "square 0.12 less 0.02 for a transparent background";
    EXPECT_EQ(clear.shadowStrength, 0);
    EXPECT_EQ(clear.cornerRadius, 0);
    EXPECT_EQ(BackgroundLayout::balancedComposition(withSource(transparent), {1000, 1000}, Ctx::window).shadowStrength,
              18);
    EXPECT_EQ(BackgroundLayout::balancedComposition(withSource(wallpaper), {1000, 1000}, Ctx::region).shadowStrength,
              100);
    EXPECT_EQ(BackgroundLayout::balancedComposition(withSource(customImage), {900, 900}, Ctx::region).padding, 116)
        << "a picture gets 0.01 more room";
}

TEST(BalancedComposition, KeepsTheLookButResetsPlacement) {
    BackgroundComposition base = withSource(customImage);
    base.imageAdjustment = {0.8, 5, 1.2, 10, -4};
    base.frameStyle = BackgroundFrameStyle::macbookDark;
    base.appliedTemplateID = BackgroundTemplatePreset::wechatCover;
    base.windowShadowMode = WindowShadowMode::keep;
    base.alignment = CanvasAlignment::bottomTrailing;
    base.contentOffset = {30, 30};
    const auto balanced = BackgroundLayout::balancedComposition(base, {500, 1000}, Ctx::region);
    EXPECT_EQ(balanced.source, base.source);
    EXPECT_EQ(balanced.imageAdjustment, base.imageAdjustment);
    EXPECT_EQ(balanced.frameStyle, base.frameStyle);
    EXPECT_EQ(balanced.appliedTemplateID, base.appliedTemplateID);
    EXPECT_EQ(balanced.windowShadowMode, base.windowShadowMode);
    EXPECT_EQ(balanced.alignment, CanvasAlignment::center);
    EXPECT_EQ(balanced.contentOffset, Size{});
    EXPECT_EQ(balanced.aspectPreset.kind, Kind::story);
}

TEST(InitialBackgroundState, DefaultPresetThenLastUsedThenBalanced) {
    AppPreferences preferences;
    const auto fresh = BackgroundLayout::resolveInitialState(preferences, {1600, 900}, Ctx::window);
    EXPECT_EQ(fresh.composition, BackgroundLayout::balancedComposition({}, {1600, 900}, Ctx::window));
    EXPECT_FALSE(fresh.selectedSavedPresetID);
    EXPECT_EQ(std::get<BackgroundSource::Preset>(fresh.composition.source.value).id, "ocean-glass");

    BackgroundComposition last = withSource(transparent);
    last.padding = 12;
    preferences.lastBackgroundComposition = last;
    EXPECT_EQ(BackgroundLayout::resolveInitialState(preferences, {1600, 900}, Ctx::window).composition, last);

    BackgroundComposition saved = withSource(wallpaper);
    saved.padding = 140;
    preferences.savedBackgroundPresets = {{"A", "Mine", saved}};
    preferences.defaultBackgroundPresetID = "missing";
    EXPECT_EQ(BackgroundLayout::resolveInitialState(preferences, {1600, 900}, Ctx::window).composition, last)
        << "a default that names no saved preset is ignored";
    preferences.defaultBackgroundPresetID = "A";
    const auto chosen = BackgroundLayout::resolveInitialState(preferences, {1600, 900}, Ctx::window);
    EXPECT_EQ(chosen.composition, saved);
    EXPECT_EQ(chosen.selectedSavedPresetID, "A");
}

TEST(WindowPresentationModes, EachModeSetsItsLookAndKeepsGenerousValues) {
    BackgroundComposition start = withSource(customImage);
    start.padding = 40;
    start.shadowStrength = 95;
    start.cornerRadius = 10;
    start.frameStyle = BackgroundFrameStyle::browserLight;
    start.imageAdjustment = {0.5, 3, 1.5, 2, 2};

    const auto clear = BackgroundLayout::compositionByApplying(WindowPresentationMode::transparent, start);
    EXPECT_EQ(clear.source, transparent);
    EXPECT_EQ(clear.frameStyle, BackgroundFrameStyle::none);
    EXPECT_EQ(clear.windowShadowMode, WindowShadowMode::trim);
    EXPECT_EQ(clear.shadowStrength, 0);
    EXPECT_EQ(clear.cornerRadius, 0);
    EXPECT_EQ(clear.imageAdjustment, BackgroundImageAdjustment{});
    EXPECT_EQ(clear.padding, 40);

    const auto solid = BackgroundLayout::compositionByApplying(WindowPresentationMode::solid, start);
    EXPECT_EQ(solid.source, (BackgroundSource{BackgroundSource::SolidColor{{0.944, 0.95, 0.968, 1}}}));
    EXPECT_EQ(solid.windowShadowMode, WindowShadowMode::keep);
    EXPECT_EQ(solid.padding, 88);
    EXPECT_EQ(solid.shadowStrength, 95) << "a stronger shadow is kept";
    EXPECT_EQ(solid.cornerRadius, 24);
    EXPECT_EQ(solid.frameStyle, BackgroundFrameStyle::browserLight);
    const BackgroundSource red{BackgroundSource::SolidColor{{1, 0, 0, 1}}};
    EXPECT_EQ(BackgroundLayout::compositionByApplying(WindowPresentationMode::solid, withSource(red)).source, red)
        << "an existing colour stays";

    const auto fromImage = BackgroundLayout::compositionByApplying(WindowPresentationMode::wallpaper, start);
    EXPECT_EQ(fromImage.source, wallpaper);
    EXPECT_EQ(fromImage.imageAdjustment, (BackgroundImageAdjustment{0.95, 2, 1.01, 0, 0}));
    EXPECT_EQ(fromImage.padding, 108);
    EXPECT_EQ(fromImage.shadowStrength, 95);
    EXPECT_EQ(fromImage.cornerRadius, 28);
    EXPECT_EQ(BackgroundLayout::compositionByApplying(WindowPresentationMode::wallpaper, fromImage).imageAdjustment,
              (BackgroundImageAdjustment{0.92, 6, 1.02, 0, 0}));
    EXPECT_EQ(BackgroundLayout::compositionByApplying(WindowPresentationMode::wallpaper, {}).imageAdjustment,
              (BackgroundImageAdjustment{0.9, 8, 1.03, 0, 0}));
}

TEST(WindowQuickModes, EachModeIsRecognisedAgain) {
    BackgroundComposition start;
    start.alignment = CanvasAlignment::top;
    start.contentOffset = {10, 10};
    start.appliedTemplateID = BackgroundTemplatePreset::xPost;
    const Size content{1200, 900};
    for (const auto mode : allCases<BackgroundWindowQuickMode>()) {
        const auto c = BackgroundLayout::compositionByApplying(mode, start, content);
        EXPECT_EQ(BackgroundLayout::inferredWindowQuickMode(c), mode) << toString(mode);
        EXPECT_EQ(c.alignment, CanvasAlignment::center);
        EXPECT_EQ(c.contentOffset, Size{});
        EXPECT_FALSE(c.appliedTemplateID);
    }

    const auto clean = BackgroundLayout::compositionByApplying(BackgroundWindowQuickMode::clean, start, content);
    EXPECT_EQ(clean.aspectPreset.kind, Kind::automatic);
    EXPECT_EQ(clean.padding, 28);

    const auto elevated =
        BackgroundLayout::compositionByApplying(BackgroundWindowQuickMode::elevated, withSource(customImage), content);
    EXPECT_EQ(elevated.source, (BackgroundSource{BackgroundSource::Preset{"cream-note"}}));
    EXPECT_EQ(elevated.aspectPreset.kind, Kind::landscape);
    EXPECT_EQ(elevated.shadowStrength, 68);

    const auto showcase = BackgroundLayout::compositionByApplying(BackgroundWindowQuickMode::showcase, start, content);
    EXPECT_EQ(showcase.source, wallpaper);
    EXPECT_EQ(showcase.imageAdjustment, (BackgroundImageAdjustment{0.84, 14, 1.06, 0, 0}));
    EXPECT_EQ(showcase.aspectPreset.kind, Kind::landscape);
    EXPECT_EQ((ShowcaseMetrics{showcase.padding, showcase.shadowStrength, showcase.cornerRadius}),
              (ShowcaseMetrics{132, 100, 32}));
    EXPECT_EQ(
        BackgroundLayout::compositionByApplying(BackgroundWindowQuickMode::showcase, showcase, content).imageAdjustment,
        (BackgroundImageAdjustment{0.86, 12, 1.05, 0, 0}));
    const auto picture =
        BackgroundLayout::compositionByApplying(BackgroundWindowQuickMode::showcase, withSource(customImage), content);
    EXPECT_EQ(picture.source, customImage);
    EXPECT_EQ(picture.imageAdjustment, (BackgroundImageAdjustment{0.93, 4, 1.03, 0, 0}));
}

TEST(WindowQuickModes, InferenceNeedsEveryCondition) {
    BackgroundComposition c = BackgroundLayout::compositionByApplying(BackgroundWindowQuickMode::clean, {}, {800, 600});
    c.padding = 41;
    EXPECT_FALSE(BackgroundLayout::inferredWindowQuickMode(c)) << "too much padding for clean, and trimmed";

    c = BackgroundLayout::compositionByApplying(BackgroundWindowQuickMode::elevated, {}, {800, 600});
    c.padding = 93;
    EXPECT_FALSE(BackgroundLayout::inferredWindowQuickMode(c));
    c.padding = 72;
    EXPECT_EQ(BackgroundLayout::inferredWindowQuickMode(c), BackgroundWindowQuickMode::elevated);
    c.windowShadowMode = WindowShadowMode::trim;
    EXPECT_FALSE(BackgroundLayout::inferredWindowQuickMode(c)) << "trimmed windows are only ever clean";

    c = BackgroundLayout::compositionByApplying(BackgroundWindowQuickMode::showcase, {}, {1200, 900});
    c.imageAdjustment.blurRadius = 2;
    EXPECT_FALSE(BackgroundLayout::inferredWindowQuickMode(c)) << "not softened enough";
    c.imageAdjustment = {0.95, 3, 1.03, 0, 0};
    EXPECT_EQ(BackgroundLayout::inferredWindowQuickMode(c), BackgroundWindowQuickMode::showcase);
    c.cornerRadius = 27;
    EXPECT_FALSE(BackgroundLayout::inferredWindowQuickMode(c));
}

TEST(WindowQuickModes, ShowcaseMetricsScaleWithinBounds) {
    EXPECT_EQ(BackgroundLayout::showcaseMetrics({400, 300}), (ShowcaseMetrics{108, 92, 24}));
    EXPECT_EQ(BackgroundLayout::showcaseMetrics({1200, 900}), (ShowcaseMetrics{132, 100, 32}));
    EXPECT_EQ(BackgroundLayout::showcaseMetrics({5000, 4000}), (ShowcaseMetrics{152, 100, 34}));
    EXPECT_EQ(BackgroundLayout::showcaseMetrics({0, 0}), (ShowcaseMetrics{108, 92, 24}));
}

TEST(BackgroundTemplates, ApplyingATemplateTakesItsCanvasFrameAndSpacing) {
    ASSERT_EQ(BackgroundTemplate::all().size(), 5u);
    const auto x = BackgroundTemplate::templateFor(BackgroundTemplatePreset::xPost);
    ASSERT_TRUE(x);
    EXPECT_EQ(x->title, "X Post");
    const auto cover = BackgroundTemplate::templateFor(BackgroundTemplatePreset::xiaohongshuCover);
    EXPECT_EQ(cover->aspectPreset, CanvasAspectPreset::custom(1080, 1440));
    EXPECT_EQ(cover->title, "小红书封面");

    const BackgroundComposition start = withSource(wallpaper);
    const auto c =
        BackgroundLayout::compositionByApplying(BackgroundTemplatePreset::xPost, start, {800, 600}, Ctx::region);
    EXPECT_EQ(c.aspectPreset, CanvasAspectPreset::custom(1200, 628));
    EXPECT_EQ(c.frameStyle, BackgroundFrameStyle::browserDark);
    EXPECT_EQ(c.padding, 64);
    EXPECT_EQ(c.shadowStrength, 60);
    EXPECT_EQ(c.cornerRadius, 20);
    EXPECT_EQ(c.appliedTemplateID, BackgroundTemplatePreset::xPost);
    EXPECT_EQ(c.source, wallpaper) << "the background stays";
    const auto layout = BackgroundLayout::make({800, 600}, c);
    EXPECT_NEAR(layout.canvasSize.width / layout.canvasSize.height, 1200.0 / 628, 0.005);
}

} // namespace
} // namespace brisklet
