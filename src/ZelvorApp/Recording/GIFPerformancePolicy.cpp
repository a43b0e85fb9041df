#include "ZelvorApp/Recording/GIFPerformancePolicy.h"

#include "Platform/GIFEncoder.h"
#include "ZelvorApp/Recording/GIFFrameTiming.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace brisklet {

int GIFPerformancePolicy::effectiveExportFPS(int requestedFPS, double recordingDuration) {
    const int requested = std::max(requestedFPS, 1);
    if (recordingDuration <= 0 || requestedFPS < 2) {
        return requested;
    }
    for (int fps = requested; fps >= 2; --fps) {
        const double delay = GIFFrameTiming::delayHundredths(fps) / 100.0;
        if (std::round(recordingDuration / delay) <= kMaxExportedFrames) {
            return fps;
        }
    }
    return 1;
}

GIFPerformancePolicy::PixelSize GIFPerformancePolicy::constrainedPixelSize(int width, int height,
                                                                           int maxPixelDimension) {
    const int w = std::max(width, 1);
    const int h = std::max(height, 1);
    const int longer = std::max(w, h);
    if (maxPixelDimension <= 0 || longer <= maxPixelDimension) {
        return {w, h};
    }
    const double scale = static_cast<double>(maxPixelDimension) / longer;
    return {std::max(static_cast<int>(std::lround(w * scale)), 1),
            std::max(static_cast<int>(std::lround(h * scale)), 1)};
}

namespace {

/// For each target index, the half-open source range it covers (at least one source pixel).
std::vector<std::pair<int, int>> coverage(int source, int target) {
    std::vector<std::pair<int, int>> spans(static_cast<std::size_t>(target));
    for (int i = 0; i < target; ++i) {
        const int begin = static_cast<int>(static_cast<long long>(i) * source / target);
        const int end = static_cast<int>(static_cast<long long>(i + 1) * source / target);
        spans[static_cast<std::size_t>(i)] = {begin, std::max(end, begin + 1)};
    }
    return spans;
}

} // namespace

Image GIFPerformancePolicy::downscaledImage(const Image& image, int maxPixelDimension) {
    if (image.isEmpty()) {
        return image;
    }
    const PixelSize size = constrainedPixelSize(image.width(), image.height(), maxPixelDimension);
    if (size.width == image.width() && size.height == image.height()) {
        return image;
    }
    Image result(size.width, size.height);
    const auto columns = coverage(image.width(), size.width);
    const auto rows = coverage(image.height(), size.height);
    std::vector<std::uint64_t> sums(static_cast<std::size_t>(size.width) * 4);
    for (int y = 0; y < size.height; ++y) {
        std::fill(sums.begin(), sums.end(), 0);
        const auto [rowBegin, rowEnd] = rows[static_cast<std::size_t>(y)];
        for (int sy = rowBegin; sy < rowEnd; ++sy) {
            const std::uint8_t* src = image.row(sy);
            for (int x = 0; x < size.width; ++x) {
                const auto [colBegin, colEnd] = columns[static_cast<std::size_t>(x)];
                std::uint64_t* sum = &sums[static_cast<std::size_t>(x) * 4];
                for (int sx = colBegin; sx < colEnd; ++sx) {
                    const std::uint8_t* p = src + static_cast<std::size_t>(sx) * 4;
                    // Colour is weighted by alpha so transparent pixels do not darken the edges.
                    sum[0] += std::uint64_t{p[0]} * p[3];
                    sum[1] += std::uint64_t{p[1]} * p[3];
                    sum[2] += std::uint64_t{p[2]} * p[3];
                    sum[3] += p[3];
                }
            }
        }
        std::uint8_t* dst = result.row(y);
        for (int x = 0; x < size.width; ++x) {
            const auto [colBegin, colEnd] = columns[static_cast<std::size_t>(x)];
            const std::uint64_t area = static_cast<std::uint64_t>(colEnd - colBegin) * (rowEnd - rowBegin);
            const std::uint64_t* sum = &sums[static_cast<std::size_t>(x) * 4];
            std::uint8_t* out = dst + static_cast<std::size_t>(x) * 4;
            if (sum[3] == 0) {
                out[0] = out[1] = out[2] = out[3] = 0;
                continue;
            }
            for (int c = 0; c < 3; ++c) {
                out[c] = static_cast<std::uint8_t>((sum[c] + sum[3] / 2) / sum[3]);
            }
            out[3] = static_cast<std::uint8_t>((sum[3] + area / 2) / area);
        }
    }
    return result;
}

int GIFPerformancePolicy::encodingQuality(RecordingQuality quality) {
    switch (quality) {
    case RecordingQuality::low:
        return 60;
    case RecordingQuality::medium:
        return GIFEncodingQuality::standard;
    case RecordingQuality::high:
        return 92;
    }
    return GIFEncodingQuality::standard;
}

} // namespace brisklet
