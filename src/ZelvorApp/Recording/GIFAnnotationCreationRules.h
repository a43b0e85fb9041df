#pragma once

#include "ZelvorApp/Recording/GIFPrototypeAnnotation.h"

#include <optional>
#include <vector>

namespace brisklet {

/// Turns a finished drag or click on the recording canvas into an annotation, or into nothing
/// when the gesture was too small to be meant. Points are clamped to the canvas first.
class GIFAnnotationCreationRules {
public:
    static constexpr double kMinimumShapeSide = 6;
    static constexpr double kMinimumRedactionSide = 8;
    static constexpr double kMinimumLineLength = 6;
    static constexpr double kShapeLineWidth = 4;
    static constexpr double kBrushWidth = 5;
    static constexpr double kHighlighterWidth = 12;
    static constexpr double kNumberDiameter = 28;

    /// Rectangle, ellipse, redaction, arrow or line from a drag of `from` to `to`.
    static std::optional<GIFPrototypeAnnotation> drag(GIFPrototypeTool tool, Point from, Point to,
                                                      GIFPrototypeColor color, Size canvas);
    /// Brush or highlighter from the points of a drag (consecutive duplicates removed).
    static std::optional<GIFPrototypeAnnotation> stroke(GIFPrototypeTool tool, const std::vector<Point>& points,
                                                        GIFPrototypeColor color, Size canvas);
    /// A number marker at a click; its value follows the number markers currently showing.
    static GIFPrototypeAnnotation number(Point at, int activeNumberCount, GIFPrototypeColor color, Size canvas);
};

} // namespace brisklet
