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
    std::vector<std::uint8_t> greys = InvertedTextRegions::levels(image, region);
    if (InvertedTextRegions::mostCommonLevel(greys) < 128) {
        for (auto& grey : greys) {
            grey = static_cast<std::uint8_t>(255 - grey);
        }
    }
    return InvertedTextRegions::framed(greys, region.width, region.height);
}

} // namespace brisklet
