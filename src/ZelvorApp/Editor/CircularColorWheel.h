#pragma once

#include "ZelvorApp/Editor/BackgroundColorPickerLogic.h"
#include "ZelvorCore/Foundation/Geometry.h"
#include "ZelvorCore/Foundation/Image.h"

#include <optional>

namespace brisklet {

/// The hue–saturation wheel of the colour picker, without any drawing toolkit: the view shows
/// `makeWheelImage` and forwards pointer positions to `selection`. Red lies to the right of the
/// centre and hues grow counter-clockwise; saturation grows from the centre to the rim.
namespace CircularColorWheel {

/// The wheel at `size` (rounded, at least 1 × 1 pixel) drawn with `brightness`; pixels outside
/// the circle are transparent. None when the size is not a usable number.
std::optional<Image> makeWheelImage(Size size, double brightness);

/// Hue and saturation under `point`, given in the view's own coordinates with y growing
/// downward. Points outside the circle keep full saturation at their angle; the centre itself
/// reports hue 0.
HSBComponents selection(Point point, Size viewSize, double brightness);

/// Where the selection marker of a hue and saturation sits, in the same view coordinates.
Point markerPosition(double hue, double saturation, Size viewSize);

} // namespace CircularColorWheel

} // namespace brisklet
