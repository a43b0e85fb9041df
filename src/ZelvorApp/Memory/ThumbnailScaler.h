#pragma once

#include "ZelvorCore/Foundation/Image.h"

namespace brisklet {

/// High-quality reduction for thumbnails: every source pixel contributes to the target pixel it
/// falls in (area averaging), with colours weighted by alpha so transparent edges do not darken.
struct ThumbnailScaler {
    /// The image scaled so its longer side is at most `maxDimension` (never enlarged):
    /// max(1, round(side × scale)) on each axis.
    static Image fitting(const Image& image, int maxDimension);
    /// The target size `fitting` uses.
    static void fittedSize(int width, int height, int maxDimension, int& outWidth, int& outHeight);
    /// Area-averaged resize to exactly `width` × `height`.
    static Image resized(const Image& image, int width, int height);
};

} // namespace brisklet
