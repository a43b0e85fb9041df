#pragma once

#include "ZelvorCore/Foundation/Image.h"

namespace brisklet {

/// What the live preview shows while a scrolling capture runs.
struct LongshotPreviewSnapshot {
    /// The stitched result so far, scaled down to fit the preview.
    Image image;
    int frameCount = 0;
    /// Height of the full stitched image in pixels.
    int pixelHeight = 0;

    bool operator==(const LongshotPreviewSnapshot&) const = default;
};

} // namespace brisklet
