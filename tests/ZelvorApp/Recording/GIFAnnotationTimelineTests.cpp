#include "ZelvorApp/Recording/GIFAnnotationPrototypeSession.h"

#include <gtest/gtest.h>

namespace brisklet {
namespace {

GIFPrototypeAnnotation rectangle(double x) {
    return GIFPrototypeAnnotation{Uuid::generate(),
                                  GIFPrototypeRectangleAnnotation{Rect{{x, 0}, {10, 10}}, {}, 4, false}};
}
GIFPrototypeAnnotation number(int value) {
    return GIFPrototypeAnnotation{Uuid::generate(), GIFPrototypeNumberAnnotation{{5, 5}, value, {}, 28}};
}

std::vector<Uuid> ids(const std::vector<GIFPrototypeAnnotation>& annotations) {
    std::vector<Uuid> result;
    for (const auto& a : annotations)
        result.push_back(a.id);
    return result;
}

class GIFAnnotationSessionTest : public ::testing::Test {
protected:
    double now = 0;
    GIFAnnotationPrototypeSession session{[this] { return now; }};
};

TEST_F(GIFAnnotationSessionTest, UndoAndRedoReplayAtTheirRecordingTimes) {
    const auto a = rectangle(0), b = rectangle(20);
    now = 1;
    session.commit(a);
    now = 2;
    session.commit(b);
    now = 3;
    session.undo();
    now = 4;
    session.redo();
    const auto& timeline = session.timeline();
    EXPECT_TRUE(timeline.activeAnnotations(0.5).empty());
    EXPECT_EQ(ids(timeline.activeAnnotations(1.0)), (std::vector<Uuid>{a.id})); // an event at t counts at t
    EXPECT_EQ(ids(timeline.activeAnnotations(2.5)), (std::vector<Uuid>{a.id, b.id}));
    EXPECT_EQ(ids(timeline.activeAnnotations(3.5)), (std::vector<Uuid>{a.id}));
    EXPECT_EQ(ids(timeline.activeAnnotations(4.5)), (std::vector<Uuid>{a.id, b.id}));
    EXPECT_EQ(ids(session.activeAnnotations()), (std::vector<Uuid>{a.id, b.id}));
}

TEST_F(GIFAnnotationSessionTest, ReplayKeepsFirstAdditionOrderAfterRedoingAnOlderDrawing) {
    const auto a = rectangle(0), b = rectangle(20), c = rectangle(40);
    now = 1;
    session.commit(a);
    session.commit(b);
    now = 2;
    session.undo(); // b
    session.undo(); // a
    now = 3;
    session.redo(); // a
    now = 4;
    session.commit(c);
    EXPECT_FALSE(session.canRedo()); // a new drawing empties the redo stack
    session.redo();
    EXPECT_EQ(ids(session.timeline().activeAnnotations(5)), (std::vector<Uuid>{a.id, c.id}));
    EXPECT_EQ(ids(session.timeline().activeAnnotations(2.5)), std::vector<Uuid>{});
}

TEST_F(GIFAnnotationSessionTest, DrawingsUndoneBeforeTheFirstFrameNeverShow) {
    now = 0;
    session.commit(rectangle(0));
    session.undo();
    EXPECT_TRUE(session.timeline().activeAnnotations(0.0).empty());
    EXPECT_TRUE(session.timeline().activeAnnotations(0.05).empty());
    EXPECT_FALSE(session.canUndo());
    EXPECT_TRUE(session.canRedo());
}

TEST_F(GIFAnnotationSessionTest, StateNotificationsAndNumbering) {
    int changes = 0;
    std::vector<bool> modes;
    session.onAnnotationsChanged = [&] { ++changes; };
    session.onAnnotationModeChanged = [&](bool locked) { modes.push_back(locked); };
    session.undo(); // nothing to undo: no event, no notification
    EXPECT_TRUE(session.timeline().events.empty());
    session.commit(number(1));
    session.commit(number(2));
    session.commit(rectangle(0));
    EXPECT_EQ(session.activeNumberCount(), 2);
    session.undo();
    session.undo();
    EXPECT_EQ(session.activeNumberCount(), 1);
    EXPECT_EQ(changes, 5);

    session.toggleTool(GIFPrototypeTool::brush);
    session.toggleTool(GIFPrototypeTool::text);
    session.toggleTool(GIFPrototypeTool::text);
    EXPECT_EQ(modes, (std::vector<bool>{true, false}));
    EXPECT_EQ(session.selectedTool(), GIFPrototypeTool::text);
    const auto plan = session.exportPlan(Size{300, 200});
    EXPECT_EQ(plan.canvasSize, (Size{300, 200}));
    EXPECT_EQ(plan.timeline, session.timeline());
}

} // namespace
} // namespace brisklet

#include "ZelvorApp/Recording/GIFAnnotationCreationRules.h"

namespace brisklet {
namespace {

TEST(GIFAnnotationCreationRulesTest, GesturesTooSmallToMeanAnythingCreateNothing) {
    const Size canvas{200, 100};
    const GIFPrototypeColor red;
    using Rules = GIFAnnotationCreationRules;
    EXPECT_FALSE(Rules::drag(GIFPrototypeTool::rectangle, {10, 10}, {15, 50}, red, canvas)); // 5 × 40
    const auto kept = Rules::drag(GIFPrototypeTool::ellipse, {10, 10}, {16, 16}, red, canvas);
    ASSERT_TRUE(kept);
    EXPECT_EQ(std::get<GIFPrototypeEllipseAnnotation>(kept->payload).lineWidth, 4);
    EXPECT_FALSE(Rules::drag(GIFPrototypeTool::redaction, {0, 0}, {7, 50}, red, canvas));
    EXPECT_TRUE(Rules::drag(GIFPrototypeTool::redaction, {0, 0}, {8, 8}, red, canvas));
    EXPECT_FALSE(Rules::drag(GIFPrototypeTool::arrow, {0, 0}, {3, 4}, red, canvas)); // length 5
    EXPECT_TRUE(Rules::drag(GIFPrototypeTool::line, {0, 0}, {6, 0}, red, canvas));

    // Points outside the canvas are pulled onto its edge.
    const auto clamped = Rules::drag(GIFPrototypeTool::rectangle, {-50, -50}, {500, 50}, red, canvas);
    ASSERT_TRUE(clamped);
    EXPECT_EQ(std::get<GIFPrototypeRectangleAnnotation>(clamped->payload).rect, (Rect{{0, 0}, {200, 50}}));

    EXPECT_FALSE(Rules::stroke(GIFPrototypeTool::brush, {{1, 1}, {1, 1}, {1, 1}}, red, canvas));
    const auto highlight = Rules::stroke(GIFPrototypeTool::highlighter, {{1, 1}, {1, 1}, {2, 2}, {2, 2}}, red, canvas);
    ASSERT_TRUE(highlight);
    const auto& stroke = std::get<GIFPrototypeStrokeAnnotation>(highlight->payload);
    EXPECT_EQ(stroke.points.size(), 2u);
    EXPECT_TRUE(stroke.isHighlighter);
    EXPECT_EQ(stroke.lineWidth, 12);

    const auto marker = Rules::number({300, 40}, 2, red, canvas);
    EXPECT_EQ(std::get<GIFPrototypeNumberAnnotation>(marker.payload).value, 3);
    EXPECT_EQ(std::get<GIFPrototypeNumberAnnotation>(marker.payload).center, (Point{200, 40}));
}

} // namespace
} // namespace brisklet
