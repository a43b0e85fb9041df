#pragma once

#include "ZelvorApp/Editor/AnnotationStyles.h"
#include "ZelvorCore/Foundation/Geometry.h"

#include <optional>
#include <vector>

namespace brisklet {

/// The derived outline of an arrow, shared by drawing and hit testing so both agree exactly.
struct ArrowGeometry {
    Point shaftStart;
    Point shaftEnd;
    Point tip;
    Point left;
    Point right;
    std::optional<Point> notch;
    std::vector<Point> outlinePoints;
    double shaftLineWidth = 0;

    bool operator==(const ArrowGeometry&) const = default;
};

/// The outline of an arrow from `start` to `end` drawn `lineWidth` wide. A `brush` arrow is one
/// tapered filled polygon; a `geometric` arrow is a shaft line plus a notched head polygon.
ArrowGeometry arrowGeometry(Point start, Point end, ArrowStyle style, double lineWidth);

} // namespace brisklet
