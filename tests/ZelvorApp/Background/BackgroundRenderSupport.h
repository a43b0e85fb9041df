#pragma once

#include "Platform/ImageCodec.h"
#include "ZelvorCore/Foundation/Image.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <filesystem>

namespace brisklet::backgroundtest {

inline void fillRect(Image& image, int x0, int y0, int w, int h, std::array<std::uint8_t, 3> rgb) {
    for (int y = std::max(0, y0); y < std::min(image.height(), y0 + h); ++y) {
        for (int x = std::max(0, x0); x < std::min(image.width(), x0 + w); ++x) {
            image.setPixel(x, y, rgb[0], rgb[1], rgb[2]);
        }
    }
}

/// Something that looks like an application window: title bar, sidebar, lines of text, a
/// highlighted row and an accent button, so frames and corners can be judged by eye too.
inline Image syntheticScreenshot(int width = 360, int height = 240) {
    Image image(width, height);
    image.fill(250, 250, 252);
    fillRect(image, 0, 0, width, 28, {236, 237, 241});
    fillRect(image, 0, 28, width / 4, height - 28, {243, 244, 247});
    fillRect(image, width / 4, 28, 1, height - 28, {220, 222, 228});
    for (int row = 0; row < 6; ++row) {
        fillRect(image, 12, 44 + row * 24, width / 4 - 28 - (row * 9) % 20, 8, {170, 175, 186});
    }
    fillRect(image, 8, 62, width / 4 - 16, 22, {214, 226, 252});
    for (int line = 0; line < 7; ++line) {
        fillRect(image, width / 4 + 20, 48 + line * 22, width / 2 - (line * 37) % 90, 7, {120, 126, 140});
    }
    fillRect(image, width - 96, height - 44, 76, 26, {10, 132, 255});
    return image;
}

struct PixelDifference {
    double mean = 0;
    double badFraction = 0;
};

inline PixelDifference compare(const Image& a, const Image& b) {
    double sum = 0;
    std::size_t bad = 0;
    const std::size_t pixels = static_cast<std::size_t>(a.width()) * static_cast<std::size_t>(a.height());
    for (std::size_t i = 0; i < pixels; ++i) {
        int worst = 0;
        for (std::size_t c = 0; c < 4; ++c) {
            const int d = std::abs(a.data()[i * 4 + c] - b.data()[i * 4 + c]);
            sum += d;
            worst = std::max(worst, d);
        }
        bad += worst > 24 ? 1 : 0;
    }
    return {sum / (static_cast<double>(pixels) * 4.0), static_cast<double>(bad) / static_cast<double>(pixels)};
}

inline std::array<int, 4> pixelAt(const Image& image, int x, int y) {
    const std::uint8_t* p = image.row(y) + static_cast<std::size_t>(x) * 4;
    return {p[0], p[1], p[2], p[3]};
}

} // namespace brisklet::backgroundtest
