#pragma once

#include "ZelvorCore/Foundation/Geometry.h"

#include <vector>

namespace brisklet {

struct DisplayScreen;

/// Rectangle helpers of the capture code; the desktop space has its origin bottom-left, images
/// and the window server's space top-left.
namespace CaptureGeometry {

/// The smallest rectangle of whole numbers that contains `rect` (outward rounding). An empty or
/// non-finite rectangle comes back unchanged.
Rect integral(const Rect& rect);

/// The smallest rectangle that contains both; an empty rectangle does not count.
Rect unite(const Rect& a, const Rect& b);

/// Whether the two rectangles share an area of more than zero.
bool intersects(const Rect& a, const Rect& b);

/// `rect` (global desktop space) in top-left coordinates relative to the top-left corner of the
/// whole desktop `desktop`, made integral: what command-line capture tools expect.
Rect toolRect(const Rect& rect, const Rect& desktop);

/// The pixel rectangle of `rect` inside an image of `imageWidth` × `imageHeight` pixels that
/// shows `screenFrame`, made integral.
Rect pixelCropRect(const Rect& rect, const Rect& screenFrame, int imageWidth, int imageHeight);

/// `rect` flipped between the window server's space (y down from the primary screen's top) and
/// the desktop space (y up); the same flip takes either to the other.
Rect flippedAtPrimaryScreen(const Rect& rect, const std::vector<DisplayScreen>& screens);

/// Whether `crop` lies inside an image of the given size.
bool liesInside(const Rect& crop, int imageWidth, int imageHeight);

} // namespace CaptureGeometry

} // namespace brisklet
