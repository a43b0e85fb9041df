#pragma once

// A busy annotated screenshot's annotations, the same for every editor benchmark: every kind in
// the mix people use, scattered reproducibly over the image.

#include "ZelvorApp/Editor/AnnotationItem.h"

#include <iterator>
#include <optional>
#include <random>
#include <vector>

namespace brisklet::bench {

/// Reproducible positions, sizes and colours over an image; sizes are given for a 3840 × 2160
/// image and shrink with smaller ones, so a 1080p screenshot looks like the 4K one scaled down.
class AnnotationScatter {
public:
    AnnotationScatter(unsigned seed, double imageWidth = 3840, double imageHeight = 2160)
        : random_(seed), width_(imageWidth), height_(imageHeight), k_(imageWidth / 3840) {}

    double between(double low, double high) { return std::uniform_real_distribution<double>(low, high)(random_); }
    /// A 4K-sized length scaled to this image.
    double length(double low, double high) { return between(low, high) * k_; }
    double scaled(double length) const { return length * k_; }
    Point point() { return {between(0, width_), between(0, height_)}; }
    StoredColor color() {
        static const StoredColor palette[] = {{1, 0.231, 0.188, 1}, {1, 0.8, 0, 1}, {0.039, 0.518, 1, 1}};
        return palette[static_cast<int>(between(0, 2.999))];
    }
    std::vector<Point> squiggle(Point start, int count) {
        std::vector<Point> points{start};
        for (int i = 1; i < count; ++i) {
            points.push_back({points.back().x + length(2, 8), points.back().y + length(-6, 6)});
        }
        return points;
    }

private:
    std::mt19937 random_;
    double width_;
    double height_;
    double k_;
};

/// The `i`-th item of the mix: shapes, arrows, lines, brush and highlighter strokes, texts,
/// numbers and redactions in turn.
inline AnnotationItem scatteredAnnotation(int i, AnnotationScatter& s) {
    const Point p = s.point();
    const Uuid id = Uuid::generate();
    switch (i % 7) {
    case 0:
        return RectangleAnnotation{id,
                                   {p, {s.length(60, 400), s.length(40, 300)}},
                                   i % 3 == 0 ? ShapeKind::ellipse : ShapeKind::rectangle,
                                   i % 4 == 0 ? ShapeFillMode::fill : ShapeFillMode::stroke,
                                   s.color(),
                                   s.length(2, 8)};
    case 1:
        return ArrowAnnotation{id,
                               p,
                               {p.x + s.length(-300, 300), p.y + s.length(-200, 200)},
                               i % 2 ? ArrowStyle::brush : ArrowStyle::geometric,
                               s.color(),
                               s.length(3, 8)};
    case 2:
        return LineAnnotation{id, p, {p.x + s.length(-300, 300), p.y + s.length(-200, 200)}, s.color(), s.scaled(4)};
    case 3:
        return StrokeAnnotation{id, s.squiggle(p, 60), i % 5 == 0 ? StrokeMode::highlighter : StrokeMode::brush,
                                s.color(), s.scaled(6)};
    case 4:
        return TextAnnotation{id,
                              p,
                              i % 2 ? "Check this value" : "Wrapped note about\nthe chart",
                              s.color(),
                              s.scaled(i % 2 ? 24.0 : 36.0),
                              i % 3 == 0 ? std::optional(s.scaled(180.0)) : std::nullopt,
                              i % 4 == 0 ? 0.4 : 0};
    case 5:
        return NumberAnnotation{id, p, i, s.color(), s.scaled(28)};
    default:
        return RedactionAnnotation{
            id, {p, {s.length(40, 160), s.length(20, 60)}}, i % 2 ? RedactionMode::blur : RedactionMode::mosaic};
    }
}

/// Fifty items over a `width` × `height` image: 48 of the mix and two large redactions (the
/// blur is the most expensive thing the renderer draws).
inline std::vector<AnnotationItem> fiftyAnnotations(int width = 3840, int height = 2160) {
    AnnotationScatter s(11, width, height);
    const double k = width / 3840.0;
    const RedactionAnnotation large[] = {
        {Uuid::generate(), {{900 * k, 400 * k}, {420 * k, 220 * k}}, RedactionMode::blur},
        {Uuid::generate(), {{2200 * k, 1500 * k}, {420 * k, 220 * k}}, RedactionMode::mosaic},
    };
    std::vector<AnnotationItem> items;
    items.reserve(50);
    for (int i = 0; i < 48; ++i) {
        items.push_back(scatteredAnnotation(i, s));
    }
    items.insert(items.end(), std::begin(large), std::end(large));
    return items;
}

} // namespace brisklet::bench
