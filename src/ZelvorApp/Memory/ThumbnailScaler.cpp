#include "ZelvorApp/Memory/ThumbnailScaler.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace brisklet {

namespace {

struct Contribution {
    int first = 0;
    std::vector<double> weights;
};

// For each target index, the source indices it covers and how much of each.
std::vector<Contribution> contributions(int sourceLength, int targetLength) {
    std::vector<Contribution> result(static_cast<std::size_t>(targetLength));
    const double ratio = static_cast<double>(sourceLength) / targetLength;
    for (int t = 0; t < targetLength; ++t) {
        const double begin = t * ratio;
        const double end = std::min<double>(sourceLength, (t + 1) * ratio);
        auto& c = result[static_cast<std::size_t>(t)];
        c.first = static_cast<int>(std::floor(begin));
        for (int s = c.first; s < end; ++s) {
            const double covered = std::min<double>(s + 1, end) - std::max<double>(s, begin);
            c.weights.push_back(covered / (end - begin));
        }
    }
    return result;
}

} // namespace

void ThumbnailScaler::fittedSize(int width, int height, int maxDimension, int& outWidth, int& outHeight) {
    const double scale = std::min(static_cast<double>(maxDimension) / std::max(width, height), 1.0);
    outWidth = std::max(1, static_cast<int>(std::lround(width * scale)));
    outHeight = std::max(1, static_cast<int>(std::lround(height * scale)));
}

Image ThumbnailScaler::fitting(const Image& image, int maxDimension) {
    if (image.isEmpty()) {
        return image;
    }
    int width = 0;
    int height = 0;
    fittedSize(image.width(), image.height(), maxDimension, width, height);
    if (width == image.width() && height == image.height()) {
        return image;
    }
    return resized(image, width, height);
}

Image ThumbnailScaler::resized(const Image& image, int width, int height) {
    const auto columns = contributions(image.width(), width);
    const auto rows = contributions(image.height(), height);
    // Horizontal pass into premultiplied doubles, then the vertical pass.
    std::vector<double> horizontal(static_cast<std::size_t>(width) * static_cast<std::size_t>(image.height()) * 4);
    for (int y = 0; y < image.height(); ++y) {
        const std::uint8_t* src = image.row(y);
        for (int x = 0; x < width; ++x) {
            const auto& c = columns[static_cast<std::size_t>(x)];
            double acc[4] = {0, 0, 0, 0};
            for (std::size_t i = 0; i < c.weights.size(); ++i) {
                const std::uint8_t* p = src + static_cast<std::size_t>(c.first + static_cast<int>(i)) * 4;
                const double alpha = p[3] / 255.0;
                const double w = c.weights[i];
                acc[0] += p[0] * alpha * w;
                acc[1] += p[1] * alpha * w;
                acc[2] += p[2] * alpha * w;
                acc[3] += p[3] * w;
            }
            std::copy(acc, acc + 4,
                      horizontal.begin() + static_cast<std::ptrdiff_t>((static_cast<std::size_t>(y) * width + x) * 4));
        }
    }
    Image out(width, height);
    for (int y = 0; y < height; ++y) {
        const auto& r = rows[static_cast<std::size_t>(y)];
        std::uint8_t* dst = out.row(y);
        for (int x = 0; x < width; ++x) {
            double acc[4] = {0, 0, 0, 0};
            for (std::size_t i = 0; i < r.weights.size(); ++i) {
                const std::size_t at = (static_cast<std::size_t>(r.first + static_cast<int>(i)) * width + x) * 4;
                for (int k = 0; k < 4; ++k) {
                    acc[k] += horizontal[at + static_cast<std::size_t>(k)] * r.weights[i];
                }
            }
            const double alpha = acc[3] / 255.0;
            for (int k = 0; k < 3; ++k) {
                const double straight = alpha > 0 ? acc[k] / alpha : 0;
                dst[x * 4 + k] = static_cast<std::uint8_t>(std::clamp(std::lround(straight), 0L, 255L));
            }
            dst[x * 4 + 3] = static_cast<std::uint8_t>(std::clamp(std::lround(acc[3]), 0L, 255L));
        }
    }
    return out;
}

} // namespace brisklet
