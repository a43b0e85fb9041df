#include "ZelvorApp/Editor/AnnotationHitTester.h"

#include "ZelvorApp/Editor/ArrowGeometry.h"
#include "ZelvorApp/Editor/ScreenshotEditorGeometry.h"
#include "ZelvorApp/Editor/ScreenshotTextGeometry.h"
#include "ZelvorApp/Editor/ScreenshotTextLayout.h"
#include "ZelvorApp/Editor/TextChromeGeometry.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace brisklet::AnnotationHitTester {

namespace G = ScreenshotEditorGeometry;

namespace {

constexpr double degenerateScale = 0.0001;
constexpr double enhancementExtra = 4;

double enhancedWidth(double width, bool enhanced) {
    return width + (enhanced ? enhancementExtra : 0);
}

bool outlineContains(const Rect& rect, bool ellipse, bool filled, Point p, double reachAround) {
    const auto inside = [ellipse](const Rect& r, Point q) {
        return ellipse ? G::ellipseContains(r, q) : (r.width() > 0 && r.height() > 0 && G::containsInclusive(r, q));
    };
    if (filled) {
        return inside(rect, p);
    }
    const Rect outer = G::insetBy(rect, -reachAround, -reachAround);
    const Rect inner = G::insetBy(rect, reachAround, reachAround);
    return inside(outer, p) && (inner.isEmpty() || !inside(inner, p));
}

bool strokeContains(const StrokeAnnotation& s, Point p, const AnnotationHitParameters& parameters) {
    if (s.points.size() < 2) {
        return false;
    }
    const bool enhanced = parameters.enhanceColors && s.mode == StrokeMode::brush;
    const double reachAround = std::max(0.0, enhancedWidth(s.lineWidth, enhanced) / 2) +
                               4 / std::max(parameters.displayScale, degenerateScale);
    for (std::size_t i = 1; i < s.points.size(); ++i) {
        if (G::distanceToSegment(p, s.points[i - 1], s.points[i]) <= reachAround) {
            return true;
        }
    }
    return false;
}

Rect boundsOf(std::span<const Point> points) {
    if (points.empty()) {
        return {};
    }
    double minX = points[0].x, maxX = points[0].x, minY = points[0].y, maxY = points[0].y;
    for (const auto& p : points) {
        minX = std::min(minX, p.x);
        maxX = std::max(maxX, p.x);
        minY = std::min(minY, p.y);
        maxY = std::max(maxY, p.y);
    }
    return {{minX, minY}, {maxX - minX, maxY - minY}};
}

Rect rotatedBounds(const Rect& rect, double rotation) {
    const Point center{rect.midX(), rect.midY()};
    const Point corners[] = {
        ScreenshotTextGeometry::rotated({rect.minX(), rect.minY()}, center, rotation),
        ScreenshotTextGeometry::rotated({rect.maxX(), rect.minY()}, center, rotation),
        ScreenshotTextGeometry::rotated({rect.minX(), rect.maxY()}, center, rotation),
        ScreenshotTextGeometry::rotated({rect.maxX(), rect.maxY()}, center, rotation),
    };
    return boundsOf(corners);
}

} // namespace

double tolerance(double displayScale) {
    return displayScale <= degenerateScale ? 40000 : 4 / displayScale;
}

double queryMargin(double displayScale) {
    // Three tolerances cover the text frame insets (8 view points, up to √2 times that when
    // turned) and the number slack (2 view points).
    return 3 * tolerance(displayScale);
}

Rect textHitRect(const TextAnnotation& text, const TextLayoutCache& layout, double displayScale) {
    const double s = std::max(displayScale, degenerateScale);
    return G::insetBy(layout.contentRect(text), -TextChromeGeometry::horizontalInset / s,
                      -TextChromeGeometry::verticalInset / s);
}

bool contains(const AnnotationItem& item, Point p, const AnnotationHitParameters& parameters,
              const TextLayoutCache& layout) {
    const double s = parameters.displayScale;
    const double t = tolerance(s);
    const bool enhanced = parameters.enhanceColors;
    if (const auto* r = item.as<RectangleAnnotation>()) {
        const double reachAround = t + std::max(0.0, enhancedWidth(r->lineWidth, enhanced) / 2);
        return outlineContains(r->rect, r->kind == ShapeKind::ellipse, r->fillMode == ShapeFillMode::fill, p,
                               reachAround);
    }
    if (const auto* l = item.as<LineAnnotation>()) {
        return G::distanceToSegment(p, l->start, l->end) <=
               t + std::max(0.0, enhancedWidth(l->lineWidth, enhanced) / 2);
    }
    if (const auto* a = item.as<ArrowAnnotation>()) {
        const ArrowGeometry g = arrowGeometry(a->start, a->end, a->style, a->lineWidth);
        const double reachAround = t + std::max(0.0, enhancedWidth(g.shaftLineWidth, enhanced) / 2);
        return G::distanceToSegment(p, g.shaftStart, g.shaftEnd) <= reachAround ||
               G::polygonContains(g.outlinePoints, p);
    }
    if (const auto* r = item.as<RedactionAnnotation>()) {
        return G::containsInclusive(r->rect, p);
    }
    if (const auto* stroke = item.as<StrokeAnnotation>()) {
        return strokeContains(*stroke, p, parameters);
    }
    if (const auto* text = item.as<TextAnnotation>()) {
        const Rect content = layout.contentRect(*text);
        const Point unrotated = ScreenshotTextGeometry::rotated(p, {content.midX(), content.midY()}, -text->rotation);
        return G::containsInclusive(textHitRect(*text, layout, s), unrotated);
    }
    if (const auto* n = item.as<NumberAnnotation>()) {
        const double slack = s <= degenerateScale ? 20000 : 2 / s;
        return G::distance(p, n->center) <= n->diameter / 2 + slack;
    }
    return false;
}

Rect reach(const AnnotationItem& item, const TextLayoutCache& layout) {
    const auto grown = [](const Rect& r, double by) { return G::insetBy(r, -by, -by); };
    const double extra = enhancementExtra / 2;
    if (const auto* r = item.as<RectangleAnnotation>()) {
        return grown(r->rect, r->lineWidth / 2 + extra);
    }
    if (const auto* l = item.as<LineAnnotation>()) {
        return grown(G::rectFromPoints(l->start, l->end), l->lineWidth / 2 + extra);
    }
    if (const auto* a = item.as<ArrowAnnotation>()) {
        const ArrowGeometry g = arrowGeometry(a->start, a->end, a->style, a->lineWidth);
        const Rect outline = G::unionOf(boundsOf(g.outlinePoints), G::rectFromPoints(g.shaftStart, g.shaftEnd));
        return grown(outline, g.shaftLineWidth / 2 + extra);
    }
    if (const auto* r = item.as<RedactionAnnotation>()) {
        return r->rect;
    }
    if (const auto* stroke = item.as<StrokeAnnotation>()) {
        return grown(boundsOf(stroke->points), stroke->lineWidth / 2 + extra);
    }
    if (const auto* text = item.as<TextAnnotation>()) {
        return rotatedBounds(layout.contentRect(*text), text->rotation);
    }
    if (const auto* n = item.as<NumberAnnotation>()) {
        return {{n->center.x - n->diameter / 2, n->center.y - n->diameter / 2}, {n->diameter, n->diameter}};
    }
    return {};
}

} // namespace brisklet::AnnotationHitTester
