#include "ZelvorApp/Recording/GIFAnnotationCanvasModel.h"

#include <gtest/gtest.h>

#include <variant>

namespace brisklet {
namespace {

class GIFAnnotationCanvasTest : public ::testing::Test {
protected:
    double now = 0;
    GIFAnnotationPrototypeSession session{[this] { return now; }};
    GIFAnnotationCanvasModel canvas{session, Size{200, 100}};
};

TEST_F(GIFAnnotationCanvasTest, LetsTheMouseThroughUntilAnnotationModeIsOnAndAfterItIsOff) {
    int changes = 0;
    canvas.onChanged = [&] { ++changes; };
    EXPECT_TRUE(canvas.passesInputThrough());
    canvas.press(Point{10, 10});
    EXPECT_FALSE(canvas.release(Point{80, 60})) << "outside annotation mode nothing is drawn";
    EXPECT_TRUE(session.activeAnnotations().empty());

    canvas.toggleAnnotationMode();
    EXPECT_FALSE(canvas.passesInputThrough());
    EXPECT_GT(changes, 0) << "the window hears that it must take the mouse";
    canvas.chooseTool(GIFPrototypeTool::ellipse);
    EXPECT_FALSE(canvas.passesInputThrough()) << "another tool keeps annotation mode";
    canvas.chooseTool(GIFPrototypeTool::ellipse);
    EXPECT_TRUE(canvas.passesInputThrough()) << "the chosen tool again gives the mouse back";
    canvas.chooseTool(GIFPrototypeTool::line);
    EXPECT_FALSE(canvas.passesInputThrough());
    canvas.toggleAnnotationMode();
    EXPECT_TRUE(canvas.passesInputThrough());
}

TEST_F(GIFAnnotationCanvasTest, ADragShowsItsShapeLiveAndCommitsItWithTheRecordingTime) {
    canvas.chooseTool(GIFPrototypeTool::rectangle);
    now = 1.5;
    canvas.press(Point{10, 10});
    canvas.move(Point{30, 30});
    ASSERT_TRUE(canvas.preview().has_value());
    EXPECT_EQ(canvas.visibleAnnotations().size(), 1u);
    EXPECT_TRUE(session.activeAnnotations().empty());
    now = 2.0;
    EXPECT_TRUE(canvas.release(Point{60, 40}));
    EXPECT_FALSE(canvas.preview().has_value());
    ASSERT_EQ(session.activeAnnotations().size(), 1u);
    const auto* rect = std::get_if<GIFPrototypeRectangleAnnotation>(&session.activeAnnotations()[0].payload);
    ASSERT_NE(rect, nullptr);
    EXPECT_EQ(rect->rect, (Rect{{10, 10}, {50, 30}}));
    EXPECT_TRUE(session.timeline().activeAnnotations(1.9).empty());
    EXPECT_EQ(session.timeline().activeAnnotations(2.0).size(), 1u);
}

TEST_F(GIFAnnotationCanvasTest, TooSmallGesturesMakeNothingAndStrokesKeepTheirPath) {
    canvas.chooseTool(GIFPrototypeTool::rectangle);
    canvas.press(Point{10, 10});
    EXPECT_FALSE(canvas.release(Point{15, 50})) << "5 points wide";
    canvas.chooseTool(GIFPrototypeTool::brush);
    canvas.press(Point{10, 10});
    canvas.move(Point{20, 12});
    canvas.move(Point{20, 12});
    canvas.move(Point{40, 30});
    EXPECT_TRUE(canvas.release(Point{250, 30}));
    ASSERT_EQ(session.activeAnnotations().size(), 1u);
    const auto* stroke = std::get_if<GIFPrototypeStrokeAnnotation>(&session.activeAnnotations()[0].payload);
    ASSERT_NE(stroke, nullptr);
    ASSERT_EQ(stroke->points.size(), 4u) << "duplicates dropped";
    EXPECT_EQ(stroke->points.back(), (Point{200, 30})) << "clamped to the canvas";
}

TEST_F(GIFAnnotationCanvasTest, NumbersCountTheMarkersShowingAndAbandonedGesturesLeaveNoTrace) {
    canvas.chooseTool(GIFPrototypeTool::number);
    canvas.press(Point{20, 20});
    EXPECT_TRUE(canvas.release(Point{20, 20}));
    canvas.press(Point{60, 20});
    EXPECT_TRUE(canvas.release(Point{60, 20}));
    const auto* second = std::get_if<GIFPrototypeNumberAnnotation>(&session.activeAnnotations()[1].payload);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->value, 2);
    canvas.chooseTool(GIFPrototypeTool::arrow);
    canvas.press(Point{0, 0});
    canvas.move(Point{50, 50});
    canvas.abandonGesture();
    EXPECT_FALSE(canvas.release(Point{80, 80}));
    EXPECT_EQ(session.activeAnnotations().size(), 2u);
}

} // namespace
} // namespace brisklet

namespace brisklet {
namespace {

TEST_F(GIFAnnotationCanvasTest, ATextClickStartsATextThatIsTypedInPlaceThenCommittedOrDropped) {
    canvas.chooseTool(GIFPrototypeTool::text);
    canvas.press(Point{30, 40});
    EXPECT_FALSE(canvas.release(Point{30, 40}));
    ASSERT_TRUE(canvas.pendingTextOrigin().has_value());
    EXPECT_EQ(*canvas.pendingTextOrigin(), (Point{30, 40}));
    canvas.typeText("  ");
    EXPECT_FALSE(canvas.commitText()) << "a blank text makes nothing";
    EXPECT_FALSE(canvas.pendingTextOrigin().has_value());

    canvas.press(Point{250, 40});
    canvas.release(Point{250, 40});
    canvas.typeText("Look h");
    canvas.typeText("\xC3\xA9");
    canvas.deleteBackward(); // the whole two-byte character
    canvas.typeText("ere");
    ASSERT_TRUE(canvas.preview().has_value()) << "the text shows while it is typed";
    EXPECT_TRUE(session.activeAnnotations().empty());
    now = 3;
    // Clicking elsewhere keeps what was typed and starts a new text there.
    canvas.press(Point{10, 90});
    canvas.release(Point{10, 90});
    ASSERT_EQ(session.activeAnnotations().size(), 1u);
    const auto* text = std::get_if<GIFPrototypeTextAnnotation>(&session.activeAnnotations()[0].payload);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->text, "Look here");
    EXPECT_EQ(text->origin, (Point{200, 40})) << "clamped to the canvas";
    EXPECT_TRUE(session.timeline().activeAnnotations(2.9).empty());

    canvas.typeText("dropped");
    canvas.cancelText();
    EXPECT_FALSE(canvas.commitText());
    canvas.press(Point{10, 10});
    canvas.release(Point{10, 10});
    canvas.typeText("gone");
    canvas.toggleAnnotationMode();
    EXPECT_FALSE(canvas.pendingTextOrigin().has_value()) << "leaving annotation mode drops the text";
    EXPECT_EQ(session.activeAnnotations().size(), 1u);
}

} // namespace
} // namespace brisklet
