#pragma once

#include "ZelvorApp/Editor/AnnotationItem.h"
#include "ZelvorCore/Foundation/Geometry.h"

namespace brisklet {

class TextLayoutCache;

/// What makes an item "under the pointer": tolerances are view points divided by the display
/// scale, so they feel the same at every zoom.
struct AnnotationHitParameters {
    double displayScale = 1; ///< view points per image pixel
    bool enhanceColors = false;
    bool operator==(const AnnotationHitParameters&) const = default;
};

namespace AnnotationHitTester {

/// 4 view points in image pixels (40000 for a degenerate scale).
double tolerance(double displayScale);

/// Whether `item` contains `point` (image pixels). Stroked shapes are hit only near their
/// outline, filled ones anywhere inside; lines, arrows and strokes within their half width plus
/// the tolerance; texts inside their frame; numbers within their circle plus 2 view points.
bool contains(const AnnotationItem& item, Point point, const AnnotationHitParameters& parameters,
              const TextLayoutCache& layout);

/// A box every hit of `item` lies in once grown by `queryMargin`; lets a hit test skip most
/// items with four comparisons.
Rect reach(const AnnotationItem& item, const TextLayoutCache& layout);
double queryMargin(double displayScale);

/// The area of a text that takes clicks, unrotated, in image pixels: its box grown by the frame
/// insets converted to image pixels.
Rect textHitRect(const TextAnnotation& text, const TextLayoutCache& layout, double displayScale);

} // namespace AnnotationHitTester

} // namespace brisklet
