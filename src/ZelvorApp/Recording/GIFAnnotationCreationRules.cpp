#include "ZelvorApp/Recording/GIFAnnotationCreationRules.h"

#include <algorithm>
#include <cmath>

namespace brisklet {

namespace {

Point clamp(Point p, Size canvas) {
    return {std::clamp(p.x, 0.0, std::max(canvas.width, 0.0)), std::clamp(p.y, 0.0, std::max(canvas.height, 0.0))};
}

Rect spanned(Point a, Point b) {
    return Rect{{std::min(a.x, b.x), std::min(a.y, b.y)}, {std::abs(a.x - b.x), std::abs(a.y - b.y)}};
}

} // namespace

std::optional<GIFPrototypeAnnotation> GIFAnnotationCreationRules::drag(GIFPrototypeTool tool, Point from, Point to,
                                                                       GIFPrototypeColor color, Size canvas) {
    const Point a = clamp(from, canvas);
    const Point b = clamp(to, canvas);
    const Rect rect = spanned(a, b);
    const double length = std::hypot(b.x - a.x, b.y - a.y);
    switch (tool) {
    case GIFPrototypeTool::rectangle:
    case GIFPrototypeTool::ellipse:
        if (rect.width() < kMinimumShapeSide || rect.height() < kMinimumShapeSide)
            return std::nullopt;
        if (tool == GIFPrototypeTool::rectangle) {
            return GIFPrototypeAnnotation{Uuid::generate(),
                                          GIFPrototypeRectangleAnnotation{rect, color, kShapeLineWidth, false}};
        }
        return GIFPrototypeAnnotation{Uuid::generate(),
                                      GIFPrototypeEllipseAnnotation{rect, color, kShapeLineWidth, false}};
    case GIFPrototypeTool::redaction:
        if (rect.width() < kMinimumRedactionSide || rect.height() < kMinimumRedactionSide)
            return std::nullopt;
        return GIFPrototypeAnnotation{Uuid::generate(),
                                      GIFPrototypeRedactionAnnotation{rect, GIFRedactionMode::mosaic}};
    case GIFPrototypeTool::arrow:
        if (length < kMinimumLineLength)
            return std::nullopt;
        return GIFPrototypeAnnotation{Uuid::generate(), GIFPrototypeArrowAnnotation{a, b, color, kShapeLineWidth}};
    case GIFPrototypeTool::line:
        if (length < kMinimumLineLength)
            return std::nullopt;
        return GIFPrototypeAnnotation{Uuid::generate(), GIFPrototypeLineAnnotation{a, b, color, kShapeLineWidth}};
    case GIFPrototypeTool::brush:
    case GIFPrototypeTool::highlighter:
    case GIFPrototypeTool::text:
    case GIFPrototypeTool::number:
        break;
    }
    return std::nullopt;
}

std::optional<GIFPrototypeAnnotation> GIFAnnotationCreationRules::stroke(GIFPrototypeTool tool,
                                                                         const std::vector<Point>& points,
                                                                         GIFPrototypeColor color, Size canvas) {
    if (tool != GIFPrototypeTool::brush && tool != GIFPrototypeTool::highlighter)
        return std::nullopt;
    std::vector<Point> kept;
    for (const Point& p : points) {
        const Point c = clamp(p, canvas);
        if (kept.empty() || !(kept.back() == c))
            kept.push_back(c);
    }
    if (kept.size() < 2)
        return std::nullopt;
    const bool highlighter = tool == GIFPrototypeTool::highlighter;
    return GIFPrototypeAnnotation{
        Uuid::generate(), GIFPrototypeStrokeAnnotation{std::move(kept), color,
                                                       highlighter ? kHighlighterWidth : kBrushWidth, highlighter}};
}

GIFPrototypeAnnotation GIFAnnotationCreationRules::number(Point at, int activeNumberCount, GIFPrototypeColor color,
                                                          Size canvas) {
    return GIFPrototypeAnnotation{
        Uuid::generate(),
        GIFPrototypeNumberAnnotation{clamp(at, canvas), activeNumberCount + 1, color, kNumberDiameter}};
}

} // namespace brisklet
