#include "ZelvorApp/Editor/EditorTestSupport.h"
#include "ZelvorApp/Editor/ScreenshotTextGeometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace brisklet {
namespace {

using testing_support::EditorHarness;
constexpr double degrees = std::numbers::pi / 180;

Point center(const Rect& r) {
    return {r.midX(), r.midY()};
}

template <class T> bool lastCommandIs(const ScreenshotEditorModel& editor) {
    return !editor.undoStack().empty() && std::holds_alternative<T>(editor.undoStack().back().value);
}

TEST(EditorGestureTest, ShapesAndRedactionsNeedSixPixelsEachWay) {
    EditorHarness h;
    h.editor->selectTool(AnnotationTool::shape());
    h.drag({10, 10}, {15, 50});
    EXPECT_TRUE(h.editor->annotations().empty()) << "5 × 40 is too narrow";
    EXPECT_TRUE(h.editor->undoStack().empty());
    EXPECT_TRUE(h.editor->interactionState().isNone());
    EXPECT_FALSE(h.editor->draftItem()) << "the discarded draft is gone";

    h.drag({10, 10}, {16, 16});
    const auto shapes = h.itemsOf<RectangleAnnotation>();
    ASSERT_EQ(shapes.size(), 1u);
    EXPECT_EQ(shapes[0].rect, (Rect{{10, 10}, {6, 6}}));
    EXPECT_EQ(shapes[0].lineWidth, 4);
    EXPECT_EQ(shapes[0].color, AnnotationColorPalette::fixedColors[0]);
    EXPECT_EQ(h.editor->selectedAnnotationID(), shapes[0].id) << "a new item is selected";

    h.editor->selectTool(AnnotationTool::redaction());
    h.editor->mouseDown({{100, 100}});
    h.editor->mouseDragged({{150, 130}});
    ASSERT_TRUE(h.editor->draftItem());
    EXPECT_EQ(h.editor->draftItem()->as<RedactionAnnotation>()->rect, (Rect{{100, 100}, {50, 30}}));
    h.editor->style().selectRedactionMode(RedactionMode::mosaic);
    h.editor->mouseUp({{160, 140}});
    const auto redactions = h.itemsOf<RedactionAnnotation>();
    ASSERT_EQ(redactions.size(), 1u);
    EXPECT_EQ(redactions[0].mode, RedactionMode::blur) << "the mode is the one chosen when the drag began";
}

TEST(EditorGestureTest, ArrowsAndLinesNeedEightPixelsAndPointsAreClampedIntoTheImage) {
    EditorHarness h;
    h.editor->selectTool(AnnotationTool::arrow());
    h.drag({10, 10}, {17.9, 10});
    EXPECT_TRUE(h.editor->annotations().empty());
    h.drag({10, 10}, {18, 10});
    ASSERT_EQ(h.itemsOf<ArrowAnnotation>().size(), 1u);

    h.editor->selectTool(AnnotationTool::line());
    h.drag({390, 290}, {900, 900});
    const auto lines = h.itemsOf<LineAnnotation>();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].end, (Point{400, 300})) << "the pointer left the image; the end stays on its edge";
}

TEST(EditorGestureTest, NumbersContinueFromTheLargestAndRestartAfterDeletingAll) {
    EditorHarness h;
    h.editor->selectTool(AnnotationTool::number());
    h.click({20, 20});
    h.click({80, 20});
    h.editor->appendAnnotation(NumberAnnotation{Uuid::generate(), {140, 20}, 5, StoredColor{}, 28});
    h.click({200, 20});
    auto numbers = h.itemsOf<NumberAnnotation>();
    ASSERT_EQ(numbers.size(), 4u);
    EXPECT_EQ(numbers[0].value, 1);
    EXPECT_EQ(numbers[1].value, 2);
    EXPECT_EQ(numbers[3].value, 6);
    EXPECT_EQ(numbers[3].diameter, 28);

    for (const auto& number : numbers) {
        h.click(number.center); // selects the number under the pointer
        EXPECT_TRUE(h.key("DELETE"));
    }
    EXPECT_TRUE(h.editor->annotations().empty());
    h.click({50, 50});
    numbers = h.itemsOf<NumberAnnotation>();
    ASSERT_EQ(numbers.size(), 1u);
    EXPECT_EQ(numbers[0].value, 1);
}

TEST(EditorGestureTest, StrokesTakeTheBrushWidthButHighlightersAlwaysFourteen) {
    EditorHarness h;
    h.editor->selectAnnotationStrokeWidth(9); // no tool yet: nothing to apply it to
    h.editor->selectTool(AnnotationTool::stroke(StrokeMode::brush));
    h.editor->selectAnnotationStrokeWidth(9);
    h.click({30, 30});
    EXPECT_TRUE(h.editor->annotations().empty()) << "a click is a single point, not a stroke";
    h.drag({30, 30}, {90, 60}, 6);
    h.editor->selectTool(AnnotationTool::stroke(StrokeMode::highlighter));
    h.click({300, 250}); // deselects the brush stroke so the width below cannot apply to it
    h.editor->selectAnnotationStrokeWidth(3);
    h.drag({30, 100}, {90, 100});
    const auto strokes = h.itemsOf<StrokeAnnotation>();
    ASSERT_EQ(strokes.size(), 2u);
    EXPECT_EQ(strokes[0].lineWidth, 9);
    EXPECT_EQ(strokes[0].points.size(), 7u) << "the press and every drag point";
    EXPECT_EQ(strokes[1].mode, StrokeMode::highlighter);
    EXPECT_EQ(strokes[1].lineWidth, 14);
}

TEST(EditorGestureTest, MovingRecordsOneReplaceAndUndoWalksBackMoveThenAdd) {
    EditorHarness h;
    h.editor->selectTool(AnnotationTool::shape());
    h.editor->style().selectShapeFillMode(ShapeFillMode::fill);
    h.drag({50, 50}, {150, 120});
    h.editor->selectTool(std::nullopt);
    const auto id = h.itemsOf<RectangleAnnotation>().at(0).id;

    h.drag({100, 80}, {130, 100}, 5);
    EXPECT_EQ(h.itemsOf<RectangleAnnotation>()[0].rect.origin, (Point{80, 70}));
    ASSERT_EQ(h.editor->undoStack().size(), 2u) << "one add, one replace for the whole drag";
    EXPECT_TRUE(lastCommandIs<AnnotationCommand::Replace>(*h.editor));

    h.click({300, 250}); // empty image: clears the selection
    EXPECT_FALSE(h.editor->selectedAnnotationID());
    EXPECT_TRUE(h.key("Z", HotkeyModifiers::command));
    EXPECT_EQ(h.itemsOf<RectangleAnnotation>()[0].rect.origin, (Point{50, 50}));
    EXPECT_EQ(h.editor->selectedAnnotationID(), id) << "undo selects what it put back";
    h.editor->undoLastCommand();
    EXPECT_TRUE(h.editor->annotations().empty());
    EXPECT_FALSE(h.editor->selectedAnnotationID());
    h.editor->undoLastCommand(); // nothing left: no effect
    EXPECT_FALSE(h.editor->toolbarState().canUndo);
}

TEST(EditorGestureTest, ClickingWithoutMovingRecordsNothingAndUndoRestoresDeletedItemsInPlace) {
    EditorHarness h;
    h.editor->selectTool(AnnotationTool::line());
    h.drag({10, 10}, {100, 10});
    h.drag({10, 50}, {100, 50});
    h.drag({10, 90}, {100, 90});
    h.editor->selectTool(std::nullopt);
    const auto middle = h.itemsOf<LineAnnotation>()[1].id;
    h.click({50, 50});
    EXPECT_EQ(h.editor->undoStack().size(), 3u) << "a click on an item selects it without a command";
    EXPECT_TRUE(h.key("FORWARD_DELETE"));
    EXPECT_EQ(h.editor->annotations().size(), 2u);
    EXPECT_FALSE(h.editor->selectedAnnotationID());
    EXPECT_TRUE(lastCommandIs<AnnotationCommand::Remove>(*h.editor));
    h.editor->undoLastCommand();
    ASSERT_EQ(h.editor->annotations().size(), 3u);
    EXPECT_EQ(h.editor->annotations()[1].id(), middle) << "back at its old position in the stack";
    EXPECT_EQ(h.editor->selectedAnnotationID(), middle);
}

TEST(EditorGestureTest, HandlesResizeRectanglesNumbersAndEndpoints) {
    EditorHarness h;
    h.editor->selectTool(AnnotationTool::shape());
    h.drag({100, 100}, {200, 150});
    h.drag({200, 150}, {260, 190}); // bottom-right handle of the selected rectangle
    EXPECT_EQ(h.itemsOf<RectangleAnnotation>()[0].rect, (Rect{{100, 100}, {160, 90}}));
    h.drag({100, 145}, {400, 145}); // left edge handle dragged far past the right edge
    EXPECT_EQ(h.itemsOf<RectangleAnnotation>()[0].rect, (Rect{{254, 100}, {6, 90}}))
        << "an edge stops 6 pixels before its opposite";
    EXPECT_EQ(h.editor->undoStack().size(), 3u);

    h.editor->selectTool(AnnotationTool::number());
    h.click({50, 250});
    h.drag({64, 264}, {80, 270}); // bottom-right corner of the square around the disc
    const auto number = h.itemsOf<NumberAnnotation>().at(0);
    EXPECT_EQ(number.diameter, 44);
    EXPECT_EQ(number.center, (Point{58, 258})) << "the top-left corner stayed where it was";

    h.editor->selectTool(AnnotationTool::arrow());
    h.drag({300, 20}, {380, 20});
    h.drag({380, 20}, {380, 80});
    const auto arrow = h.itemsOf<ArrowAnnotation>().at(0);
    EXPECT_EQ(arrow.start, (Point{300, 20}));
    EXPECT_EQ(arrow.end, (Point{380, 80}));
}

TEST(EditorGestureTest, TextsCommitTrimmedAndEmptyEditsRemoveUndoably) {
    EditorHarness h;
    h.editor->selectTool(AnnotationTool::text());
    h.click({100, 100});
    ASSERT_TRUE(h.editor->activeTextEdit());
    EXPECT_FALSE(h.editor->activeTextEdit()->originalItem);
    h.editor->setActiveText("  Hello \n");
    h.click({300, 250}); // ends the edit; does not open another box
    EXPECT_FALSE(h.editor->activeTextEdit());
    auto texts = h.itemsOf<TextAnnotation>();
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].text, "Hello");
    EXPECT_EQ(texts[0].fontSize, 24);
    EXPECT_EQ(h.editor->undoStack().size(), 1u);

    EXPECT_FALSE(h.editor->selectedAnnotationID()) << "the click that ended the edit landed on empty image";
    const Point onText{texts[0].origin.x + 10, texts[0].origin.y + 10};
    h.click(onText); // with the text tool a single click re-opens the text
    ASSERT_TRUE(h.editor->activeTextEdit());
    ASSERT_TRUE(h.editor->activeTextEdit()->originalItem);
    EXPECT_TRUE(h.key("ESC")) << "Escape ends the edit";
    EXPECT_EQ(h.editor->undoStack().size(), 1u) << "an unchanged text records nothing";

    h.editor->selectTool(std::nullopt);
    h.click(onText, 2); // double click re-opens it with any tool
    ASSERT_TRUE(h.editor->activeTextEdit());
    h.editor->setActiveText("Hello, world");
    h.editor->commitActiveTextEdit();
    EXPECT_TRUE(lastCommandIs<AnnotationCommand::Replace>(*h.editor));

    h.click(onText, 2);
    h.editor->setActiveText(" \n ");
    h.editor->commitActiveTextEdit();
    EXPECT_TRUE(h.editor->annotations().empty());
    EXPECT_TRUE(lastCommandIs<AnnotationCommand::Remove>(*h.editor));
    h.editor->undoLastCommand();
    texts = h.itemsOf<TextAnnotation>();
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].text, "Hello, world") << "undo brings back the text as it was before the edit";

    h.editor->selectTool(AnnotationTool::text());
    h.click({50, 250});
    h.editor->setActiveText("   ");
    h.editor->undoLastCommand(); // ends the blank new text (nothing is left of it), then undoes the last edit
    EXPECT_FALSE(h.editor->activeTextEdit());
    texts = h.itemsOf<TextAnnotation>();
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].text, "Hello");
}

TEST(EditorGestureTest, RotatingATextSnapsNearEighthTurns) {
    EditorHarness h;
    h.editor->selectTool(AnnotationTool::text());
    h.click({100, 100});
    h.editor->setActiveText("Hello");
    h.editor->selectTool(std::nullopt); // commits; the new text stays selected
    const auto rotateTo = [&](double angleDegrees) {
        const auto chrome = *h.editor->textChrome();
        const Point c = chrome.rotationCenter;
        const Point handle = center(chrome.rotateHandleRect);
        const double start = std::atan2(handle.y - c.y, handle.x - c.x);
        const double target = start + angleDegrees * degrees;
        h.drag(ScreenshotTextGeometry::rotated(handle, c, chrome.rotation),
               {c.x + 40 * std::cos(target), c.y + 40 * std::sin(target)});
        return h.itemsOf<TextAnnotation>().at(0).rotation / degrees;
    };
    EXPECT_NEAR(rotateTo(43), 45, 1e-9);
    EXPECT_NEAR(rotateTo(38), 38, 1e-9);
    EXPECT_EQ(h.editor->undoStack().size(), 3u) << "each rotation is one replace";
}

TEST(EditorGestureTest, ResizingATextSetsItsWrapWidthWithAFloor) {
    EditorHarness h;
    h.editor->selectTool(AnnotationTool::text());
    h.click({100, 100});
    h.editor->setActiveText("one two three four");
    h.editor->commitActiveTextEdit();
    const auto chrome = *h.editor->textChrome();
    const Point handle = center(chrome.resizeHandleRect);
    h.drag(handle, {chrome.borderRect.minX() + 150, handle.y});
    EXPECT_EQ(h.itemsOf<TextAnnotation>()[0].layoutWidth, 150 + 8 - 24);
    h.drag(center(h.editor->textChrome()->resizeHandleRect), {0, handle.y});
    EXPECT_EQ(h.itemsOf<TextAnnotation>()[0].layoutWidth, 80) << "never narrower than 80 points";
}

TEST(EditorGestureTest, AnnotationGesturesWaitForTheAnnotationMode) {
    EditorHarness h;
    h.editor->selectTool(AnnotationTool::shape());
    h.editor->setInteractionMode(EditorInteractionMode::classicOCR);
    h.drag({10, 10}, {100, 100});
    EXPECT_TRUE(h.editor->annotations().empty());
    h.editor->setInteractionMode(EditorInteractionMode::annotation);
    h.drag({10, 10}, {100, 100});
    EXPECT_EQ(h.editor->annotations().size(), 1u);
}

} // namespace
} // namespace brisklet
