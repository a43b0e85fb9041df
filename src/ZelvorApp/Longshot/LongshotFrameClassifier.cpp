#include "ZelvorApp/Longshot/LongshotFrameClassifier.h"

#include "ZelvorApp/Longshot/LongshotFrameChangeDetector.h"

#include <algorithm>
#include <cmath>

namespace brisklet {

namespace {

constexpr double maximumGuessedShiftFraction = 0.78;

LongshotOverlapMatch withSeam(LongshotOverlapMatch match, int seam, int height) {
    match.seamOffset = seam;
    match.overlapPixels = std::max(0, std::min(height - match.footerExclusionHeight - seam, height - 1));
    match.score = 0;
    match.isReliable = false;
    return match;
}

} // namespace

const LongshotFrameSamples& LongshotFrameClassifier::samplesFor(const std::shared_ptr<const Image>& image) {
    if (cachedImage_ != image) {
        cachedSamples_ = LongshotFrameSamples::make(*image);
        cachedImage_ = image;
    }
    return cachedSamples_;
}

LongshotFrameAccepted LongshotFrameClassifier::keep(const std::shared_ptr<const Image>& image,
                                                    LongshotFrameSamples samples, LongshotOverlapMatch match) {
    // The accepted frame is the next comparison's previous frame.
    cachedImage_ = image;
    cachedSamples_ = std::move(samples);
    recent_.clear();
    if (match.isReliable) {
        lastMeasured_ = match;
    }
    return LongshotFrameAccepted{{image, match}, LongshotSeamSource::measured, std::nullopt};
}

LongshotFixedBarDetector::Exclusions LongshotFrameClassifier::barsFor(const LongshotOverlapMatch& analysed) const {
    // Bars measured on frames that lined up are exact; what a pair that does not line up shows
    // (blank page standing still in both) is not.
    return LongshotComposer::fixedBarsOf(lastMeasured_ ? *lastMeasured_ : analysed);
}

LongshotOverlapMatch LongshotFrameClassifier::guessedMatch(const Image& previous, const Image& current,
                                                           const LongshotOverlapMatch& analysed,
                                                           const LongshotAnalysisOptions& options) const {
    LongshotOverlapMatch match = analysed;
    const auto bars = barsFor(analysed);
    match.headerExclusionHeight = bars.top;
    match.footerExclusionHeight = bars.bottom;
    match.leftExclusionWidth = bars.left;
    match.rightExclusionWidth = bars.right;
    const int height = current.height();
    const int largest = static_cast<int>(maximumGuessedShiftFraction * height);
    const auto blank = LongshotComposer::smallestBlankOverlapShift(previous, current, bars, options.minProgressPixels);
    const int smallest = std::min(blank.value_or(static_cast<int>(std::ceil(options.minProgressPixels))), largest);
    // The auto-scroller's step, else the last step measured (a hand scrolls in similar steps),
    // else the smallest step the frames allow, which never invents blank page.
    int seam = smallest;
    if (options.expectedScrollStep) {
        seam = static_cast<int>(std::lround(*options.expectedScrollStep));
    } else if (lastMeasured_) {
        seam = lastMeasured_->seamOffset;
    }
    return withSeam(match, std::clamp(seam, smallest, largest), height);
}

std::optional<LongshotFrameAccepted> LongshotFrameClassifier::matchRecent(
    const std::shared_ptr<const Image>& lastAccepted, const std::shared_ptr<const Image>& current,
    const LongshotFrameSamples& currentSamples, const LongshotAnalysisOptions& options) {
    for (auto seen = recent_.rbegin(); seen != recent_.rend(); ++seen) {
        if (!LongshotFrameChangeDetector::hasMeaningfulChange(seen->samples.coarse, currentSamples.coarse)) {
            continue;
        }
        const auto match = composer_.analyze(*seen->image, seen->samples, *current, currentSamples, options);
        if (!match.isReliable) {
            continue;
        }
        AcceptedLongshotFrame recovered{seen->image, guessedMatch(*lastAccepted, *seen->image, seen->match, options)};
        LongshotFrameAccepted accepted = keep(current, currentSamples, match);
        accepted.recovered = std::move(recovered);
        return accepted;
    }
    return std::nullopt;
}

LongshotFrameAnalysis LongshotFrameClassifier::classify(const std::shared_ptr<const Image>& lastAccepted,
                                                        const std::shared_ptr<const Image>& current,
                                                        const LongshotAnalysisOptions& options) {
    if (!lastAccepted) {
        recent_.clear();
        lastMeasured_.reset();
        cachedImage_ = current;
        cachedSamples_ = LongshotFrameSamples::make(*current);
        return LongshotFrameAccepted{{current, std::nullopt}, LongshotSeamSource::measured, std::nullopt};
    }
    if (cachedImage_ != lastAccepted) {
        recent_.clear(); // the caller kept another frame: what was seen since belongs to another chain
    }
    const LongshotFrameSamples& previousSamples = samplesFor(lastAccepted);
    LongshotFrameSamples currentSamples = LongshotFrameSamples::make(*current);
    if (!LongshotFrameChangeDetector::hasMeaningfulChange(previousSamples.coarse, currentSamples.coarse)) {
        return LongshotFrameStationary{};
    }
    const auto match = composer_.analyze(*lastAccepted, previousSamples, *current, currentSamples, options);
    if (match.isReliable) {
        return keep(current, std::move(currentSamples), match);
    }
    if (auto recovered = matchRecent(lastAccepted, current, currentSamples, options)) {
        return std::move(*recovered);
    }
    // A step whose overlap is blank page cannot be measured, but losing the frame would lose
    // the rest of the capture with it: it is kept at the expected step, or at a guessed one.
    if (LongshotComposer::smallestBlankOverlapShift(*lastAccepted, *current, barsFor(match),
                                                    options.minProgressPixels)) {
        const auto guessed = guessedMatch(*lastAccepted, *current, match, options);
        const auto source = options.expectedScrollStep ? LongshotSeamSource::expectedStep : LongshotSeamSource::guessed;
        LongshotFrameAccepted accepted = keep(current, std::move(currentSamples), guessed);
        accepted.seam = source;
        return accepted;
    }
    recent_.push_back({current, std::move(currentSamples), match});
    if (recent_.size() > recentFrameLimit) {
        recent_.pop_front();
    }
    return LongshotFrameUnmatched{match};
}

} // namespace brisklet
