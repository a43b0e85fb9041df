#pragma once

#include "ZelvorCore/Foundation/Geometry.h"
#include "ZelvorCore/Foundation/Image.h"

#include <cstdint>
#include <vector>

namespace brisklet {

/// Buttons, badges and banners: filled dark shapes holding light text on an otherwise light
/// screenshot. The engine reads a page in one polarity and often skips such shapes entirely,
/// so they are found here and handed to it again on their own, inverted.
class InvertedTextRegions {
public:
    struct Region {
        int x = 0;
        int y = 0;
        int width = 0;
        int height = 0;
        bool operator==(const Region&) const = default;
    };

    /// The shapes in an opaque image, largest first, at most `limit` of them. Shapes covering
    /// much of the image are left out: a dark theme is read whole by the engine.
    static std::vector<Region> find(const Image& image, std::size_t limit = 24);

    /// The region as dark text on white, with a white margin around it.
    static Image readableCrop(const Image& image, const Region& region);
    /// The margin `readableCrop` adds on each side, in pixels.
    static constexpr int margin = 20;

    /// The region's grey levels, row by row.
    static std::vector<std::uint8_t> levels(const Image& image, const Region& region);
    /// The most common of `greys` below `below`: a crop's background.
    static int mostCommonLevel(const std::vector<std::uint8_t>& greys, int below = 256);
    /// `width` × `height` grey levels as an image inside a white margin of `margin` pixels, the
    /// crop `boxInImage` maps back.
    static Image framed(const std::vector<std::uint8_t>& greys, int width, int height);

    /// A box normalised to the crop (origin bottom-left, y up) as a box normalised to the whole
    /// image the region was found in.
    static Rect boxInImage(const Rect& cropBox, const Region& region, int imageWidth, int imageHeight);
};

} // namespace brisklet
