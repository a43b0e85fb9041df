#pragma once

// A synthetic desktop screenshot for benchmarks that need realistic but reproducible content:
// a dark sidebar, rows of glyph-like strokes and a colour gradient where a picture would be.

#include "ZelvorCore/Foundation/Image.h"

#include <cstdint>

namespace brisklet::bench {

inline Image syntheticScreenshot(int width, int height) {
    Image image(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            std::uint8_t r = 246, g = 246, b = 248;
            if (x < width / 5) {
                r = 38, g = 41, b = 48;
            } else if ((y / 18) % 2 == 0 && (y % 18) > 4 && (y % 18) < 15 && (x / 7) % 11 != 0) {
                const int shade = ((x * 13 + y * 7) % 23 < 9) ? 60 : 230;
                r = g = b = static_cast<std::uint8_t>(shade);
            } else if (y > height / 2 && x > width / 2) {
                r = static_cast<std::uint8_t>(x * 255 / width);
                g = static_cast<std::uint8_t>(y * 255 / height);
                b = 160;
            }
            image.setPixel(x, y, r, g, b, 255);
        }
    }
    return image;
}

} // namespace brisklet::bench
