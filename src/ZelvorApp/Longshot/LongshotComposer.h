#pragma once

#include "ZelvorApp/Longshot/AcceptedLongshotFrame.h"
#include "ZelvorApp/Longshot/LongshotFixedBarDetector.h"
#include "ZelvorApp/Longshot/LongshotOverlapMatch.h"
#include "ZelvorApp/Longshot/LongshotPixelOverlapMatcher.h"
#include "ZelvorCore/Models/LongshotConfig.h"

#include <optional>
#include <utility>
#include <vector>

namespace brisklet {

class ImageRegistration;

/// What one frame-pair analysis is told besides the two frames.
struct LongshotAnalysisOptions {
    /// Smallest movement, in source pixels, that counts as progress.
    double minProgressPixels = 24.0;
    LongshotCropOptions cropOptions;
    std::optional<LongshotPixelOverlapMatcher::Direction> allowedPixelDirection;
    /// The auto-scroller's step, when it scrolls.
    std::optional<double> expectedScrollStep;
};

/// Decides how each new frame lines up with the previous one (combining image registration with
/// our own pixel matcher) and stacks the accepted frames into the tall image.
class LongshotComposer {
public:
    /// `registration` must outlive the composer; it is used from the capture and export queues.
    explicit LongshotComposer(const ImageRegistration& registration) : registration_(registration) {}

    /// The per-frame analysis. A pair without meaningful change comes back with score 1.0, no
    /// overlap and not reliable: the recorder reads that as "stationary".
    LongshotOverlapMatch analyze(const Image& previous, const Image& current,
                                 const LongshotAnalysisOptions& options) const;
    /// The same with each frame's samples made beforehand.
    LongshotOverlapMatch analyze(const Image& previous, const LongshotFrameSamples& previousSamples,
                                 const Image& current, const LongshotFrameSamples& currentSamples,
                                 const LongshotAnalysisOptions& options) const;

    /// The bands of both frames handed to image registration: the frames without their fixed
    /// bars (and at least 12 % cut at a cropped edge), or the full frames when too little is left.
    static std::pair<Image, Image> registrationImages(const Image& previous, const Image& current,
                                                      const LongshotCropOptions& cropOptions,
                                                      const LongshotFixedBarDetector::Exclusions& exclusions);

    /// Cuts the accepted frames into slices and stacks them: the header once at the top, the
    /// footer once at the bottom. None without frames.
    static std::optional<Image> compose(const std::vector<AcceptedLongshotFrame>& frames,
                                        const LongshotCropOptions& cropOptions);

    /// The smallest forward shift at which the overlap of the two frames (inside the fixed bars)
    /// holds nothing but flat colour on both sides, so that no shift from it on can be told from
    /// another; none when every shift the frames allow overlaps moving texture.
    static std::optional<int> smallestBlankOverlapShift(const Image& previous, const Image& current,
                                                        const LongshotFixedBarDetector::Exclusions& fixedBars,
                                                        double minimumShift);
    /// The bars a match carries.
    static LongshotFixedBarDetector::Exclusions fixedBarsOf(const LongshotOverlapMatch& match) {
        return {match.headerExclusionHeight, match.footerExclusionHeight, match.leftExclusionWidth,
                match.rightExclusionWidth};
    }

    /// The resolved header height made exact at full resolution: bar detection works on samples
    /// in which one row covers several source rows, and a header cut a few rows short would
    /// repeat its bottom edge in every slice. Only grows `header`, by at most one sampled row.
    static int refinedHeaderHeight(const std::vector<AcceptedLongshotFrame>& frames, int header);

private:
    const ImageRegistration& registration_;
};

} // namespace brisklet
