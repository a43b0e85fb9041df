#include "SyntheticPage.h"

#include <algorithm>
#include <cstring>
#include <random>

namespace brisklet::testing_support {

namespace {

constexpr std::uint8_t background = 246;

void fillRect(Image& image, int x, int y, int w, int h, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    for (int yy = std::max(y, 0); yy < std::min(y + h, image.height()); ++yy) {
        for (int xx = std::max(x, 0); xx < std::min(x + w, image.width()); ++xx) {
            image.setPixel(xx, yy, r, g, b);
        }
    }
}

/// One glyph: a random 5 × 9 pattern of ink.
void drawGlyph(Image& image, int x, int y, std::uint8_t ink, std::mt19937& random) {
    const std::uint32_t bits = random();
    const std::uint32_t more = random();
    for (int gy = 0; gy < 9; ++gy) {
        for (int gx = 0; gx < 5; ++gx) {
            const int bit = gy * 5 + gx;
            const bool on = bit < 32 ? (bits >> bit) & 1u : (more >> (bit - 32)) & 1u;
            if (on && x + gx < image.width() && y + gy < image.height()) {
                image.setPixel(x + gx, y + gy, ink, ink, static_cast<std::uint8_t>(ink + 10));
            }
        }
    }
}

void drawTextLine(Image& image, int y, int left, int right, std::mt19937& random) {
    int x = left;
    const int end = left + static_cast<int>((right - left) * (0.45 + 0.55 * (random() % 1000) / 1000.0));
    while (x < end) {
        const int letters = 2 + static_cast<int>(random() % 9);
        const auto ink = static_cast<std::uint8_t>(30 + random() % 60);
        for (int i = 0; i < letters && x + 6 < end; ++i, x += 7) {
            drawGlyph(image, x, y, ink, random);
        }
        x += 8;
    }
}

} // namespace

Image makeTextPage(int width, int height, std::uint32_t seed) {
    Image page(width, height);
    page.fill(background, background, background);
    std::mt19937 random(seed);
    const int left = std::max(4, width / 16);
    const int right = width - left;
    int y = 14;
    int lineInParagraph = 0;
    while (y < height) {
        if (random() % 23 == 0) {
            // A figure: a coloured block with a gradient and a frame.
            const int figureHeight = 40 + static_cast<int>(random() % 80);
            const auto hue = static_cast<std::uint8_t>(random() % 200);
            for (int fy = 0; fy < figureHeight && y + fy < height; ++fy) {
                for (int fx = left; fx < left + (right - left) / 2; ++fx) {
                    page.setPixel(fx, y + fy, hue, static_cast<std::uint8_t>(80 + fy % 120),
                                  static_cast<std::uint8_t>(100 + (fx * 3) % 120));
                }
            }
            y += figureHeight + 16;
            continue;
        }
        drawTextLine(page, y, left, right, random);
        y += 18;
        if (++lineInParagraph >= 3 + static_cast<int>(random() % 6)) {
            lineInParagraph = 0;
            y += 16;
        }
    }
    return page;
}

Image makeBar(int width, int height, std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint32_t seed) {
    Image bar(width, height);
    bar.fill(r, g, b);
    std::mt19937 random(seed);
    for (int x = 12; x + 60 < width; x += 90 + static_cast<int>(random() % 40)) {
        const int labelTop = std::max(1, height / 2 - 5);
        for (int i = 0; i < 6; ++i) {
            drawGlyph(bar, x + i * 7, labelTop, 235, random);
        }
    }
    fillRect(bar, 0, height - 1, width, 1, static_cast<std::uint8_t>(r / 2), static_cast<std::uint8_t>(g / 2),
             static_cast<std::uint8_t>(b / 2));
    return bar;
}

void blankRows(Image& page, int top, int height) {
    fillRect(page, 0, top, page.width(), height, background, background, background);
}

void repeatBlock(Image& page, int sourceTop, int blockHeight, int times) {
    for (int t = 1; t <= times; ++t) {
        for (int row = 0; row < blockHeight; ++row) {
            const int target = sourceTop + t * blockHeight + row;
            if (target < page.height()) {
                std::memcpy(page.row(target), page.row(sourceTop + row), page.bytesPerRow());
            }
        }
    }
}

Image rowsOf(const Image& image, int top, int height) {
    Image out(image.width(), height);
    for (int row = 0; row < height; ++row) {
        std::memcpy(out.row(row), image.row(top + row), image.bytesPerRow());
    }
    return out;
}

Image stacked(const Image& top, const Image& bottom) {
    std::vector<std::uint8_t> pixels(top.pixels());
    pixels.insert(pixels.end(), bottom.pixels().begin(), bottom.pixels().end());
    return Image(top.width(), top.height() + bottom.height(), std::move(pixels));
}

} // namespace brisklet::testing_support
