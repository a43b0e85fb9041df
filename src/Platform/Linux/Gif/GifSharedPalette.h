#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

struct liq_attr;
struct liq_result;

namespace brisklet {

/// How hard libimagequant works for one GIF, derived from the encoder's quality setting.
struct GifQuantizerSettings {
    int speed = 4;               ///< libimagequant's speed, 1 (best) … 10 (fastest)
    int maximumQuality = 100;    ///< libimagequant's quality ceiling: fewer colours when they suffice
    float ditheringLevel = 0.5f; ///< 0 (none) … 1 (full Floyd–Steinberg)
};

/// One colour table shared by many frames: built by libimagequant from a whole frame and kept for
/// as long as later frames fit it, so that colours keep their index from frame to frame. Holds at
/// most 255 colours; the entry after the last one is left for the transparent index.
class GifSharedPalette {
public:
    using Colour = std::array<std::uint8_t, 3>;

    /// Builds a palette for the opaque RGBA `pixels` (`width` × `height`), giving each pixel the
    /// weight in `importance` (0 … 255, one per pixel; empty = all alike). Fails with a message.
    static std::unique_ptr<GifSharedPalette> build(const std::uint8_t* rgba, int width, int height,
                                                   const std::vector<std::uint8_t>& importance,
                                                   const GifQuantizerSettings& settings, std::string& error);

    GifSharedPalette(const GifSharedPalette&) = delete;
    GifSharedPalette& operator=(const GifSharedPalette&) = delete;
    ~GifSharedPalette();

    /// Maps the opaque RGBA `pixels` to palette indices with the palette's dithering. Pixels whose
    /// colour is in the palette map to that entry and pass no error on to their neighbours.
    bool remap(const std::uint8_t* rgba, int width, int height, std::vector<std::uint8_t>& indices) const;

    int count() const { return static_cast<int>(colours_.size()); }
    const Colour& colour(int index) const { return colours_[static_cast<std::size_t>(index)]; }
    /// The index kept free for pixels that stay as they are shown.
    int transparentIndex() const { return count(); }

private:
    GifSharedPalette() = default;

    liq_attr* attr_ = nullptr;
    liq_result* result_ = nullptr;
    std::vector<Colour> colours_;
};

} // namespace brisklet
