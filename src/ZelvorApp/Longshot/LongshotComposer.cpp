#include "ZelvorApp/Longshot/LongshotComposer.h"

#include "Platform/ImageRegistration.h"
#include "ZelvorApp/Longshot/LongshotFixedBarConsensus.h"
#include "ZelvorApp/Longshot/LongshotFrameChangeDetector.h"
#include "ZelvorApp/Longshot/LongshotImageOps.h"
#include "ZelvorApp/Longshot/LongshotPixelDistance.h"
#include "ZelvorApp/Longshot/LongshotSeamVerifier.h"

#include <algorithm>
#include <cmath>

namespace brisklet {

namespace {

constexpr double maximumReliableShiftFraction = 0.78;
constexpr double maximumProgressShiftFraction = 0.98;
constexpr double maximumDriftPixels = 20;
constexpr double minimumCroppedEdgeFraction = 0.12;
constexpr int snapToRegistrationPixels = 6;

/// The registration band of both frames, or none when the full frames must be used.
std::optional<PixelRegion> registrationBand(const Image& previous, const Image& current,
                                            const LongshotCropOptions& cropOptions,
                                            const LongshotFixedBarDetector::Exclusions& exclusions) {
    const int width = std::min(previous.width(), current.width());
    const int height = std::min(previous.height(), current.height());
    const int minimumEdge = static_cast<int>(minimumCroppedEdgeFraction * height);
    const int topInset = cropOptions.ignoreTopFixedBar ? std::max(exclusions.top, minimumEdge) : 0;
    const int bottomInset = cropOptions.ignoreBottomFixedBar ? std::max(exclusions.bottom, minimumEdge) : 0;
    const int leftInset = std::clamp(exclusions.left, 0, width / 3);
    const int rightInset = std::clamp(exclusions.right, 0, width / 3);
    const int bandWidth = width - leftInset - rightInset;
    const int bandHeight = height - topInset - bottomInset;
    const bool tooNarrow = width >= 192 ? bandWidth < width / 3.0 : bandWidth < 64;
    const bool tooShort = height >= 192 ? bandHeight < height / 3.0 : bandHeight < 64;
    if (tooNarrow || tooShort || bandWidth <= 0 || bandHeight <= 0) {
        return std::nullopt;
    }
    return PixelRegion{leftInset, topInset, bandWidth, bandHeight};
}

LongshotOverlapMatch withExclusions(LongshotOverlapMatch match, const LongshotFixedBarDetector::Exclusions& e) {
    match.headerExclusionHeight = e.top;
    match.footerExclusionHeight = e.bottom;
    match.leftExclusionWidth = e.left;
    match.rightExclusionWidth = e.right;
    return match;
}

/// Whether row `y` shows the same thing in both frames: at most a twentieth of its pixels moved
/// (a small animation in a toolbar does not make it content).
bool rowIsFixed(const Image& a, const Image& b, int y, int width) {
    const std::uint8_t* rowA = a.row(y);
    const std::uint8_t* rowB = b.row(y);
    int moved = 0;
    for (int x = 0; x < width; ++x) {
        if (pixelDistance(rowA + x * 4, rowB + x * 4) > 17 && ++moved > width / 20) {
            return false;
        }
    }
    return true;
}

/// Source rows covered by one row of the coarse sample of a frame of this size.
int sampledRowHeight(int width, int height) {
    const int sampledWidth = std::min(LongshotFrameSamples::coarseWidth, width);
    const int sampledHeight =
        std::clamp(static_cast<int>(std::lround(height * double(sampledWidth) / std::max(width, 1))), 1, 512);
    return static_cast<int>(std::ceil(double(height) / sampledHeight));
}

struct Slice {
    const Image* image = nullptr;
    int top = 0;
    int bottom = 0;
};

std::vector<Slice> slicesFor(const std::vector<AcceptedLongshotFrame>& frames, int header, int footer) {
    std::vector<Slice> slices;
    const std::size_t count = frames.size();
    for (std::size_t i = 0; i < count; ++i) {
        const Image& image = *frames[i].image;
        const int h = image.height();
        const int clampedHeader = std::min(header, h - 1);
        int advance = 0;
        if (i + 1 < count && frames[i + 1].match) {
            advance = frames[i + 1].match->seamOffset;
        } else if (frames[i].match) {
            advance = frames[i].match->seamOffset;
        }
        advance = std::clamp(advance, 0, std::max(h - clampedHeader - footer, 1));
        Slice slice{&image, clampedHeader, clampedHeader + advance};
        if (i == 0) {
            slice.top = 0; // the header once, plus what scrolls away before the next frame
        }
        if (i + 1 == count) {
            slice.bottom = h; // the rest of the page and the footer, once
        }
        slice.top = std::clamp(slice.top, 0, h);
        slice.bottom = std::clamp(slice.bottom, 0, h);
        if (slice.bottom > slice.top) {
            slices.push_back(slice);
        }
    }
    return slices;
}

/// The match checked on the full frames: its shift made exact, or none when the full frames do
/// not line up near it after all. A match that cannot be checked (too little texture) stands.
std::optional<LongshotPixelOverlapMatcher::Match>
verifiedAtFullResolution(const Image& previous, const Image& current, const LongshotFrameSamples& currentSamples,
                         const LongshotFixedBarDetector::Exclusions& exclusions,
                         LongshotPixelOverlapMatcher::Match match, double registrationShift) {
    // The samples place the shift within one of their rows; a shift taken over from the
    // registration may lie a few pixels further from the matcher's own estimate.
    const int sampledRow =
        currentSamples.fine ? static_cast<int>(std::ceil(double(current.height()) / currentSamples.fine->height)) : 1;
    const int radius = sampledRow + 1 + (match.shift == registrationShift ? snapToRegistrationPixels : 0);
    const auto verified =
        LongshotSeamVerifier::bestSeamNear(previous, current, exclusions, match.shift, radius, match.direction);
    if (!verified) {
        return match;
    }
    if (verified->difference > LongshotSeamVerifier::maximumDifference) {
        return std::nullopt;
    }
    match.shift = verified->seam;
    return match;
}

/// The registration's shift as a match, when the full frames line up exactly there.
std::optional<LongshotPixelOverlapMatcher::Match>
registrationAtFullResolution(const Image& previous, const Image& current,
                             const LongshotFixedBarDetector::Exclusions& exclusions, double registrationShift,
                             std::optional<LongshotPixelOverlapMatcher::Direction> allowedDirection) {
    using Direction = LongshotPixelOverlapMatcher::Direction;
    if (registrationShift < 1) {
        return std::nullopt;
    }
    for (const Direction direction : {Direction::forward, Direction::reverse}) {
        if (allowedDirection && direction != *allowedDirection) {
            continue;
        }
        const auto verified =
            LongshotSeamVerifier::bestSeamNear(previous, current, exclusions, registrationShift, 1, direction);
        if (verified && verified->difference <= LongshotSeamVerifier::maximumDifference) {
            const double confidence =
                std::max(0.0, 1.0 - verified->difference / LongshotPixelOverlapMatcher::acceptanceLimit);
            return LongshotPixelOverlapMatcher::Match{double(verified->seam), confidence, direction};
        }
    }
    return std::nullopt;
}

struct FramePair {
    const Image& previous;
    const LongshotFrameSamples& previousSamples;
    const Image& current;
    const LongshotFrameSamples& currentSamples;
    /// Every fixed bar, whatever the crop options: none of them moves.
    const LongshotFixedBarDetector::Exclusions& fixedBars;
};

/// The pixel matcher's answer made exact on the full frames, or the registration's when only
/// that one lines up.
std::optional<LongshotPixelOverlapMatcher::Match>
findMatch(const FramePair& pair, LongshotPixelOverlapMatcher::Request request, bool registrationObserved) {
    const auto verifiedMatch = [&] {
        auto found = LongshotPixelOverlapMatcher::match(pair.previousSamples, pair.currentSamples, request);
        return found ? verifiedAtFullResolution(pair.previous, pair.current, pair.currentSamples, pair.fixedBars,
                                                *found, request.preferredShift)
                     : found;
    };
    auto match = verifiedMatch();
    if (!match && request.expectedShift) {
        // The expected step is a preference, not a rule: the last step before the end of the
        // page scrolls less, and near the expected step only a coincidence may line up.
        request.expectedShift.reset();
        match = verifiedMatch();
    }
    if (!match && registrationObserved) {
        // Beyond the matcher's reach (a long step between tall bars) the registration may still
        // have found the scroll; the full frames decide.
        match = registrationAtFullResolution(pair.previous, pair.current, pair.fixedBars, request.preferredShift,
                                             request.allowedDirection);
    }
    return match;
}

} // namespace

LongshotOverlapMatch LongshotComposer::analyze(const Image& previous, const Image& current,
                                               const LongshotAnalysisOptions& options) const {
    return analyze(previous, LongshotFrameSamples::make(previous), current, LongshotFrameSamples::make(current),
                   options);
}

LongshotOverlapMatch LongshotComposer::analyze(const Image& previous, const LongshotFrameSamples& previousSamples,
                                               const Image& current, const LongshotFrameSamples& currentSamples,
                                               const LongshotAnalysisOptions& options) const {
    if (!LongshotFrameChangeDetector::hasMeaningfulChange(previousSamples.coarse, currentSamples.coarse)) {
        return LongshotOverlapMatch{0, 0, 1.0, 0, 0, 0, 0, false};
    }
    const auto exclusions =
        LongshotFixedBarDetector::detect(previousSamples.coarse, currentSamples.coarse, options.cropOptions);

    // The band is handed over as a region of the frames: the same request without copying them.
    const auto band = registrationBand(previous, current, options.cropOptions, exclusions);
    const auto registered =
        band ? registration_.translation(previous, current, *band) : registration_.translation(previous, current);
    if (!registered) {
        return withExclusions(LongshotOverlapMatch{}, exclusions);
    }
    const double registrationShift = registered.value() ? std::abs(registered.value()->ty) : 0.0;
    const double drift = registered.value() ? std::abs(registered.value()->tx) : 0.0;

    const double height = current.height();
    LongshotPixelOverlapMatcher::Request request;
    request.exclusions = exclusions;
    request.minimumShift = options.minProgressPixels;
    request.preferredShift = registrationShift;
    request.allowedDirection = options.allowedPixelDirection;
    request.maximumShift = maximumReliableShiftFraction * height;
    request.expectedShift = options.expectedScrollStep;
    // A bar kept in the output still stands still: the full-resolution check leaves it out.
    const auto fixedBars = options.cropOptions == LongshotCropOptions::automatic()
                               ? exclusions
                               : LongshotFixedBarDetector::detect(previousSamples.coarse, currentSamples.coarse,
                                                                  LongshotCropOptions::automatic());
    const FramePair pair{previous, previousSamples, current, currentSamples, fixedBars};
    const auto match = findMatch(pair, request, registered.value().has_value());

    const double shift = match ? match->shift : registrationShift;
    LongshotOverlapMatch result;
    result.seamOffset = static_cast<int>(std::lround(shift));
    result.overlapPixels =
        std::max(0, std::min(current.height() - exclusions.bottom - result.seamOffset, current.height() - 1));

    bool progressed = match ? match->shift >= options.minProgressPixels
                            : registrationShift >= options.minProgressPixels && drift < maximumDriftPixels;
    progressed = progressed && shift < maximumProgressShiftFraction * height;
    const int minimumOverlap = current.height() < 512 ? 64 : current.height() / 8;
    result.isReliable = match && progressed && shift <= maximumReliableShiftFraction * height &&
                        result.overlapPixels >= minimumOverlap &&
                        match->confidence >= LongshotPixelOverlapMatcher::acceptanceLimit;
    result.score = match ? match->confidence : std::max(0.0, 1.0 - drift / maximumDriftPixels);
    return withExclusions(result, exclusions);
}

std::pair<Image, Image> LongshotComposer::registrationImages(const Image& previous, const Image& current,
                                                             const LongshotCropOptions& cropOptions,
                                                             const LongshotFixedBarDetector::Exclusions& exclusions) {
    if (const auto band = registrationBand(previous, current, cropOptions, exclusions)) {
        auto previousBand = LongshotImageOps::crop(previous, band->x, band->y, band->width, band->height);
        auto currentBand = LongshotImageOps::crop(current, band->x, band->y, band->width, band->height);
        if (previousBand && currentBand) {
            return {std::move(*previousBand), std::move(*currentBand)};
        }
    }
    return {previous, current};
}

int LongshotComposer::refinedHeaderHeight(const std::vector<AcceptedLongshotFrame>& frames, int header) {
    if (header <= 0) {
        return header;
    }
    std::optional<int> end;
    for (std::size_t i = 1; i < frames.size(); ++i) {
        const Image& previous = *frames[i - 1].image;
        const Image& current = *frames[i].image;
        if (!frames[i].match || frames[i].match->seamOffset <= 0 || previous.height() != current.height()) {
            continue;
        }
        const int width = std::min(previous.width(), current.width());
        const int limit =
            std::min(end.value_or(header + sampledRowHeight(width, current.height()) + 2), current.height() - 1);
        int y = std::min(header, limit);
        while (y < limit && rowIsFixed(previous, current, y, width)) {
            ++y;
        }
        // Rows that stand still in every pair belong to the bar; blank page rows that happen to
        // match in one pair are cut consistently from every slice, which loses nothing.
        end = y;
    }
    return std::max(header, end.value_or(header));
}

std::optional<Image> LongshotComposer::compose(const std::vector<AcceptedLongshotFrame>& frames,
                                               const LongshotCropOptions& cropOptions) {
    if (frames.empty() || std::any_of(frames.begin(), frames.end(), [](const auto& f) { return !f.image; })) {
        return std::nullopt;
    }
    int width = frames.front().image->width();
    for (const auto& frame : frames) {
        width = std::min(width, frame.image->width());
    }
    if (width <= 0) {
        return std::nullopt;
    }
    if (frames.size() == 1) {
        return LongshotImageOps::crop(*frames.front().image, 0, 0, width, frames.front().image->height());
    }
    const auto bars = LongshotFixedBarConsensus::resolve(frames, cropOptions);
    const int header = refinedHeaderHeight(frames, bars.top);
    const auto slices = slicesFor(frames, header, bars.bottom);

    int height = 0;
    for (const Slice& slice : slices) {
        height += slice.bottom - slice.top;
    }
    if (height == 0) {
        return Image(width, 1); // nothing to show: one clear row
    }
    // The rows are appended in order rather than drawn into a cleared bitmap: the same image,
    // without writing every byte twice.
    const std::size_t rowBytes = static_cast<std::size_t>(width) * 4;
    std::vector<std::uint8_t> pixels;
    pixels.reserve(rowBytes * static_cast<std::size_t>(height));
    for (const Slice& slice : slices) {
        for (int row = slice.top; row < slice.bottom; ++row) {
            pixels.insert(pixels.end(), slice.image->row(row), slice.image->row(row) + rowBytes);
        }
    }
    Image result(width, height, std::move(pixels));
    return result;
}

} // namespace brisklet
