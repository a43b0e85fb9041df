#include "ZelvorApp/Longshot/LongshotSeamVerifier.h"

#include "ZelvorApp/Longshot/LongshotPixelDistance.h"

#include <algorithm>
#include <cmath>

namespace brisklet {

namespace {

/// About this many columns are compared per row, spread over the band.
constexpr int comparedColumns = 160;

bool moving(const Image& a, const Image& b, int x, int y) {
    return y >= 0 && y < a.height() && pixelDistance(a.row(y) + x * 4, b.row(y) + x * 4) > 17;
}

bool textured(const Image& image, int x, int y) {
    return LongshotPixelOverlapMatcher::isTextured(
        image.data(), static_cast<std::size_t>(y) * image.bytesPerRow() + static_cast<std::size_t>(x) * 4,
        image.bytesPerRow());
}

} // namespace

LongshotSeamVerifier::Verification LongshotSeamVerifier::measure(const Image& previous, const Image& current,
                                                                 const LongshotFixedBarDetector::Exclusions& exclusions,
                                                                 int seam,
                                                                 LongshotPixelOverlapMatcher::Direction direction) {
    Verification result{seam, 1.0, 0};
    if (previous.width() != current.width() || previous.height() != current.height() || seam < 0) {
        return result;
    }
    const int width = previous.width();
    const int top = std::clamp(exclusions.top, 0, previous.height());
    const int bottom = std::clamp(previous.height() - exclusions.bottom, top, previous.height());
    const int left = std::clamp(exclusions.left, 1, width);
    const int right = std::clamp(width - exclusions.right, left, width);
    const int step = std::max(1, (right - left) / comparedColumns);
    const bool previousMoves = direction == LongshotPixelOverlapMatcher::Direction::forward;
    long sum = 0;
    for (int y = top; y < bottom - seam; y += 2) {
        const int previousRow = previousMoves ? y + seam : y;
        const int currentRow = previousMoves ? y : y + seam;
        for (int x = left; x < right; x += step) {
            if (!moving(previous, current, x, y) && !moving(previous, current, x, y + seam)) {
                continue;
            }
            if (!textured(previous, x, previousRow) && !textured(current, x, currentRow)) {
                continue;
            }
            sum += std::min(pixelDistance(previous.row(previousRow) + x * 4, current.row(currentRow) + x * 4), 96);
            ++result.samples;
        }
    }
    if (result.samples > 0) {
        result.difference = double(sum) / (double(result.samples) * 765.0);
    }
    return result;
}

std::optional<LongshotSeamVerifier::Verification>
LongshotSeamVerifier::bestSeamNear(const Image& previous, const Image& current,
                                   const LongshotFixedBarDetector::Exclusions& exclusions, double shift, int radius,
                                   LongshotPixelOverlapMatcher::Direction direction) {
    const int centre = static_cast<int>(std::lround(shift));
    Verification best = measure(previous, current, exclusions, centre, direction);
    if (best.samples >= minimumSamples && best.difference <= maximumDifference) {
        return best;
    }
    bool conclusive = best.samples >= minimumSamples;
    for (int offset = 1; offset <= radius; ++offset) {
        for (const int seam : {centre - offset, centre + offset}) {
            if (seam < 1) {
                continue;
            }
            const auto candidate = measure(previous, current, exclusions, seam, direction);
            if (candidate.samples < minimumSamples) {
                continue;
            }
            conclusive = true;
            if (best.samples < minimumSamples || candidate.difference < best.difference) {
                best = candidate;
            }
        }
    }
    if (!conclusive) {
        return std::nullopt;
    }
    return best;
}

} // namespace brisklet
