#include "ZelvorApp/Editor/BackgroundColorPickerLogic.h"
#include "ZelvorApp/Editor/EditorTestSupport.h"

#include <gtest/gtest.h>

namespace brisklet {
namespace {

using testing_support::EditorHarness;

TEST(EditorStyleTest, StoredStyleIsNormalizedWhenTheEditorOpens) {
    AppPreferences preferences = AppPreferences::defaults();
    preferences.lastAnnotationStrokeWidth = 0.4;
    preferences.lastArrowAnnotationStrokeWidth = 27;
    preferences.lastLineAnnotationStrokeWidth = 2.5;
    preferences.lastAnnotationTextFontSize = 22;
    preferences.lastAnnotationColorHex = " 1e90ff\n";
    preferences.recentAnnotationColorHexes = {"#FF3B30", "bad", "#123456"};
    EditorHarness h(preferences);
    const auto& o = h.editor->style().options();
    EXPECT_EQ(o.selectedShapeStrokeWidth, 1) << "the legacy width 0.4 rounds up to the minimum";
    EXPECT_EQ(o.selectedBrushStrokeWidth, 1);
    EXPECT_EQ(o.selectedArrowStrokeWidth, 20);
    EXPECT_EQ(o.selectedLineStrokeWidth, 3) << "halves round away from zero";
    EXPECT_EQ(o.selectedTextFontSize, 24);
    EXPECT_EQ(BackgroundColorPickerLogic::hexString(o.selectedColor), "#1E90FF");
    ASSERT_EQ(h.editor->style().recentColors().size(), 1u) << "fixed red and junk are dropped";
    EXPECT_EQ(BackgroundColorPickerLogic::hexString(h.editor->style().recentColors()[0]), "#123456");

    AppPreferences nothingStored = AppPreferences::defaults();
    nothingStored.lastAnnotationColorHex = "not a colour";
    EditorHarness fresh(nothingStored);
    EXPECT_EQ(fresh.editor->style().options().selectedTextFontSize, 24);
    EXPECT_EQ(fresh.editor->style().options().selectedShapeStrokeWidth, 4);
    EXPECT_EQ(fresh.editor->style().options().selectedColor, AnnotationColorPalette::fixedColors[0]);
    EXPECT_EQ(AnnotationToolOptions::snappedFontSize(30), 24) << "of two equally near sizes the first wins";
    EXPECT_EQ(AnnotationToolOptions::snappedFontSize(100), 72);
}

TEST(EditorStyleTest, WidthAppliesToTheSelectionOnceAndIsRememberedPerFamily) {
    EditorHarness h;
    h.editor->selectTool(AnnotationTool::shape());
    h.drag({10, 10}, {100, 100});
    h.editor->selectAnnotationStrokeWidth(7.6);
    EXPECT_EQ(h.itemsOf<RectangleAnnotation>()[0].lineWidth, 8);
    EXPECT_EQ(h.editor->undoStack().size(), 2u);
    h.editor->selectAnnotationStrokeWidth(8);
    EXPECT_EQ(h.editor->undoStack().size(), 2u) << "no command when nothing changes";
    EXPECT_EQ(h.storedPreferences.lastShapeAnnotationStrokeWidth, 8);
    EXPECT_FALSE(h.storedPreferences.lastArrowAnnotationStrokeWidth);
    h.editor->undoLastCommand();
    EXPECT_EQ(h.itemsOf<RectangleAnnotation>()[0].lineWidth, 4);

    h.editor->selectTool(AnnotationTool::arrow());
    h.click({300, 250});
    h.editor->selectAnnotationStrokeWidth(50);
    EXPECT_EQ(h.storedPreferences.lastArrowAnnotationStrokeWidth, 20);
    h.drag({200, 200}, {300, 200});
    EXPECT_EQ(h.itemsOf<ArrowAnnotation>()[0].lineWidth, 20);
}

TEST(EditorStyleTest, FontSizeAppliesToTheEditedOrSelectedText) {
    EditorHarness h;
    h.editor->selectTool(AnnotationTool::text());
    h.click({50, 50});
    h.editor->setActiveText("Note");
    h.editor->selectTextFontSize(50);
    EXPECT_EQ(h.editor->activeText()->fontSize, 48);
    h.editor->commitActiveTextEdit();
    EXPECT_EQ(h.editor->undoStack().size(), 1u) << "a new text is one add, whatever happened while typing";
    h.editor->selectTextFontSize(12);
    EXPECT_EQ(h.itemsOf<TextAnnotation>()[0].fontSize, 12);
    EXPECT_EQ(h.editor->undoStack().size(), 2u);
    EXPECT_EQ(h.storedPreferences.lastAnnotationTextFontSize, 12);
}

TEST(EditorStyleTest, ColoursRecolourOnlyTextsAndFeedTheRecentList) {
    EditorHarness h;
    h.editor->selectTool(AnnotationTool::shape());
    h.drag({10, 10}, {100, 100});
    const StoredColor blue = AnnotationColorPalette::fixedColors[3];
    h.editor->style().selectColor(blue);
    EXPECT_EQ(h.itemsOf<RectangleAnnotation>()[0].color, AnnotationColorPalette::fixedColors[0])
        << "a selected shape keeps its colour";
    EXPECT_EQ(h.editor->toolbarState().selectedColor, blue);
    EXPECT_EQ(h.storedPreferences.lastAnnotationColorHex, "#0A84FF");
    EXPECT_TRUE(h.storedPreferences.recentAnnotationColorHexes.empty()) << "fixed colours never enter the history";

    h.editor->selectTool(AnnotationTool::text());
    h.click({200, 200});
    h.editor->setActiveText("Label");
    h.editor->commitActiveTextEdit();
    const auto commandsBefore = h.editor->undoStack().size();
    const StoredColor custom = *BackgroundColorPickerLogic::colorFromHex("#336699");
    h.editor->style().previewColor(custom);
    h.editor->style().previewColor(*BackgroundColorPickerLogic::colorFromHex("#123123"));
    EXPECT_EQ(BackgroundColorPickerLogic::hexString(h.itemsOf<TextAnnotation>()[0].color), "#123123");
    EXPECT_EQ(h.editor->undoStack().size(), commandsBefore) << "previews record nothing";
    h.editor->style().cancelColorPreview();
    EXPECT_EQ(h.itemsOf<TextAnnotation>()[0].color, blue);

    h.editor->style().previewColor(*BackgroundColorPickerLogic::colorFromHex("#123123"));
    h.editor->style().selectColor(custom);
    EXPECT_EQ(h.itemsOf<TextAnnotation>()[0].color, custom);
    ASSERT_EQ(h.editor->undoStack().size(), commandsBefore + 1);
    const auto& replace = std::get<AnnotationCommand::Replace>(h.editor->undoStack().back().value);
    EXPECT_EQ(replace.before.as<TextAnnotation>()->color, blue) << "recorded from before the preview began";
    EXPECT_EQ(h.storedPreferences.recentAnnotationColorHexes, (std::vector<std::string>{"#336699"}));
    EXPECT_EQ(h.editor->style().recentColors().size(), 1u);
}

TEST(EditorStyleTest, EnhancedColoursArePersistedAndWidenHitAreas) {
    EditorHarness h;
    h.editor->selectTool(AnnotationTool::line());
    h.drag({10, 100}, {200, 100});
    h.editor->selectTool(std::nullopt);
    EXPECT_FALSE(h.editor->annotationHit({100, 107.5})) << "reach is 4 + 2 = 6, or 8 when enhanced";
    h.editor->style().setEnhanceAnnotationColors(true);
    EXPECT_TRUE(h.editor->annotationHit({100, 107.5}));
    EXPECT_TRUE(h.storedPreferences.enhanceAnnotationColors);
    EXPECT_TRUE(h.editor->renderOptions().enhanceColors);
}

} // namespace
} // namespace brisklet
