#include "ZelvorApp/Longshot/LongshotFrameClassifier.h"

#include "ZelvorApp/Longshot/LongshotFrameChangeDetector.h"

namespace brisklet {

const LongshotFrameSamples& LongshotFrameClassifier::samplesFor(const std::shared_ptr<const Image>& image) {
    if (cachedImage_ != image) {
        cachedSamples_ = LongshotFrameSamples::make(*image);
        cachedImage_ = image;
    }
    return cachedSamples_;
}

LongshotFrameAnalysis LongshotFrameClassifier::classify(const std::shared_ptr<const Image>& lastAccepted,
                                                        const std::shared_ptr<const Image>& current,
                                                        const LongshotAnalysisOptions& options) {
    if (!lastAccepted) {
        samplesFor(current);
        return LongshotFrameAccepted{{current, std::nullopt}};
    }
    const LongshotFrameSamples& previousSamples = samplesFor(lastAccepted);
    LongshotFrameSamples currentSamples = LongshotFrameSamples::make(*current);
    if (!LongshotFrameChangeDetector::hasMeaningfulChange(previousSamples.coarse, currentSamples.coarse)) {
        return LongshotFrameStationary{};
    }
    const auto match = composer_.analyze(*lastAccepted, previousSamples, *current, currentSamples, options);
    if (!match.isReliable) {
        return LongshotFrameUnmatched{match};
    }
    // The accepted frame is the next comparison's previous frame.
    cachedImage_ = current;
    cachedSamples_ = std::move(currentSamples);
    return LongshotFrameAccepted{{current, match}};
}

} // namespace brisklet
