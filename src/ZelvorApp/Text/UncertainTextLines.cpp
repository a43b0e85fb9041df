#include "ZelvorApp/Text/UncertainTextLines.h"

#include "ZelvorApp/Text/UnicodeText.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace brisklet {

namespace {

// Of the line's height, on every side: enough for the engine to see where the line's glyphs end,
// too little to take in much of the lines above and below.
constexpr double paddingShare = 0.2;
constexpr int minimumPaddingPixels = 2;

int luminance(const std::uint8_t* pixel) {
    return (pixel[0] * 77 + pixel[1] * 150 + pixel[2] * 29 + 128) >> 8;
}

} // namespace

bool UncertainTextLines::shouldReread(const TextObservation& observation) {
    if (observation.candidates.empty() || observation.candidates.front().confidence >= rereadBelowConfidence) {
        return false;
    }
    bool hasAlphanumeric = false;
    for (const char32_t scalar : unicode::decodeUtf8(observation.candidates.front().string)) {
        if (unicode::isCJK(scalar)) {
            return false;
        }
        hasAlphanumeric = hasAlphanumeric || unicode::isAlphanumeric(scalar);
    }
    return hasAlphanumeric;
}

InvertedTextRegions::Region UncertainTextLines::regionAround(const Rect& lineBox, int imageWidth, int imageHeight) {
    const double height = lineBox.height() * imageHeight;
    const double padding = std::max<double>(minimumPaddingPixels, std::round(height * paddingShare));
    const auto clampedX = [&](double x) { return std::clamp(static_cast<int>(std::lround(x)), 0, imageWidth); };
    const auto clampedY = [&](double y) { return std::clamp(static_cast<int>(std::lround(y)), 0, imageHeight); };
    const int left = clampedX(lineBox.minX() * imageWidth - padding);
    const int right = clampedX(lineBox.maxX() * imageWidth + padding);
    const int top = clampedY((1.0 - lineBox.maxY()) * imageHeight - padding);
    const int bottom = clampedY((1.0 - lineBox.minY()) * imageHeight + padding);
    return {left, top, right - left, bottom - top};
}

Image UncertainTextLines::readableCrop(const Image& image, const InvertedTextRegions::Region& region) {
    // The most common level is the line's background. Light text on a dark one is inverted, and
    // nothing else is changed: stretching the contrast as well made some lines read worse.
    std::vector<int> histogram(256, 0);
    for (int y = region.y; y < region.y + region.height; ++y) {
        for (int x = region.x; x < region.x + region.width; ++x) {
            ++histogram[static_cast<std::size_t>(luminance(image.row(y) + x * 4))];
        }
    }
    const bool lightOnDark = std::max_element(histogram.begin(), histogram.end()) - histogram.begin() < 128;
    constexpr int margin = InvertedTextRegions::margin;
    Image crop(region.width + 2 * margin, region.height + 2 * margin);
    crop.fill(255, 255, 255);
    for (int y = 0; y < region.height; ++y) {
        for (int x = 0; x < region.width; ++x) {
            const int level = luminance(image.row(region.y + y) + (region.x + x) * 4);
            const auto grey = static_cast<std::uint8_t>(lightOnDark ? 255 - level : level);
            crop.setPixel(x + margin, y + margin, grey, grey, grey);
        }
    }
    return crop;
}

} // namespace brisklet
