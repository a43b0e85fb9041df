#include "ZelvorApp/Longshot/LongshotSampledImage.h"

#include "ZelvorApp/Longshot/LongshotImageOps.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace brisklet {

std::optional<LongshotSampledImage> LongshotSampledImage::make(const Image& image, int maximumWidth) {
    if (image.isEmpty() || maximumWidth <= 0) {
        return std::nullopt;
    }
    const int width = std::min(maximumWidth, image.width());
    const double scale = double(width) / std::max(image.width(), 1);
    const int height = std::clamp(static_cast<int>(std::lround(image.height() * scale)), 1, 512);
    LongshotSampledImage sample;
    sample.bytes =
        LongshotImageOps::shrink(image.data(), image.width(), image.height(), image.bytesPerRow(), width, height);
    sample.width = width;
    sample.height = height;
    sample.sourceWidth = image.width();
    sample.sourceHeight = image.height();
    return sample;
}

LongshotFrameSamples LongshotFrameSamples::make(const Image& image) {
    return {LongshotSampledImage::make(image, coarseWidth), LongshotSampledImage::make(image, fineWidth)};
}

} // namespace brisklet
