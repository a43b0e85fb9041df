#pragma once

#include "ZelvorCore/Foundation/Geometry.h"

namespace brisklet {

/// Angles of rotated text. Angles are radians; in the editor's y-down spaces a positive angle
/// turns clockwise on screen.
namespace ScreenshotTextGeometry {

/// `angle` brought into (−π, π].
double normalizedAngle(double angle);
/// The normalized angle, pulled onto the nearest of 0, ±π/4, ±π/2, ±3π/4 and π when it lies
/// within `thresholdDegrees` of it.
double snappedAngle(double angle, double thresholdDegrees = 6);
/// `p` turned by `angle` about `center`.
Point rotated(Point p, Point center, double angle);
/// Direction of `p` seen from `center`.
double angleAround(Point p, Point center);

} // namespace ScreenshotTextGeometry

} // namespace brisklet
