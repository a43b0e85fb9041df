#pragma once

#include "ZelvorCore/Foundation/Geometry.h"
#include "ZelvorCore/Foundation/Image.h"

namespace brisklet {

/// Draws `frame` onto `canvas` (both straight-alpha RGBA) inside `rect`, whose corners are
/// rounded by `cornerRadius` with smooth edges. Rows of an opaque frame are copied as they are;
/// only the corners and translucent pixels are blended, so a GIF frame costs little more than a
/// copy. `frame` must already have the size of `rect`.
void drawFrameRounded(Image& canvas, const Image& frame, const Rect& rect, double cornerRadius);

} // namespace brisklet
