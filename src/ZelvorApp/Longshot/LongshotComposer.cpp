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
/// Candidates whose sample difference lies this close to the best look alike on the samples.
constexpr double alikeOnSamples = 0.03;
constexpr int maximumAlternatives = 4;

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

/// The fixed bars of the pair measured at a seam on the full frames, the side bars as found.
LongshotFixedBarDetector::Exclusions barsAtSeam(const Image& previous, const Image& current,
                                                LongshotFixedBarDetector::Exclusions found, double seam,
                                                LongshotPixelOverlapMatcher::Direction direction) {
    const int rows = static_cast<int>(std::lround(seam));
    const auto measured = direction == LongshotPixelOverlapMatcher::Direction::forward
                              ? LongshotFixedBarDetector::measureAtShift(previous, current, rows)
                              : LongshotFixedBarDetector::measureAtShift(current, previous, rows);
    found.top = measured.top;
    found.bottom = measured.bottom;
    return found;
}

/// The best seam near `shift`; when the bars found on the samples do not let it line up, once
/// more with the bars measured at that shift: on the samples a bar goes unseen when little of
/// the page moved, and a bar compared as content spoils the real seam.
std::optional<LongshotSeamVerifier::Verification> bestSeamNear(const Image& previous, const Image& current,
                                                               const LongshotFixedBarDetector::Exclusions& exclusions,
                                                               double shift, int radius,
                                                               LongshotPixelOverlapMatcher::Direction direction) {
    auto verified = LongshotSeamVerifier::bestSeamNear(previous, current, exclusions, shift, radius, direction);
    if (verified && verified->difference <= LongshotSeamVerifier::maximumDifference) {
        return verified;
    }
    const auto measured = barsAtSeam(previous, current, exclusions, shift, direction);
    if (measured == exclusions) {
        return verified;
    }
    auto again = LongshotSeamVerifier::bestSeamNear(previous, current, measured, shift, radius, direction);
    if (again && (!verified || again->difference < verified->difference)) {
        return again;
    }
    return verified;
}

struct VerifiedMatch {
    LongshotPixelOverlapMatcher::Match match;
    double difference = 1.0; ///< on the full frames
};

/// The match checked on the full frames: its shift made exact, or none when the full frames do
/// not line up near it after all. A match that cannot be checked (too little texture at full
/// resolution) is none as well: what lined up on the samples was blur, and a blank overlap is
/// better kept as what it is, a step nothing in the frames measures.
std::optional<VerifiedMatch> verifiedAtFullResolution(const Image& previous, const Image& current,
                                                      const LongshotFrameSamples& currentSamples,
                                                      const LongshotFixedBarDetector::Exclusions& exclusions,
                                                      LongshotPixelOverlapMatcher::Match match,
                                                      double registrationShift) {
    // The samples place the shift within one of their rows; a shift taken over from the
    // registration may lie a few pixels further from the matcher's own estimate.
    const int sampledRow =
        currentSamples.fine ? static_cast<int>(std::ceil(double(current.height()) / currentSamples.fine->height)) : 1;
    const int radius = sampledRow + 1 + (match.shift == registrationShift ? snapToRegistrationPixels : 0);
    const auto verified = bestSeamNear(previous, current, exclusions, match.shift, radius, match.direction);
    if (!verified || verified->difference > LongshotSeamVerifier::maximumDifference) {
        return std::nullopt;
    }
    match.shift = verified->seam;
    return VerifiedMatch{match, verified->difference};
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
        const auto verified = bestSeamNear(previous, current, exclusions, registrationShift, 1, direction);
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

/// The matcher's answer checked on the full frames; when it does not line up there, or only
/// roughly, the other shifts that looked as good on the samples (rows of one rhythm: chat
/// replies, lines of code) are checked too, and the one that lines up best on the full frames
/// wins.
std::optional<LongshotPixelOverlapMatcher::Match> verifiedMatch(const FramePair& pair,
                                                                const LongshotPixelOverlapMatcher::Request& request) {
    using Candidate = LongshotPixelOverlapMatcher::Candidate;
    std::vector<Candidate> seeds;
    const auto found = LongshotPixelOverlapMatcher::match(pair.previousSamples, pair.currentSamples, request, &seeds);
    const auto verify = [&](const LongshotPixelOverlapMatcher::Match& candidate) {
        auto verified = verifiedAtFullResolution(pair.previous, pair.current, pair.currentSamples, pair.fixedBars,
                                                 candidate, request.preferredShift);
        if (verified && verified->difference > 0) {
            // Bars found on the samples may be a few rows short; with the bars measured at
            // this seam the real seam differs nowhere.
            const auto& m = verified->match;
            const auto bars = barsAtSeam(pair.previous, pair.current, pair.fixedBars, m.shift, m.direction);
            const auto exact = LongshotSeamVerifier::measure(pair.previous, pair.current, bars,
                                                             static_cast<int>(std::lround(m.shift)), m.direction);
            if (exact.samples >= LongshotSeamVerifier::minimumSamples) {
                verified->difference = std::min(verified->difference, exact.difference);
            }
        }
        return verified;
    };
    auto best = found ? verify(*found) : std::nullopt;
    // Frames of one page line up without a single differing pixel at the real seam; a seam that
    // leaves any difference may be a neighbour in the rhythm that differs only in small details.
    if ((best && best->difference == 0.0) || seeds.empty() || !pair.previousSamples.coarse) {
        return best ? std::optional(best->match) : std::nullopt;
    }
    const double v =
        double(pair.previousSamples.coarse->height) / std::max(pair.previousSamples.coarse->sourceHeight, 1);
    const double lowest = std::min_element(seeds.begin(), seeds.end(), [](const Candidate& a, const Candidate& b) {
                              return a.difference < b.difference;
                          })->difference;
    // The registration's estimate is checked too: it sees the whole band at once, the rhythm less.
    const auto nearestToRegistration =
        std::min_element(seeds.begin(), seeds.end(), [&](const Candidate& a, const Candidate& b) {
            return std::abs(a.shift / v - request.preferredShift) < std::abs(b.shift / v - request.preferredShift);
        });
    int checked = 0;
    for (auto seed = seeds.begin(); seed != seeds.end(); ++seed) {
        const double shift = seed->shift / v;
        const bool alike = seed->difference <= lowest + alikeOnSamples && checked < maximumAlternatives;
        if ((!alike && seed != nearestToRegistration) || (found && std::abs(shift - found->shift) < 2 / v)) {
            continue;
        }
        ++checked;
        const double confidence = std::max(0.0, 1.0 - seed->difference / LongshotPixelOverlapMatcher::acceptanceLimit);
        const auto alternative = verify({shift, confidence, seed->direction});
        if (alternative && (!best || alternative->difference < best->difference)) {
            best = alternative;
        }
    }
    return best ? std::optional(best->match) : std::nullopt;
}

/// The pixel matcher's answer made exact on the full frames, or the registration's when only
/// that one lines up.
std::optional<LongshotPixelOverlapMatcher::Match>
findMatch(const FramePair& pair, LongshotPixelOverlapMatcher::Request request, bool registrationObserved) {
    auto match = verifiedMatch(pair, request);
    if (!match && request.expectedShift) {
        // The expected step is a preference, not a rule: the last step before the end of the
        // page scrolls less, and near the expected step only a coincidence may line up.
        request.expectedShift.reset();
        match = verifiedMatch(pair, request);
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
    auto match = findMatch(pair, request, registered.value().has_value());
    // Once the content is lined up, the bars are measured on the full frames: exact to the row,
    // and found even where little of the page moved or a part of a bar changes.
    auto reported = exclusions;
    if (match) {
        const auto measured = barsAtSeam(previous, current, fixedBars, match->shift, match->direction);
        // A seam whose overlap holds no moving texture inside the bars was lined up by something
        // else (an edge of a bar, blur on the samples): the step is not measured.
        const auto blank = match->direction == LongshotPixelOverlapMatcher::Direction::forward
                               ? smallestBlankOverlapShift(previous, current, measured, options.minProgressPixels)
                               : std::nullopt;
        if (blank && match->shift >= *blank) {
            match.reset();
        } else {
            reported.top = options.cropOptions.ignoreTopFixedBar ? measured.top : 0;
            reported.bottom = options.cropOptions.ignoreBottomFixedBar ? measured.bottom : 0;
        }
    }

    const double shift = match ? match->shift : registrationShift;
    LongshotOverlapMatch result;
    result.seamOffset = static_cast<int>(std::lround(shift));
    result.overlapPixels =
        std::max(0, std::min(current.height() - reported.bottom - result.seamOffset, current.height() - 1));

    bool progressed = match ? match->shift >= options.minProgressPixels
                            : registrationShift >= options.minProgressPixels && drift < maximumDriftPixels;
    progressed = progressed && shift < maximumProgressShiftFraction * height;
    const int minimumOverlap = current.height() < 512 ? 64 : current.height() / 8;
    result.isReliable = match && progressed && shift <= maximumReliableShiftFraction * height &&
                        result.overlapPixels >= minimumOverlap &&
                        match->confidence >= LongshotPixelOverlapMatcher::acceptanceLimit;
    result.score = match ? match->confidence : std::max(0.0, 1.0 - drift / maximumDriftPixels);
    return withExclusions(result, reported);
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

std::optional<int> LongshotComposer::smallestBlankOverlapShift(const Image& previous, const Image& current,
                                                               const LongshotFixedBarDetector::Exclusions& fixedBars,
                                                               double minimumShift) {
    if (previous.width() != current.width() || previous.height() != current.height()) {
        return std::nullopt;
    }
    const int width = previous.width();
    const int height = previous.height();
    const int top = std::clamp(fixedBars.top, 0, height);
    const int bottom = std::clamp(height - fixedBars.bottom, top, height);
    const int left = std::clamp(fixedBars.left, 1, width);
    const int right = std::clamp(width - fixedBars.right, left, width);
    const int step = std::max(1, (right - left) / 320);
    // Texture that stands still (an undetected bar, a watermark) says nothing about the step, nor
    // does the edge of a bar seen from the first row below it.
    const auto texturedRow = [&](const Image& image, int y) {
        const std::uint8_t* row = image.row(y);
        const std::uint8_t* above = y > top ? image.row(y - 1) : nullptr;
        for (int x = left; x < right; x += step) {
            if (pixelDistance(previous.row(y) + x * 4, current.row(y) + x * 4) <= 17) {
                continue;
            }
            for (int c = 0; c < 3; ++c) {
                const int value = row[x * 4 + c];
                if (std::abs(value - row[(x - 1) * 4 + c]) > 6 || (above && std::abs(value - above[x * 4 + c]) > 6)) {
                    return true;
                }
            }
        }
        return false;
    };
    int lastPrevious = top - 1;
    for (int y = bottom - 1; y >= top; --y) {
        if (texturedRow(previous, y)) {
            lastPrevious = y;
            break;
        }
    }
    int firstCurrent = bottom;
    for (int y = top; y < bottom; ++y) {
        if (texturedRow(current, y)) {
            firstCurrent = y;
            break;
        }
    }
    // Forward by s, previous rows [top + s, bottom) meet current rows [top, bottom - s).
    const int smallest =
        std::max({lastPrevious - top + 1, bottom - firstCurrent, static_cast<int>(std::ceil(minimumShift)), 1});
    if (smallest > maximumReliableShiftFraction * height || smallest >= bottom - top) {
        return std::nullopt;
    }
    return smallest;
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
