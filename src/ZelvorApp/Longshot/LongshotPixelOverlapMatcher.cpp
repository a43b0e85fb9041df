#include "ZelvorApp/Longshot/LongshotPixelOverlapMatcher.h"

#include "ZelvorApp/Longshot/LongshotPixelDistance.h"

#include <algorithm>
#include <cmath>

namespace brisklet {

namespace {

using Direction = LongshotPixelOverlapMatcher::Direction;
using Candidate = LongshotPixelOverlapMatcher::Candidate;

constexpr int textureThreshold = 6;
constexpr int movingThreshold = 17;
constexpr int cappedDistance = 96;
constexpr int seedSpacingRows = 2;
constexpr std::size_t maximumSeeds = 8;
constexpr double snapToPreferredPixels = 6;

/// The comparison band of a sample with the fixed bars cut away, in sampled pixels.
struct Band {
    int top = 0;
    int bottom = 0;
    int left = 0;
    int right = 0;
    int height() const { return bottom - top; }
};

double verticalScale(const LongshotSampledImage& s) {
    return double(s.height) / std::max(s.sourceHeight, 1);
}

double horizontalScale(const LongshotSampledImage& s) {
    return double(s.width) / std::max(s.sourceWidth, 1);
}

Band bandFor(const LongshotSampledImage& s, const LongshotFixedBarDetector::Exclusions& exclusions) {
    const double v = verticalScale(s);
    const double u = horizontalScale(s);
    Band band;
    band.top = std::clamp(static_cast<int>(std::lround(v * std::max(exclusions.top, 0))), 0, s.height - 1);
    band.bottom = std::max(s.height - static_cast<int>(std::lround(v * std::max(exclusions.bottom, 0))), band.top + 1);
    band.left = std::clamp(static_cast<int>(std::lround(u * std::max(exclusions.left, 0))), 0, s.width - 1);
    band.right = std::max(s.width - static_cast<int>(std::lround(u * std::max(exclusions.right, 0))), band.left + 1);
    return band;
}

bool movingAt(const LongshotSampledImage& lhs, const LongshotSampledImage& rhs, int x, int y) {
    return y >= 0 && y < lhs.height && pixelDistance(lhs.pixel(x, y), rhs.pixel(x, y)) > movingThreshold;
}

bool texturedAt(const LongshotSampledImage& s, int x, int y) {
    return LongshotPixelOverlapMatcher::isTextured(
        s.bytes.data(), static_cast<std::size_t>(y) * s.rowStride() + static_cast<std::size_t>(x) * 4, s.rowStride());
}

struct FineWinner {
    double shift = 0; // source pixels
    double score = 0;
    Direction direction = Direction::forward;
};

std::optional<FineWinner> fineStage(const LongshotSampledImage& previous, const LongshotSampledImage& current,
                                    const std::vector<Candidate>& seeds, double coarseScale,
                                    const LongshotPixelOverlapMatcher::Request& request) {
    const Band band = bandFor(previous, request.exclusions);
    const double fineScale = verticalScale(previous);
    const double target = request.expectedShift.value_or(request.preferredShift);
    const int requiredSamples = previous.width < 192 ? 24 : previous.width / 8;
    const double sourceHeight = std::max(previous.sourceHeight, 1);
    std::optional<FineWinner> winner;
    for (const Candidate& seed : seeds) {
        const int shift = std::max(static_cast<int>(std::lround(fineScale * seed.shift / coarseScale)), 1);
        if (shift >= band.height()) {
            continue;
        }
        const auto difference =
            LongshotPixelOverlapMatcher::difference(previous, current, band.top, band.bottom, band.left, band.right,
                                                    shift, seed.direction == Direction::forward, 6);
        if (difference.samples < requiredSamples) {
            continue;
        }
        const double shiftPixels = shift / fineScale;
        const double score = difference.value + 0.03 * std::abs(shiftPixels - target) / sourceHeight;
        if (!winner || score < winner->score) {
            winner = FineWinner{shiftPixels, score, seed.direction};
        }
    }
    return winner;
}

} // namespace

bool LongshotPixelOverlapMatcher::isTextured(const std::uint8_t* bytes, std::size_t offset, std::size_t rowStride) {
    const bool hasLeft = rowStride > 0 && offset % rowStride >= 4;
    const bool hasAbove = offset >= rowStride;
    for (std::size_t c = 0; c < 3; ++c) {
        const int value = bytes[offset + c];
        if (hasLeft && std::abs(value - int(bytes[offset - 4 + c])) > textureThreshold) {
            return true;
        }
        if (hasAbove && std::abs(value - int(bytes[offset - rowStride + c])) > textureThreshold) {
            return true;
        }
    }
    return false;
}

LongshotPixelOverlapMatcher::Difference LongshotPixelOverlapMatcher::difference(const LongshotSampledImage& lhs,
                                                                                const LongshotSampledImage& rhs,
                                                                                int top, int bottom, int left,
                                                                                int right, int shift, bool lhsMoves,
                                                                                int horizontalStride) {
    if (!lhs.sameSize(rhs) || shift < 0 || horizontalStride < 1) {
        return {};
    }
    top = std::max(top, 0);
    bottom = std::min(bottom, lhs.height);
    if (top >= bottom - shift) {
        return {};
    }
    const int x0 = std::max(left, 2);
    const int x1 = std::min(right, lhs.width - 1);
    long sum = 0;
    int samples = 0;
    for (int y = top; y < bottom - shift; y += 2) {
        const int lhsRow = lhsMoves ? y + shift : y;
        const int rhsRow = lhsMoves ? y : y + shift;
        for (int x = x0; x < x1; x += horizontalStride) {
            // Content that stands still in both frames (fixed bars, blank page) says nothing about
            // the shift, so only positions where the frames differ count.
            if (!movingAt(lhs, rhs, x, y) && !movingAt(lhs, rhs, x, y + shift)) {
                continue;
            }
            // Flat areas match at any shift; only texture pins the shift down.
            if (!texturedAt(lhs, x, lhsRow) && !texturedAt(rhs, x, rhsRow)) {
                continue;
            }
            sum += std::min(pixelDistance(lhs.pixel(x, lhsRow), rhs.pixel(x, rhsRow)), cappedDistance);
            ++samples;
        }
    }
    if (samples == 0) {
        return {};
    }
    return {double(sum) / (double(samples) * 765.0), samples};
}

std::vector<Candidate> LongshotPixelOverlapMatcher::coarseCandidates(const LongshotSampledImage& previous,
                                                                     const LongshotSampledImage& current,
                                                                     const Request& request) {
    std::vector<Candidate> candidates;
    if (!previous.sameSize(current)) {
        return candidates;
    }
    const int w = previous.width;
    const int h = previous.height;
    const double v = verticalScale(previous);
    const Band band = bandFor(previous, request.exclusions);

    const int minimumOverlap = h >= 288 ? h / 24 : 12;
    int largest = band.height() - minimumOverlap;
    if (request.maximumShift) {
        largest = std::min(largest, static_cast<int>(std::floor(v * *request.maximumShift)));
    }
    const int smallest = std::max(static_cast<int>(std::lround(v * request.minimumShift)), 1);
    if (largest < smallest) {
        return candidates;
    }
    const int bandWidth = band.right - band.left;
    if (w < 48 ? bandWidth < 16 : bandWidth < w / 3) {
        return candidates;
    }
    const int requiredSamples = w < 144 ? 24 : w / 6;
    for (int shift = smallest; shift <= largest; ++shift) {
        const auto differenceFor = [&](bool lhsMoves) {
            return difference(previous, current, band.top, band.bottom, band.left, band.right, shift, lhsMoves, 2);
        };
        Candidate candidate{shift, 1.0, 0, Direction::forward};
        if (request.allowedDirection == Direction::reverse) {
            const auto reverse = differenceFor(false);
            candidate = {shift, reverse.value, reverse.samples, Direction::reverse};
        } else {
            const auto forward = differenceFor(true);
            candidate = {shift, forward.value, forward.samples, Direction::forward};
            if (!request.allowedDirection) {
                const auto reverse = differenceFor(false);
                if (reverse.value < forward.value) {
                    candidate = {shift, reverse.value, reverse.samples, Direction::reverse};
                }
            }
        }
        if (candidate.samples >= requiredSamples) {
            candidates.push_back(candidate);
        }
    }
    return candidates;
}

std::vector<Candidate> LongshotPixelOverlapMatcher::seeds(std::vector<Candidate> candidates, double preferredShift,
                                                          double scale) {
    std::vector<Candidate> taken;
    if (candidates.empty()) {
        return taken;
    }
    const auto nearTaken = [&](const Candidate& c) {
        return std::any_of(taken.begin(), taken.end(),
                           [&](const Candidate& s) { return std::abs(s.shift - c.shift) <= seedSpacingRows; });
    };
    const Candidate* nearest = &candidates.front();
    for (const Candidate& c : candidates) {
        if (std::abs(c.shift / scale - preferredShift) < std::abs(nearest->shift / scale - preferredShift)) {
            nearest = &c;
        }
    }
    const Candidate nearestToPreferred = *nearest;

    std::stable_sort(candidates.begin(), candidates.end(),
                     [](const Candidate& a, const Candidate& b) { return a.difference < b.difference; });
    for (const Candidate& c : candidates) {
        if (taken.size() == maximumSeeds) {
            break;
        }
        if (!nearTaken(c)) {
            taken.push_back(c);
        }
    }
    if (!nearTaken(nearestToPreferred)) {
        taken.push_back(nearestToPreferred);
    }
    return taken;
}

std::optional<LongshotPixelOverlapMatcher::Match>
LongshotPixelOverlapMatcher::match(const Image& previous, const Image& current, const Request& request) {
    return match(LongshotFrameSamples::make(previous), LongshotFrameSamples::make(current), request);
}

std::optional<LongshotPixelOverlapMatcher::Match>
LongshotPixelOverlapMatcher::match(const LongshotFrameSamples& previous, const LongshotFrameSamples& current,
                                   const Request& request, std::vector<Candidate>* seedsOut) {
    if (!previous.coarse || !current.coarse || !previous.coarse->sameSize(*current.coarse)) {
        return std::nullopt;
    }
    const double v = verticalScale(*previous.coarse);
    auto candidates = coarseCandidates(*previous.coarse, *current.coarse, request);

    if (request.expectedShift) {
        const double window = std::max(0.12 * *request.expectedShift, 24.0);
        std::vector<Candidate> nearExpected;
        for (const Candidate& c : candidates) {
            if (std::abs(c.shift / v - *request.expectedShift) <= window) {
                nearExpected.push_back(c);
            }
        }
        const bool convincing = std::any_of(nearExpected.begin(), nearExpected.end(),
                                            [](const Candidate& c) { return c.difference < acceptanceLimit; });
        if (convincing) {
            candidates = std::move(nearExpected);
        }
    }

    const auto seedList = seeds(std::move(candidates), request.preferredShift, v);
    if (seedsOut) {
        *seedsOut = seedList;
    }
    if (seedList.empty()) {
        return std::nullopt;
    }

    std::optional<FineWinner> winner;
    if (previous.fine && current.fine && previous.fine->sameSize(*current.fine)) {
        winner = fineStage(*previous.fine, *current.fine, seedList, v, request);
    }
    const double found = winner ? winner->shift : seedList.front().shift / v;
    const double difference = winner ? winner->score : seedList.front().difference;
    const Direction direction = winner ? winner->direction : seedList.front().direction;
    if (difference >= acceptanceLimit) {
        return std::nullopt;
    }
    const double target = request.expectedShift.value_or(request.preferredShift);
    const double sourceHeight = std::max(previous.coarse->sourceHeight, 1);
    Match result;
    result.shift = std::abs(found - request.preferredShift) <= snapToPreferredPixels ? request.preferredShift : found;
    result.confidence =
        std::max(0.0, 1.0 - difference / acceptanceLimit - 0.25 * std::abs(found - target) / sourceHeight);
    result.direction = direction;
    return result;
}

} // namespace brisklet
