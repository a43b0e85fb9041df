#pragma once

#include "ZelvorApp/Editor/ResizeCorner.h"
#include "ZelvorCore/Foundation/Geometry.h"

#include <array>
#include <span>
#include <utility>

namespace brisklet {

/// Plane geometry the editor's gestures and hit tests share. Works in any one coordinate space.
namespace ScreenshotEditorGeometry {

/// Side of a selection handle and the slack around it that still grabs it, in view points.
inline constexpr double handleSize = 8;
inline constexpr double handleHitSlack = 4;

/// `rect` shrunk by dx on the left and right and dy on the top and bottom (negative grows it).
Rect insetBy(const Rect& rect, double dx, double dy);
/// Containment with the far edges included.
bool containsInclusive(const Rect& rect, Point p);
/// The rectangle spanned by two corner points, whatever their order.
Rect rectFromPoints(Point a, Point b);
/// The smallest rectangle around both.
Rect unionOf(const Rect& a, const Rect& b);
double distance(Point a, Point b);
/// Distance from `p` to the segment a–b; a zero-length segment measures to `a`.
double distanceToSegment(Point p, Point a, Point b);
/// Even-odd containment in a closed polygon.
bool polygonContains(std::span<const Point> polygon, Point p);
/// Inside the ellipse inscribed in `rect`; a rectangle of zero width or height contains nothing.
bool ellipseContains(const Rect& rect, Point p);

/// `rect` with the edges `corner` names moved to `point`; no edge comes closer than
/// `minimumEdgeDistance` to its opposite edge.
Rect resizedRectangle(const Rect& rect, ResizeCorner corner, Point point, double minimumEdgeDistance);
/// A square resized by one of its handles. A corner keeps the opposite corner fixed and takes the
/// larger of the two distances to the pointer as the side; an edge changes the side by the
/// distance along its axis and stays centred on the other axis. Never below `minimumSize`.
Rect resizedSquare(const Rect& square, ResizeCorner corner, Point point, double minimumSize);

/// Where each of the eight handles of `rect` sits.
std::array<std::pair<ResizeCorner, Point>, 8> handleAnchors(const Rect& rect);
/// The area that grabs a handle centred on `anchor` (handle plus slack: 16 × 16 view points).
Rect handleHitRect(Point anchor);

} // namespace ScreenshotEditorGeometry

} // namespace brisklet
