#include "ZelvorApp/Background/BackgroundGradientGenerator.h"
#include "ZelvorApp/Background/BackgroundPreset.h"
#include "ZelvorApp/Editor/EditorBackgroundPanelModel.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace brisklet {
namespace {

const Size content{800, 600};

/// The preferences as the application stores them, changed only through the updater.
struct StoredPreferences {
    AppPreferences preferences;
    int writes = 0;

    PreferencesUpdater updater() {
        return [this](const std::function<void(AppPreferences&)>& change) {
            change(preferences);
            ++writes;
        };
    }
};

EditorBackgroundPanelModel::Setup setupFor(StoredPreferences& stored) {
    EditorBackgroundPanelModel::Setup setup;
    setup.contentSize = content;
    setup.updatePreferences = stored.updater();
    auto counter = std::make_shared<int>(0);
    setup.makePresetID = [counter] { return "preset-" + std::to_string(++*counter); };
    setup.untitledName = [](int n) { return "Preset " + std::to_string(n); };
    return setup;
}

SavedBackgroundPreset savedPreset(std::string id, double padding) {
    BackgroundComposition composition;
    composition.padding = padding;
    composition.aspectPreset = {CanvasAspectPreset::Kind::automatic};
    return {std::move(id), "Mine", composition};
}

TEST(EditorBackgroundPanelModelOpening, StartsWithoutBackgroundUnlessAutoApplyIsOn) {
    StoredPreferences stored;
    EditorBackgroundPanelModel off(stored.preferences, setupFor(stored));
    EXPECT_FALSE(off.startsWithBackground());
    EXPECT_FALSE(off.isOn());
    EXPECT_FALSE(off.startsWithPanelOpen());

    stored.preferences.backgroundAutoApplyEnabled = true;
    stored.preferences.backgroundToolEnabledByDefault = true;
    EditorBackgroundPanelModel on(stored.preferences, setupFor(stored));
    EXPECT_TRUE(on.startsWithBackground());
    EXPECT_TRUE(on.startsWithPanelOpen());
    ASSERT_TRUE(on.isOn());
    EXPECT_EQ(*on.composition(),
              BackgroundLayout::balancedComposition(BackgroundComposition{}, content, BackgroundCaptureContext::region));
    EXPECT_EQ(stored.writes, 0) << "opening alone stores nothing";
}

TEST(EditorBackgroundPanelModelOpening, TurningOnUsesTheDefaultSavedPresetThenTheLastComposition) {
    StoredPreferences stored;
    BackgroundComposition last;
    last.padding = 33;
    stored.preferences.lastBackgroundComposition = last;
    stored.preferences.savedBackgroundPresets = {savedPreset("a", 90)};

    EditorBackgroundPanelModel lastUsed(stored.preferences, setupFor(stored));
    lastUsed.turnOn();
    ASSERT_TRUE(lastUsed.isOn());
    EXPECT_EQ(lastUsed.composition()->padding, 33);
    EXPECT_FALSE(lastUsed.selectedSavedPresetID());

    stored.preferences.defaultBackgroundPresetID = "a";
    EditorBackgroundPanelModel byDefault(stored.preferences, setupFor(stored));
    byDefault.toggle();
    ASSERT_TRUE(byDefault.isOn());
    EXPECT_EQ(byDefault.composition()->padding, 90);
    EXPECT_EQ(byDefault.selectedSavedPresetID(), std::optional<std::string>("a"));

    byDefault.toggle();
    EXPECT_FALSE(byDefault.isOn());
    EXPECT_FALSE(byDefault.selectedSavedPresetID());
    EXPECT_EQ(byDefault.layout().canvasSize, content) << "off: the canvas is the bare screenshot";
}

TEST(EditorBackgroundPanelModelEditing, EveryChangeShowsAndIsRemembered) {
    StoredPreferences stored;
    EditorBackgroundPanelModel model(stored.preferences, setupFor(stored));
    int changes = 0;
    model.onChange = [&] { ++changes; };
    model.turnOn();
    model.applyPreset("dark-moon");
    model.setPadding(40);
    model.applyAspect({CanvasAspectPreset::Kind::automatic});
    ASSERT_TRUE(stored.preferences.lastBackgroundComposition);
    EXPECT_EQ(*stored.preferences.lastBackgroundComposition, *model.composition());
    EXPECT_EQ(std::get<BackgroundSource::Preset>(model.composition()->source.value).id, "dark-moon");
    EXPECT_EQ(model.layout().canvasSize, (Size{880, 680}));
    EXPECT_EQ(changes, 4);

    const int writes = stored.writes;
    model.setPadding(40);
    EXPECT_EQ(stored.writes, writes) << "the same value again changes nothing";
}

TEST(EditorBackgroundPanelModelEditing, SlidersStayWithinTheirRanges) {
    StoredPreferences stored;
    EditorBackgroundPanelModel model(stored.preferences, setupFor(stored));
    model.setPadding(-20);
    ASSERT_TRUE(model.isOn()) << "a slider turns the background on";
    EXPECT_EQ(model.composition()->padding, 0);
    model.setShadowStrength(500);
    EXPECT_EQ(model.composition()->shadowStrength, 100);
    model.setCornerRadius(1000);
    EXPECT_EQ(model.composition()->cornerRadius, EditorBackgroundPanelModel::cornerRadiusRange.maximum);
    model.setImageZoom(0.2);
    EXPECT_EQ(model.composition()->imageAdjustment.scale, 1);
    model.setImageBlur(12);
    model.setImageBrightness(0.8);
    EXPECT_EQ(model.composition()->imageAdjustment.blurRadius, 12);
    model.resetImageAdjustment();
    EXPECT_EQ(model.composition()->imageAdjustment, BackgroundImageAdjustment{});
}

TEST(EditorBackgroundPanelModelEditing, SourcesAndTheirAdjustments) {
    StoredPreferences stored;
    EditorBackgroundPanelModel model(stored.preferences, setupFor(stored));
    model.turnOn();
    EXPECT_FALSE(model.adjustsImage());
    const StoredColor teal{0, 0.5, 0.5, 1};
    model.applySolidColor(teal);
    EXPECT_EQ(model.solidColor(), teal);
    model.applyCustomImage("/pictures/beach.png");
    EXPECT_TRUE(model.adjustsImage());
    EXPECT_FALSE(model.solidColor());
    model.applyDesktopWallpaper();
    EXPECT_TRUE(model.adjustsImage());
    model.applyTransparent();
    EXPECT_FALSE(model.adjustsImage());

    model.applyRandomGradient(7);
    const auto& id = std::get<BackgroundSource::Preset>(model.composition()->source.value).id;
    const auto pair = BackgroundGradientGenerator::generate(7);
    EXPECT_EQ(id, BackgroundPreset::generatedGradientID(pair.start, pair.end));
    EXPECT_TRUE(BackgroundPreset::presetFor(id)) << "the generated id is a usable preset";
}

TEST(EditorBackgroundPanelModelEditing, LooksComeFromTheLayoutRules) {
    StoredPreferences stored;
    EditorBackgroundPanelModel model(stored.preferences, setupFor(stored));
    model.turnOn();
    const BackgroundComposition before = *model.composition();
    model.applyTemplate(BackgroundTemplatePreset::xPost);
    EXPECT_EQ(*model.composition(), BackgroundLayout::compositionByApplying(BackgroundTemplatePreset::xPost, before,
                                                                            content, BackgroundCaptureContext::region));

    model.applyQuickMode(BackgroundWindowQuickMode::clean);
    EXPECT_EQ(model.highlightedQuickMode(), BackgroundWindowQuickMode::clean);
    model.applyQuickMode(BackgroundWindowQuickMode::elevated);
    EXPECT_EQ(model.highlightedQuickMode(), BackgroundWindowQuickMode::elevated);
    model.setPadding(20);
    EXPECT_FALSE(model.highlightedQuickMode()) << "a hand-made look highlights no quick mode";

    model.applyPresentation(WindowPresentationMode::wallpaper);
    EXPECT_TRUE(std::holds_alternative<BackgroundSource::DesktopWallpaper>(model.composition()->source.value));
    EXPECT_GE(model.composition()->padding, 108);

    model.applyBalancedLayout();
    EXPECT_EQ(*model.composition(),
              BackgroundLayout::balancedComposition(*model.composition(), content, BackgroundCaptureContext::region));
}

TEST(EditorBackgroundPanelModelSavedPresets, SaveRenameDefaultAndDeleteReachTheStoredPreferences) {
    StoredPreferences stored;
    EditorBackgroundPanelModel model(stored.preferences, setupFor(stored));
    EXPECT_FALSE(model.saveCurrent("Nothing")) << "nothing to save while off";
    model.turnOn();
    model.setPadding(50);
    const auto saved = model.saveCurrent("  Launch  ");
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->name, "Launch");
    EXPECT_EQ(saved->composition.padding, 50);
    EXPECT_EQ(model.selectedSavedPresetID(), saved->id);
    ASSERT_EQ(stored.preferences.savedBackgroundPresets.size(), 1u);
    EXPECT_EQ(stored.preferences.savedBackgroundPresets[0], *saved);

    const auto untitled = model.saveCurrent("   ");
    const auto second = model.saveCurrent("");
    ASSERT_TRUE(untitled && second);
    EXPECT_EQ(untitled->name, "Preset 1");
    EXPECT_EQ(second->name, "Preset 2") << "a blank name takes the next free number";

    EXPECT_FALSE(model.renameSaved(saved->id, " "));
    EXPECT_FALSE(model.renameSaved("unknown", "Name"));
    EXPECT_TRUE(model.renameSaved(saved->id, "Launch day"));
    EXPECT_EQ(stored.preferences.savedBackgroundPresets[0].name, "Launch day");

    EXPECT_FALSE(model.makeDefault(std::string("unknown")));
    EXPECT_TRUE(model.makeDefault(saved->id));
    EXPECT_EQ(stored.preferences.defaultBackgroundPresetID, saved->id);
    EXPECT_EQ(model.defaultPresetID(), saved->id);

    EXPECT_TRUE(model.deleteSaved(saved->id));
    EXPECT_FALSE(stored.preferences.defaultBackgroundPresetID) << "no default points at a deleted preset";
    EXPECT_EQ(stored.preferences.savedBackgroundPresets, model.savedPresets());
    EXPECT_FALSE(model.deleteSaved(saved->id));
}

TEST(EditorBackgroundPanelModelSavedPresets, ApplyingMarksThePresetUntilTheLookChanges) {
    StoredPreferences stored;
    stored.preferences.savedBackgroundPresets = {savedPreset("a", 90)};
    EditorBackgroundPanelModel model(stored.preferences, setupFor(stored));
    EXPECT_FALSE(model.applySaved("missing"));
    EXPECT_FALSE(model.isOn());
    ASSERT_TRUE(model.applySaved("a"));
    EXPECT_EQ(model.composition()->padding, 90);
    EXPECT_EQ(model.selectedSavedPresetID(), std::optional<std::string>("a"));
    model.setPadding(91);
    EXPECT_FALSE(model.selectedSavedPresetID());
}

TEST(EditorBackgroundPanelModelDrag, DraggingMovesTheContentAndIsStoredOnceAtTheEnd) {
    StoredPreferences stored;
    EditorBackgroundPanelModel model(stored.preferences, setupFor(stored));
    model.turnOn();
    model.applyAspect({CanvasAspectPreset::Kind::square});
    model.setPadding(72);
    const BackgroundLayout before = model.layout();
    ASSERT_EQ(before.canvasSize, (Size{944, 944}));
    ASSERT_EQ(before.contentRect.origin, (Point{72, 172}));

    const int writes = stored.writes;
    model.beginContentDrag({400, 400});
    EXPECT_TRUE(model.isDraggingContent());
    model.dragContent({400, 350});
    EXPECT_EQ(model.layout().contentRect.origin, (Point{72, 122}));
    model.dragContent({400, 100});
    EXPECT_EQ(model.layout().contentRect.origin, (Point{72, 72})) << "never closer to the edge than the padding";
    EXPECT_EQ(stored.writes, writes) << "nothing is stored while the pointer moves";
    model.endContentDrag();
    EXPECT_EQ(stored.writes, writes + 1);
    EXPECT_EQ(stored.preferences.lastBackgroundComposition->contentOffset, model.composition()->contentOffset);
    EXPECT_GT(model.composition()->contentOffset.height, 0) << "a stored offset counts upward";

    model.beginContentDrag({10, 10});
    model.dragContent({10, 400});
    model.cancelContentDrag();
    EXPECT_EQ(model.layout().contentRect.origin, (Point{72, 72}));

    model.applyAlignment(CanvasAlignment::bottom);
    EXPECT_EQ(model.composition()->contentOffset, (Size{0, 0})) << "aligning drops the dragged offset";
    EXPECT_EQ(model.layout().contentRect.origin, (Point{72, 272}));
}

TEST(EditorBackgroundPanelModelDrag, TurningOffOrANewImageEndsTheDragAndTheLayoutFollowsTheImage) {
    StoredPreferences stored;
    EditorBackgroundPanelModel model(stored.preferences, setupFor(stored));
    model.turnOn();
    model.applyAspect({CanvasAspectPreset::Kind::automatic});
    model.setPadding(10);
    model.beginContentDrag({5, 5});
    model.setContentSize({200, 100});
    EXPECT_FALSE(model.isDraggingContent());
    EXPECT_EQ(model.layout().canvasSize, (Size{220, 120}));
    model.beginContentDrag({5, 5});
    model.turnOff();
    EXPECT_FALSE(model.isDraggingContent());
    model.dragContent({50, 50});
    EXPECT_FALSE(model.isOn()) << "a stray move after the drag changes nothing";
}

} // namespace
} // namespace brisklet
