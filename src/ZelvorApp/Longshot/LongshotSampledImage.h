#pragma once

#include "ZelvorCore/Foundation/Image.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace brisklet {

/// A small 8-bit RGBA copy of a frame (premultiplied alpha, rows top-down and packed) that the
/// matching and bar detection compare instead of the full frame.
struct LongshotSampledImage {
    std::vector<std::uint8_t> bytes;
    int width = 0;
    int height = 0;
    int sourceWidth = 0;
    int sourceHeight = 0;

    /// At most `maximumWidth` pixels wide; the height follows the same scale, rounded and kept
    /// within 1...512 rows (very tall frames are squeezed vertically). None for an empty image.
    static std::optional<LongshotSampledImage> make(const Image& image, int maximumWidth);
    /// A smaller sample of the same frame made from this one (its size computed from the frame's
    /// size, as `make` would); none when this sample is not larger.
    std::optional<LongshotSampledImage> shrunk(int maximumWidth) const;

    std::size_t rowStride() const { return static_cast<std::size_t>(width) * 4; }
    const std::uint8_t* pixel(int x, int y) const {
        return bytes.data() + static_cast<std::size_t>(y) * rowStride() + static_cast<std::size_t>(x) * 4;
    }
    bool sameSize(const LongshotSampledImage& other) const { return width == other.width && height == other.height; }

    bool operator==(const LongshotSampledImage&) const = default;
};

/// The two samples every frame is compared through: the coarse one (128 pixels wide) and the
/// fine one (384 pixels wide). Made once per frame and shared by all stages of an analysis.
struct LongshotFrameSamples {
    static constexpr int coarseWidth = 128;
    static constexpr int fineWidth = 384;

    std::optional<LongshotSampledImage> coarse;
    std::optional<LongshotSampledImage> fine;

    static LongshotFrameSamples make(const Image& image);
};

} // namespace brisklet
