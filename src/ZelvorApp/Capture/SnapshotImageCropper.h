#pragma once

#include "ZelvorCore/Foundation/Geometry.h"
#include "ZelvorCore/Foundation/Image.h"

#include <optional>

namespace brisklet {

/// Cuts selections out of captured screen images.
namespace SnapshotImageCropper {

/// A fresh RGBA image of the pixels of `pixelRect` (whole pixels, top-left origin); nothing when
/// the rectangle is empty, not whole or not inside the image.
std::optional<Image> crop(const Image& image, const Rect& pixelRect);

/// The part of `snapshot` (an image of `screenFrame`) under `selection`, both in the global
/// desktop space; nothing when the selection maps outside the image or is 1 pixel or less.
std::optional<Image> cropSelection(const Image& snapshot, const Rect& selection, const Rect& screenFrame);

} // namespace SnapshotImageCropper

} // namespace brisklet
