#pragma once

#include "ZelvorApp/Longshot/LongshotFixedBarDetector.h"
#include "ZelvorApp/Longshot/LongshotPixelOverlapMatcher.h"

#include <optional>

namespace brisklet {

/// Checks a match on the full frames. The matcher compares small samples, in which lines of text
/// blur into grey bands: a shift that merely lines up other lines of text can look as good there
/// as the real one, and the samples cannot tell the real shift closer than one of their rows.
/// At full resolution the real shift lines up exactly and a coincidence does not. Stateless.
class LongshotSeamVerifier {
public:
    struct Verification {
        int seam = 0;            ///< source rows
        double difference = 1.0; ///< 0...1, as the matcher measures it
        int samples = 0;
    };

    /// Mean difference above which full-resolution content does not line up. Content that
    /// really lines up differs only where something animates; a near miss between lines of text
    /// differs several times more.
    static constexpr double maximumDifference = 0.03;
    /// Fewer compared pixels than this prove nothing either way.
    static constexpr int minimumSamples = 48;

    /// The difference at one seam, over the band inside the fixed bars.
    static Verification measure(const Image& previous, const Image& current,
                                const LongshotFixedBarDetector::Exclusions& exclusions, int seam,
                                LongshotPixelOverlapMatcher::Direction direction);

    /// The best-lining-up seam within `radius` rows of `shift`, starting with `shift` itself (a
    /// seam that already lines up is kept as it is). None when too few pixels could be compared.
    static std::optional<Verification> bestSeamNear(const Image& previous, const Image& current,
                                                    const LongshotFixedBarDetector::Exclusions& exclusions,
                                                    double shift, int radius,
                                                    LongshotPixelOverlapMatcher::Direction direction);
};

} // namespace brisklet
