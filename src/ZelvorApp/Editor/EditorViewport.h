#pragma once

#include "ZelvorCore/Foundation/Geometry.h"

namespace brisklet {

/// Where the image stands in the editor view: `displayedImageRect` in view points (y growing
/// downward, as the window's widgets count) and `displayScale` view points per image pixel.
struct EditorViewport {
    Rect displayedImageRect;
    double displayScale = 1;
    Size imageSize;

    /// The image pixel under a view point, clamped into the image.
    Point toImage(Point viewPoint) const;
    Point toView(Point imagePoint) const;
    Rect toView(const Rect& imageRect) const;
    /// A length in view points as image pixels.
    double toImageLength(double viewLength) const;

    bool operator==(const EditorViewport&) const = default;
};

} // namespace brisklet
