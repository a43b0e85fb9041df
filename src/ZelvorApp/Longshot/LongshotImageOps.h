#pragma once

#include "ZelvorCore/Foundation/Image.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace brisklet::LongshotImageOps {

/// Averages every source pixel into exactly one destination pixel (a box filter); used only to
/// shrink. Colours of cells that are not opaque come out premultiplied by their coverage.
std::vector<std::uint8_t> shrink(const std::uint8_t* source, int sourceWidth, int sourceHeight,
                                 std::size_t sourceStride, int width, int height);

/// The part of `image` inside the given rectangle (pixels); none when it lies outside or is empty.
std::optional<Image> crop(const Image& image, int x, int y, int width, int height);

/// `image` scaled down to fit `maximumWidth` × `maximumHeight`, keeping its proportions; never
/// scaled up.
Image scaledToFit(const Image& image, int maximumWidth, int maximumHeight);

} // namespace brisklet::LongshotImageOps
