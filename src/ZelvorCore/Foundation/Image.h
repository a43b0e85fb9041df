#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace brisklet {

/// A bitmap in sRGB with 8-bit RGBA pixels (straight, not premultiplied alpha), rows top to bottom,
/// no padding between rows.
class Image {
public:
    Image() = default;
    /// A width × height image filled with transparent black.
    Image(int width, int height);
    Image(int width, int height, std::vector<std::uint8_t> rgba);

    int width() const { return width_; }
    int height() const { return height_; }
    bool isEmpty() const { return width_ <= 0 || height_ <= 0; }
    std::size_t bytesPerRow() const { return static_cast<std::size_t>(width_) * 4; }

    const std::uint8_t* data() const { return pixels_.data(); }
    std::uint8_t* data() { return pixels_.data(); }
    const std::uint8_t* row(int y) const { return pixels_.data() + static_cast<std::size_t>(y) * bytesPerRow(); }
    std::uint8_t* row(int y) { return pixels_.data() + static_cast<std::size_t>(y) * bytesPerRow(); }
    const std::vector<std::uint8_t>& pixels() const { return pixels_; }

    /// True when every pixel has alpha 255, so the image can be stored without an alpha channel.
    bool isOpaque() const;

    void setPixel(int x, int y, std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t a = 255);
    void fill(std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t a = 255);

    bool operator==(const Image&) const = default;

private:
    int width_ = 0;
    int height_ = 0;
    std::vector<std::uint8_t> pixels_;
};

} // namespace brisklet
