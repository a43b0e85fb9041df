#pragma once

#include "ZelvorApp/Longshot/AcceptedLongshotFrame.h"
#include "ZelvorApp/Longshot/LongshotComposer.h"
#include "ZelvorApp/Longshot/LongshotSampledImage.h"

#include <deque>
#include <memory>
#include <optional>
#include <variant>

namespace brisklet {

/// How a kept frame's seam was found.
enum class LongshotSeamSource {
    measured,     ///< the frames line up there
    expectedStep, ///< the overlap is blank page; the auto-scroller's step was taken
    guessed,      ///< nothing in the frames tells the step; the seam may be off
};

/// The frame moved by a usable amount and is kept.
struct LongshotFrameAccepted {
    AcceptedLongshotFrame frame;
    LongshotSeamSource seam = LongshotSeamSource::measured;
    /// A frame seen earlier that did not line up with the last kept one, kept now (with a guessed
    /// seam) because this frame lines up with it; it comes before `frame`.
    std::optional<AcceptedLongshotFrame> recovered;
};
/// The frame changed but could not be lined up; it is dropped.
struct LongshotFrameUnmatched {
    LongshotOverlapMatch match;
};
/// Nothing moved since the last kept frame.
struct LongshotFrameStationary {};

using LongshotFrameAnalysis = std::variant<LongshotFrameAccepted, LongshotFrameUnmatched, LongshotFrameStationary>;

/// Decides what becomes of each new frame against the last kept one. It keeps the samples of
/// the last kept frame, so each frame is sampled once however often it is compared. A frame
/// that does not line up is remembered: the next frames are compared with it too, so that one
/// frame that cannot be lined up costs at most its own seam, not the rest of the capture. Not
/// thread-safe: one classifier per capture queue.
class LongshotFrameClassifier {
public:
    explicit LongshotFrameClassifier(const LongshotComposer& composer) : composer_(composer) {}

    /// `lastAccepted` is null for the first frame, which is always kept.
    LongshotFrameAnalysis classify(const std::shared_ptr<const Image>& lastAccepted,
                                   const std::shared_ptr<const Image>& current, const LongshotAnalysisOptions& options);

    /// Unmatched frames remembered for the comparison of the next ones.
    static constexpr std::size_t recentFrameLimit = 2;

private:
    struct SeenFrame {
        std::shared_ptr<const Image> image;
        LongshotFrameSamples samples;
        LongshotOverlapMatch match; ///< its analysis against the last kept frame
    };

    const LongshotFrameSamples& samplesFor(const std::shared_ptr<const Image>& image);
    LongshotFrameAccepted keep(const std::shared_ptr<const Image>& image, LongshotFrameSamples samples,
                               LongshotOverlapMatch match);
    std::optional<LongshotFrameAccepted> matchRecent(const std::shared_ptr<const Image>& lastAccepted,
                                                     const std::shared_ptr<const Image>& current,
                                                     const LongshotFrameSamples& currentSamples,
                                                     const LongshotAnalysisOptions& options);
    LongshotFixedBarDetector::Exclusions barsFor(const LongshotOverlapMatch& analysed) const;
    /// A seam for `current` after `previous` when nothing lines them up.
    LongshotOverlapMatch guessedMatch(const Image& previous, const Image& current, const LongshotOverlapMatch& analysed,
                                      const LongshotAnalysisOptions& options) const;

    const LongshotComposer& composer_;
    std::shared_ptr<const Image> cachedImage_;
    LongshotFrameSamples cachedSamples_;
    std::deque<SeenFrame> recent_;
    /// The last measured match, the best guess for a step nothing measures.
    std::optional<LongshotOverlapMatch> lastMeasured_;
};

} // namespace brisklet
