#pragma once

#include "ZelvorCore/Foundation/Geometry.h"

namespace brisklet {

/// The source and destination of a full-display capture: the display's size in points and the
/// pixel size it comes out at under the capture's point-to-pixel scale.
struct FullDisplayCaptureGeometry {
    /// Origin (0, 0), the display's size in points, each side at least 1.
    Rect pointRect;
    /// Origin (0, 0), `pixelWidth` × `pixelHeight`.
    Rect pixelRect;
    int pixelWidth = 1;
    int pixelHeight = 1;

    /// A scale below 1 (or not a number) counts as 1.
    static FullDisplayCaptureGeometry make(double widthPoints, double heightPoints, double pointPixelScale);

    bool operator==(const FullDisplayCaptureGeometry&) const = default;
};

} // namespace brisklet
