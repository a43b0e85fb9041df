#pragma once

#include "ZelvorApp/Editor/AnnotationColorPalette.h"
#include "ZelvorCore/Foundation/EnumTable.h"
#include "ZelvorCore/Foundation/Geometry.h"
#include "ZelvorCore/Foundation/Uuid.h"

#include <array>
#include <string>
#include <variant>
#include <vector>

namespace brisklet {

enum class GIFPrototypeTool { arrow, rectangle, ellipse, line, brush, highlighter, redaction, text, number };

template <> struct EnumTraits<GIFPrototypeTool> {
    static constexpr std::array<std::pair<GIFPrototypeTool, std::string_view>, 9> names{{
        {GIFPrototypeTool::arrow, "arrow"},
        {GIFPrototypeTool::rectangle, "rectangle"},
        {GIFPrototypeTool::ellipse, "ellipse"},
        {GIFPrototypeTool::line, "line"},
        {GIFPrototypeTool::brush, "brush"},
        {GIFPrototypeTool::highlighter, "highlighter"},
        {GIFPrototypeTool::redaction, "redaction"},
        {GIFPrototypeTool::text, "text"},
        {GIFPrototypeTool::number, "number"},
    }};
};

/// Straight (not premultiplied) RGBA, each 0…1.
struct GIFPrototypeColor {
    double red = 1;
    double green = 0;
    double blue = 0;
    double alpha = 1;
    bool operator==(const GIFPrototypeColor&) const = default;

    /// The screenshot editor's fixed colours, in its order, so a recording is annotated in the
    /// same palette as a screenshot.
    static constexpr std::array<GIFPrototypeColor, AnnotationColorPalette::fixedColors.size()> presets();
};

constexpr std::array<GIFPrototypeColor, AnnotationColorPalette::fixedColors.size()> GIFPrototypeColor::presets() {
    std::array<GIFPrototypeColor, AnnotationColorPalette::fixedColors.size()> colors{};
    for (std::size_t i = 0; i < colors.size(); ++i) {
        const StoredColor& c = AnnotationColorPalette::fixedColors[i];
        colors[i] = GIFPrototypeColor{c.red, c.green, c.blue, c.alpha};
    }
    return colors;
}

enum class GIFRedactionMode { blur, mosaic };

template <> struct EnumTraits<GIFRedactionMode> {
    static constexpr std::array<std::pair<GIFRedactionMode, std::string_view>, 2> names{{
        {GIFRedactionMode::blur, "blur"},
        {GIFRedactionMode::mosaic, "mosaic"},
    }};
};

// Coordinates are canvas points: the recorded region's size in screen points, origin at the
// region's top-left corner.

struct GIFPrototypeArrowAnnotation {
    Point start, end;
    GIFPrototypeColor color;
    double lineWidth = 4;
    bool operator==(const GIFPrototypeArrowAnnotation&) const = default;
};
struct GIFPrototypeRectangleAnnotation {
    Rect rect;
    GIFPrototypeColor color;
    double lineWidth = 4;
    bool filled = false;
    bool operator==(const GIFPrototypeRectangleAnnotation&) const = default;
};
struct GIFPrototypeEllipseAnnotation {
    Rect rect;
    GIFPrototypeColor color;
    double lineWidth = 4;
    bool filled = false;
    bool operator==(const GIFPrototypeEllipseAnnotation&) const = default;
};
struct GIFPrototypeLineAnnotation {
    Point start, end;
    GIFPrototypeColor color;
    double lineWidth = 4;
    bool operator==(const GIFPrototypeLineAnnotation&) const = default;
};
struct GIFPrototypeStrokeAnnotation {
    std::vector<Point> points;
    GIFPrototypeColor color;
    double lineWidth = 5;
    bool isHighlighter = false;
    bool operator==(const GIFPrototypeStrokeAnnotation&) const = default;
};
struct GIFPrototypeRedactionAnnotation {
    Rect rect;
    GIFRedactionMode mode = GIFRedactionMode::mosaic;
    bool operator==(const GIFPrototypeRedactionAnnotation&) const = default;
};
struct GIFPrototypeTextAnnotation {
    Point origin;
    std::string text;
    GIFPrototypeColor color;
    double fontSize = 18;
    bool operator==(const GIFPrototypeTextAnnotation&) const = default;
};
struct GIFPrototypeNumberAnnotation {
    Point center;
    int value = 1;
    GIFPrototypeColor color;
    double diameter = 28;
    bool operator==(const GIFPrototypeNumberAnnotation&) const = default;
};

using GIFPrototypeAnnotationPayload =
    std::variant<GIFPrototypeArrowAnnotation, GIFPrototypeRectangleAnnotation, GIFPrototypeEllipseAnnotation,
                 GIFPrototypeLineAnnotation, GIFPrototypeStrokeAnnotation, GIFPrototypeRedactionAnnotation,
                 GIFPrototypeTextAnnotation, GIFPrototypeNumberAnnotation>;

/// One drawing made during a GIF recording.
struct GIFPrototypeAnnotation {
    Uuid id = Uuid::generate();
    GIFPrototypeAnnotationPayload payload;
    bool operator==(const GIFPrototypeAnnotation&) const = default;
};

} // namespace brisklet
