#include "Platform/Fake/FakeAnnotationRenderer.h"
#include "ZelvorApp/Editor/AnnotationDocument.h"
#include "ZelvorApp/Editor/AnnotationHitTester.h"
#include "ZelvorApp/Editor/ScreenshotTextLayout.h"

#include <gtest/gtest.h>

#include <numbers>

namespace brisklet {
namespace {

const StoredColor blue{0.039, 0.518, 1.0, 1};

class HitTest : public ::testing::Test {
protected:
    FakeAnnotationRenderer measurer;
    TextLayoutCache layout{measurer};
    AnnotationDocument document{layout};

    bool hits(const AnnotationItem& item, Point p, double scale = 1, bool enhanced = false) {
        return AnnotationHitTester::contains(item, p, {scale, enhanced}, layout);
    }
};

TEST_F(HitTest, StrokedShapesAreHitNearTheirOutlineFilledOnesAnywhereInside) {
    const AnnotationItem outline = RectangleAnnotation{
        Uuid::generate(), {{100, 100}, {200, 100}}, ShapeKind::rectangle, ShapeFillMode::stroke, blue, 4};
    const AnnotationItem filled = RectangleAnnotation{
        Uuid::generate(), {{100, 100}, {200, 100}}, ShapeKind::rectangle, ShapeFillMode::fill, blue, 4};
    EXPECT_FALSE(hits(outline, {200, 150})) << "the middle of an unfilled rectangle is see-through";
    EXPECT_TRUE(hits(filled, {200, 150}));
    // Reach around the outline: t (4 view points) + half the width (2) = 6 pixels at scale 1.
    EXPECT_TRUE(hits(outline, {100, 150}));
    EXPECT_TRUE(hits(outline, {94, 150}));
    EXPECT_FALSE(hits(outline, {93.9, 150}));
    EXPECT_TRUE(hits(outline, {105.9, 150}));
    EXPECT_FALSE(hits(outline, {106.1, 150}));
    EXPECT_TRUE(hits(outline, {92, 150}, 1, true)) << "the enhanced halo widens the reach by 2";
    EXPECT_TRUE(hits(outline, {91, 150}, 0.5)) << "at half zoom 4 view points are 8 pixels";

    const AnnotationItem ellipse =
        RectangleAnnotation{Uuid::generate(), {{0, 0}, {100, 50}}, ShapeKind::ellipse, ShapeFillMode::stroke, blue, 4};
    EXPECT_FALSE(hits(ellipse, {50, 25}));
    EXPECT_TRUE(hits(ellipse, {50, 1}));
    EXPECT_FALSE(hits(ellipse, {3, 3})) << "the rectangle's corner is outside the ellipse";
    const AnnotationItem flat =
        RectangleAnnotation{Uuid::generate(), {{0, 0}, {100, 0}}, ShapeKind::ellipse, ShapeFillMode::fill, blue, 4};
    EXPECT_FALSE(hits(flat, {50, 0})) << "a zero-height ellipse contains nothing";
}

TEST_F(HitTest, LinearItemsUseTheirWidthAndArrowsAlsoTheirHead) {
    const AnnotationItem line = LineAnnotation{Uuid::generate(), {0, 0}, {100, 0}, blue, 10};
    EXPECT_TRUE(hits(line, {50, 9}));
    EXPECT_FALSE(hits(line, {50, 9.1}));
    EXPECT_TRUE(hits(line, {108, 0})) << "the ends are round";

    const AnnotationItem arrow = ArrowAnnotation{Uuid::generate(), {0, 0}, {200, 0}, ArrowStyle::geometric, blue, 6};
    // Head half width k = max(18.6, 0.78 * 25.2) / 2 ≈ 9.8 beyond the shaft's reach of ~6.8.
    EXPECT_TRUE(hits(arrow, {178, 8})) << "inside the upper wing of the head";
    EXPECT_FALSE(hits(arrow, {100, 9}));

    const AnnotationItem highlighter =
        StrokeAnnotation{Uuid::generate(), {{0, 0}, {50, 0}, {50, 50}}, StrokeMode::highlighter, blue, 14};
    EXPECT_TRUE(hits(highlighter, {25, 11}));
    EXPECT_FALSE(hits(highlighter, {25, 13}, 1, true)) << "highlighters are never widened";
    const AnnotationItem brush =
        StrokeAnnotation{Uuid::generate(), {{0, 0}, {50, 0}, {50, 50}}, StrokeMode::brush, blue, 14};
    EXPECT_TRUE(hits(brush, {25, 13}, 1, true));
    EXPECT_FALSE(hits(StrokeAnnotation{Uuid::generate(), {{5, 5}}, StrokeMode::brush, blue, 30}, {5, 5}))
        << "a single point is no stroke";
}

TEST_F(HitTest, NumbersAndRotatedTextsUseTheirOwnShapes) {
    const AnnotationItem number = NumberAnnotation{Uuid::generate(), {50, 50}, 1, blue, 28};
    EXPECT_TRUE(hits(number, {50, 66}));
    EXPECT_FALSE(hits(number, {50, 66.1}));
    EXPECT_TRUE(hits(number, {50, 68}, 0.5));

    // "abcdefghij" at 10 px: 60 × 10 box from (100, 100); frame insets 8 and 6 at scale 1.
    TextAnnotation text{Uuid::generate(), {100, 100}, "abcdefghij", blue, 10, std::nullopt, 0};
    EXPECT_TRUE(hits(text, {165, 105}));
    EXPECT_FALSE(hits(text, {130, 120}));
    text.rotation = std::numbers::pi / 2; // standing upright around its centre (130, 105)
    EXPECT_TRUE(hits(text, {130, 130}));
    EXPECT_FALSE(hits(text, {165, 105}));
}

TEST_F(HitTest, TheTopmostItemWinsAndBoxesFollowEveryChange) {
    const auto lower = Uuid::generate();
    const auto upper = Uuid::generate();
    document.appendAnnotation(
        RectangleAnnotation{lower, {{0, 0}, {100, 100}}, ShapeKind::rectangle, ShapeFillMode::fill, blue, 4});
    document.appendAnnotation(
        RectangleAnnotation{upper, {{50, 50}, {100, 100}}, ShapeKind::rectangle, ShapeFillMode::fill, blue, 4});
    auto hit = document.annotationHit({75, 75}, {});
    ASSERT_TRUE(hit);
    EXPECT_EQ(hit->item.id(), upper);
    EXPECT_EQ(hit->index, 1u);
    EXPECT_EQ(document.annotationHit({25, 25}, {})->item.id(), lower);
    EXPECT_FALSE(document.annotationHit({300, 300}, {}));

    document.updateAnnotation(upper, document.item(upper)->offsetBy(200, 200));
    EXPECT_EQ(document.annotationHit({75, 75}, {})->item.id(), lower);
    EXPECT_EQ(document.annotationHit({300, 300}, {})->item.id(), upper) << "the moved item is found where it is now";
}

} // namespace
} // namespace brisklet
