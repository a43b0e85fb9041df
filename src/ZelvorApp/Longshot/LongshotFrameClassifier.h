#pragma once

#include "ZelvorApp/Longshot/AcceptedLongshotFrame.h"
#include "ZelvorApp/Longshot/LongshotComposer.h"
#include "ZelvorApp/Longshot/LongshotSampledImage.h"

#include <memory>
#include <variant>

namespace brisklet {

/// The frame moved by a usable amount and is kept.
struct LongshotFrameAccepted {
    AcceptedLongshotFrame frame;
};
/// The frame changed but could not be lined up; it is dropped.
struct LongshotFrameUnmatched {
    LongshotOverlapMatch match;
};
/// Nothing moved since the last kept frame.
struct LongshotFrameStationary {};

using LongshotFrameAnalysis = std::variant<LongshotFrameAccepted, LongshotFrameUnmatched, LongshotFrameStationary>;

/// Decides what becomes of each new frame against the last kept one. It keeps the samples of
/// the last kept frame, so each frame is sampled once however often it is compared. Not
/// thread-safe: one classifier per capture queue.
class LongshotFrameClassifier {
public:
    explicit LongshotFrameClassifier(const LongshotComposer& composer) : composer_(composer) {}

    /// `lastAccepted` is null for the first frame, which is always kept.
    LongshotFrameAnalysis classify(const std::shared_ptr<const Image>& lastAccepted,
                                   const std::shared_ptr<const Image>& current, const LongshotAnalysisOptions& options);

private:
    const LongshotFrameSamples& samplesFor(const std::shared_ptr<const Image>& image);

    const LongshotComposer& composer_;
    std::shared_ptr<const Image> cachedImage_;
    LongshotFrameSamples cachedSamples_;
};

} // namespace brisklet
