#include "ZelvorApp/Longshot/LongshotFrameChangeDetector.h"

#include "ZelvorApp/Longshot/LongshotPixelDistance.h"

namespace brisklet {

namespace {

constexpr int changedPixelDistance = 36;
constexpr double minimumMeanChange = 0.008;
constexpr double minimumChangedShare = 0.025;

} // namespace

bool LongshotFrameChangeDetector::hasMeaningfulChange(const Image& previous, const Image& current) {
    return hasMeaningfulChange(LongshotSampledImage::make(previous, LongshotFrameSamples::coarseWidth),
                               LongshotSampledImage::make(current, LongshotFrameSamples::coarseWidth));
}

bool LongshotFrameChangeDetector::hasMeaningfulChange(const std::optional<LongshotSampledImage>& previous,
                                                      const std::optional<LongshotSampledImage>& current) {
    if (!previous || !current || !previous->sameSize(*current) || previous->height < 1) {
        return true;
    }
    const LongshotSampledImage& a = *previous;
    const LongshotSampledImage& b = *current;
    const int margin = a.width > 19 ? a.width / 20 : 1;
    long total = 0;
    long count = 0;
    long changed = 0;
    for (int y = 0; y < a.height; y += 2) {
        for (int x = margin; x < a.width - margin; x += 2) {
            const int distance = pixelDistance(a.pixel(x, y), b.pixel(x, y));
            total += distance;
            ++count;
            if (distance >= changedPixelDistance) {
                ++changed;
            }
        }
    }
    if (count == 0) {
        return true;
    }
    return double(total) / (double(count) * 765.0) >= minimumMeanChange &&
           double(changed) / double(count) >= minimumChangedShare;
}

} // namespace brisklet
