#include "ZelvorCore/Foundation/Image.h"

#include <stdexcept>

namespace brisklet {

Image::Image(int width, int height)
    : width_(width > 0 ? width : 0), height_(height > 0 ? height : 0),
      pixels_(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_) * 4, 0) {}

Image::Image(int width, int height, std::vector<std::uint8_t> rgba)
    : width_(width), height_(height), pixels_(std::move(rgba)) {
    if (width < 0 || height < 0 ||
        pixels_.size() != static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4) {
        throw std::invalid_argument("Image: pixel buffer does not match its size");
    }
}

bool Image::isOpaque() const {
    for (std::size_t i = 3; i < pixels_.size(); i += 4) {
        if (pixels_[i] != 255) {
            return false;
        }
    }
    return true;
}

void Image::setPixel(int x, int y, std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t a) {
    std::uint8_t* p = row(y) + static_cast<std::size_t>(x) * 4;
    p[0] = r;
    p[1] = g;
    p[2] = b;
    p[3] = a;
}

void Image::fill(std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t a) {
    for (std::size_t i = 0; i < pixels_.size(); i += 4) {
        pixels_[i] = r;
        pixels_[i + 1] = g;
        pixels_[i + 2] = b;
        pixels_[i + 3] = a;
    }
}

} // namespace brisklet
