#include "Platform/Fake/FakeAnnotationRenderer.h"
#include "ZelvorApp/Editor/AnnotationItem.h"
#include "ZelvorApp/Editor/ArrowGeometry.h"
#include "ZelvorApp/Editor/ScreenshotEditorGeometry.h"
#include "ZelvorApp/Editor/ScreenshotTextGeometry.h"
#include "ZelvorApp/Editor/ScreenshotTextLayout.h"
#include "ZelvorApp/Editor/TextChromeGeometry.h"
#include "ZelvorCore/Foundation/JsonCoding.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace brisklet {
namespace {

constexpr double degrees = std::numbers::pi / 180;
const StoredColor red{1, 0.231, 0.188, 1};

TEST(AnnotationItemTest, OffsetMovesEveryPointAndEqualityIgnoresOnlyTheIdentifier) {
    const AnnotationItem stroke = StrokeAnnotation{Uuid::generate(), {{1, 2}, {3, 4}}, StrokeMode::brush, red, 4};
    const auto moved = stroke.offsetBy(10, -2);
    EXPECT_EQ(moved.as<StrokeAnnotation>()->points, (std::vector<Point>{{11, 0}, {13, 2}}));
    EXPECT_EQ(moved.id(), stroke.id());

    const AnnotationItem text = TextAnnotation{Uuid::generate(), {5, 5}, "hi", red, 24, std::nullopt, 0.5};
    EXPECT_EQ(text.offsetBy(1, 1).as<TextAnnotation>()->origin, (Point{6, 6}));
    const AnnotationItem rect =
        RectangleAnnotation{Uuid::generate(), {{1, 1}, {5, 5}}, ShapeKind::rectangle, ShapeFillMode::stroke, red, 4};
    EXPECT_EQ(rect.offsetBy(2, 3).as<RectangleAnnotation>()->rect.origin, (Point{3, 4}));

    const AnnotationItem twin = text.withID(Uuid::generate());
    EXPECT_TRUE(text.isEffectivelyEqual(twin));
    EXPECT_FALSE(text == twin);
    auto retitled = *twin.as<TextAnnotation>();
    retitled.text = "hi!";
    EXPECT_FALSE(text.isEffectivelyEqual(retitled));
    EXPECT_FALSE(rect.isEffectivelyEqual(RedactionAnnotation{rect.id(), {{1, 1}, {5, 5}}, RedactionMode::blur}))
        << "different kinds are never equal, even with the same fields and id";
}

TEST(AnnotationItemTest, JsonRoundTripsEveryKindAndRejectsBadItemsByName) {
    const std::vector<AnnotationItem> items = {
        RectangleAnnotation{Uuid::generate(), {{1, 2}, {30, 40}}, ShapeKind::ellipse, ShapeFillMode::fill, red, 3},
        ArrowAnnotation{Uuid::generate(), {1, 1}, {90, 40}, ArrowStyle::geometric, red, 5},
        LineAnnotation{Uuid::generate(), {0, 0}, {10, 10}, red, 2},
        RedactionAnnotation{Uuid::generate(), {{4, 4}, {20, 10}}, RedactionMode::mosaic},
        StrokeAnnotation{Uuid::generate(), {{0, 0}, {5, 5}, {9, 2}}, StrokeMode::highlighter, red, 14},
        TextAnnotation{Uuid::generate(), {3, 4}, "Zeile\nzwei", red, 36, 120.0, -0.25},
        NumberAnnotation{Uuid::generate(), {50, 50}, 7, red, 28},
    };
    for (const auto& item : items) {
        AnnotationItem decoded;
        read(json::parse(write(item).dump()), decoded);
        EXPECT_EQ(decoded, item) << item.caseName();
    }

    const auto error = [](const std::string& text) {
        AnnotationItem item;
        try {
            read(json::parse(text), item);
        } catch (const json::DecodeError& e) {
            return std::string(e.what());
        }
        return std::string("accepted");
    };
    const std::string color = R"("color": {"red": 1, "green": 0, "blue": 0, "alpha": 1})";
    EXPECT_EQ(
        error(R"({"arrow": {"start": [0, 0], "end": [9, 9], "style": "brush", )" + color + R"(, "lineWidth": 4}})"),
        "accepted");
    EXPECT_NE(error(R"({"arrow": {"start": [0, 0], "end": [9, 9], "style": "fat", )" + color + R"(, "lineWidth": 4}})")
                  .find("style"),
              std::string::npos);
    EXPECT_NE(error(R"({"line": {"start": [0], "end": [9, 9], )" + color + R"(, "lineWidth": 4}})").find("start"),
              std::string::npos);
    EXPECT_NE(
        error(R"({"line": {"start": [0, 0], "end": [9, 9], )" + color + R"(, "lineWidth": 0}})").find("lineWidth"),
        std::string::npos);
    EXPECT_NE(error(R"({"circle": {}})").find("circle"), std::string::npos);
    EXPECT_NE(error(R"({"redaction": {"rect": [[0, 0], [5, 5]], "mode": "blur", "colour": 1}})").find("colour"),
              std::string::npos);
    EXPECT_NE(error(R"({"redaction": {"rect": [[0, 0], [-5, 5]], "mode": "blur"}})").find("negative"),
              std::string::npos);
    EXPECT_NE(error(R"({"number": {"center": [1e300, 0], "value": 1, )" + color + R"(, "diameter": 28}})"), "accepted");
}

TEST(ArrowGeometryTest, BrushArrowIsOneTaperedOutlineEndingAtTheTip) {
    const auto g = arrowGeometry({0, 0}, {100, 0}, ArrowStyle::brush, 4);
    // h = min(max(19.2, 14), 40) = 19.2; hw = max(11.6, 13.824) = 13.824; nw = max(2, 3.87) = 3.87072
    ASSERT_EQ(g.outlinePoints.size(), 8u);
    EXPECT_EQ(g.tip, (Point{100, 0}));
    EXPECT_EQ(g.outlinePoints[4], g.tip);
    EXPECT_NEAR(g.shaftEnd.x, 100 - 19.2, 1e-9);
    EXPECT_NEAR(g.left.y, 13.824 / 2, 1e-9);
    EXPECT_NEAR(g.right.y, -13.824 / 2, 1e-9);
    EXPECT_NEAR(g.outlinePoints[0].x, -3.6, 1e-9) << "the tail cap reaches behind the start";
    EXPECT_NEAR(g.shaftLineWidth, 2 * 3.87072, 1e-9);
    EXPECT_FALSE(g.notch);
}

TEST(ArrowGeometryTest, GeometricArrowHasANotchedHeadAndAShortHeadOnShortArrows) {
    const auto g = arrowGeometry({0, 0}, {0, 100}, ArrowStyle::geometric, 4);
    // h = min(max(16.8, 13), 34) = 16.8; k = max(12.4, 13.104)/2; d = min(max(6.8, 5), 7.056) = 6.8
    ASSERT_TRUE(g.notch);
    EXPECT_NEAR(g.notch->y, 100 - 16.8 + 6.8, 1e-9);
    EXPECT_EQ(g.shaftEnd, *g.notch);
    EXPECT_NEAR(std::fabs(g.left.x - g.right.x), 13.104, 1e-9);
    EXPECT_NEAR(g.shaftLineWidth, 3.68, 1e-9);

    const auto shortArrow = arrowGeometry({0, 0}, {10, 0}, ArrowStyle::geometric, 4);
    EXPECT_NEAR(shortArrow.tip.x - shortArrow.left.x, 3.4, 1e-9) << "the head never exceeds 34% of the length";
    const auto degenerate = arrowGeometry({5, 5}, {5, 5}, ArrowStyle::brush, 4);
    for (const auto& p : degenerate.outlinePoints) {
        EXPECT_TRUE(std::isfinite(p.x) && std::isfinite(p.y));
    }
}

TEST(ScreenshotEditorGeometryTest, ResizedSquareKeepsTheOppositeCornerAndTheMinimum) {
    namespace G = ScreenshotEditorGeometry;
    const Rect square{{10, 10}, {28, 28}};
    EXPECT_EQ(G::resizedSquare(square, ResizeCorner::bottomRight, {50, 45}, 16), (Rect{{10, 10}, {40, 40}}));
    EXPECT_EQ(G::resizedSquare(square, ResizeCorner::topLeft, {30, 0}, 16), (Rect{{0, 0}, {38, 38}}));
    EXPECT_EQ(G::resizedSquare(square, ResizeCorner::bottomRight, {12, 12}, 16), (Rect{{10, 10}, {16, 16}}));
    EXPECT_EQ(G::resizedSquare(square, ResizeCorner::bottomRight, {-100, -100}, 16), (Rect{{10, 10}, {16, 16}}))
        << "crossing over the fixed corner does not flip the square";
    EXPECT_EQ(G::resizedSquare(square, ResizeCorner::right, {60, 999}, 16), (Rect{{10, -1}, {50, 50}}))
        << "an edge handle keeps the square centred on the other axis";

    EXPECT_EQ(G::resizedRectangle({{10, 10}, {100, 50}}, ResizeCorner::left, {200, 30}, 6), (Rect{{104, 10}, {6, 50}}));
    EXPECT_EQ(G::resizedRectangle({{10, 10}, {100, 50}}, ResizeCorner::topRight, {150, 0}, 6),
              (Rect{{10, 0}, {140, 60}}));
    EXPECT_NEAR(G::distanceToSegment({5, 5}, {0, 0}, {0, 0}), std::sqrt(50.0), 1e-12);
    EXPECT_NEAR(G::distanceToSegment({5, 5}, {0, 0}, {10, 0}), 5, 1e-12);
    EXPECT_NEAR(G::distanceToSegment({15, 0}, {0, 0}, {10, 0}), 5, 1e-12);
}

TEST(ScreenshotTextGeometryTest, RotationSnapsWithinSixDegreesOfEveryEighthTurn) {
    using ScreenshotTextGeometry::snappedAngle;
    EXPECT_NEAR(snappedAngle(43 * degrees), 45 * degrees, 1e-12);
    EXPECT_NEAR(snappedAngle(38 * degrees), 38 * degrees, 1e-12);
    EXPECT_NEAR(snappedAngle(-88 * degrees), -90 * degrees, 1e-12);
    EXPECT_NEAR(snappedAngle(3 * degrees), 0, 1e-12);
    EXPECT_NEAR(snappedAngle(-178 * degrees), std::numbers::pi, 1e-12) << "−π and π are the same stop";
    EXPECT_NEAR(snappedAngle(400 * degrees), 45 * degrees, 1e-12) << "normalised before snapping";
    EXPECT_NEAR(ScreenshotTextGeometry::normalizedAngle(-std::numbers::pi), std::numbers::pi, 1e-12);
}

TEST(ScreenshotTextLayoutTest, MeasuresLinesAndWrapsAtWordsThenCharacters) {
    const FakeAnnotationRenderer measurer; // 0.6 × size per character; line height = size
    const auto natural = ScreenshotTextLayout::measurement("ab\nabcd", 10, std::nullopt, measurer);
    EXPECT_EQ(natural.lines, (std::vector<std::string>{"ab", "abcd"}));
    EXPECT_EQ(natural.lineWidths, (std::vector<double>{12, 24}));
    EXPECT_EQ(natural.lineHeight, 10);
    EXPECT_EQ(natural.size, (Size{24, 20}));

    const auto wrapped = ScreenshotTextLayout::measurement("one two three", 10, 40.0, measurer);
    EXPECT_EQ(wrapped.lines, (std::vector<std::string>{"one", "two", "three"})) << "\"one two\" is 42 wide";
    EXPECT_EQ(wrapped.size, (Size{40, 30}));
    EXPECT_EQ(ScreenshotTextLayout::measurement("one two three", 10, 42.0, measurer).lines,
              (std::vector<std::string>{"one two", "three"}));
    const auto spaces = ScreenshotTextLayout::measurement("ab   cd", 10, 25.0, measurer);
    EXPECT_EQ(spaces.lines, (std::vector<std::string>{"ab", "cd"})) << "spaces at a break are dropped";
    const auto longWord = ScreenshotTextLayout::measurement("abcdefghij", 10, 25.0, measurer);
    EXPECT_EQ(longWord.lines, (std::vector<std::string>{"abcd", "efgh", "ij"}));
    const auto unicode = ScreenshotTextLayout::measurement("äöüß", 10, 13.0, measurer);
    EXPECT_EQ(unicode.lines, (std::vector<std::string>{"äö", "üß"})) << "never splits a character";
    EXPECT_EQ(ScreenshotTextLayout::measurement("", 10, std::nullopt, measurer).size, (Size{0, 10}));
}

TEST(TextChromeGeometryTest, ControlsSitOnTheBorderAndTurnWithTheText) {
    const auto chrome = TextChromeGeometry::make({{100, 100}, {80, 20}}, 0);
    EXPECT_EQ(chrome.borderRect, (Rect{{92, 94}, {96, 32}}));
    EXPECT_EQ(chrome.deleteRect, (Rect{{182, 88}, {12, 12}}));
    EXPECT_EQ(chrome.resizeHandleRect, (Rect{{182, 104}, {12, 12}}));
    EXPECT_EQ(chrome.rotateHandleRect, (Rect{{134, 74}, {12, 12}}));
    EXPECT_EQ(chrome.rotationCenter, (Point{140, 110}));
    EXPECT_EQ(chrome.target({188, 94}), TextChromeTarget::deleteButton);
    EXPECT_EQ(chrome.target({140, 80}), TextChromeTarget::rotateHandle);
    EXPECT_EQ(chrome.target({120, 110}), TextChromeTarget::body);
    EXPECT_EQ(chrome.target({20, 20}), TextChromeTarget::none);

    const auto turned = TextChromeGeometry::make({{100, 100}, {80, 20}}, std::numbers::pi / 2);
    // A quarter turn clockwise carries the rotate handle from above the centre to its right.
    EXPECT_EQ(turned.target({140 + 30, 110}), TextChromeTarget::rotateHandle);
    EXPECT_NE(turned.target({140, 80}), TextChromeTarget::rotateHandle);
}

} // namespace
} // namespace brisklet
