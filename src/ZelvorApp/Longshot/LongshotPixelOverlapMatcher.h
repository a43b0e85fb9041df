#pragma once

#include "ZelvorApp/Longshot/LongshotFixedBarDetector.h"
#include "ZelvorApp/Longshot/LongshotSampledImage.h"
#include "ZelvorCore/Foundation/EnumTable.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace brisklet {

/// Our own estimate of how far the content of a scrolling page moved between two frames: it
/// slides one frame over the other and keeps the shift where moving, textured content lines up
/// best. First on coarse samples (128 pixels wide) for candidates, then on fine samples (384
/// pixels wide) for the few best. It is the authority whenever it finds a match. Stateless.
class LongshotPixelOverlapMatcher {
public:
    enum class Direction {
        forward, ///< content moved up (the page scrolled down): previous row y + s is current row y
        reverse, ///< content moved down: previous row y is current row y + s
    };

    struct Candidate {
        int shift = 0; ///< rows of the sampled image
        double difference = 1.0;
        int samples = 0;
        Direction direction = Direction::forward;

        bool operator==(const Candidate&) const = default;
    };

    struct Match {
        double shift = 0; ///< source pixels
        double confidence = 0;
        Direction direction = Direction::forward;

        bool operator==(const Match&) const = default;
    };

    struct Request {
        /// Fixed bars left out of the comparison, in source pixels.
        LongshotFixedBarDetector::Exclusions exclusions;
        double minimumShift = 0;
        /// The registration's estimate: a match close to it takes its exact value.
        double preferredShift = 0;
        std::optional<Direction> allowedDirection;
        std::optional<double> maximumShift;
        /// The auto-scroller's step, when it scrolls: shifts near it are preferred.
        std::optional<double> expectedShift;
    };

    struct Difference {
        double value = 1.0;
        int samples = 0;
    };

    static std::optional<Match> match(const Image& previous, const Image& current, const Request& request);
    /// The same on samples made beforehand; `seedsOut`, when given, receives the candidates that
    /// reached the fine stage, for a caller that checks the runners-up.
    static std::optional<Match> match(const LongshotFrameSamples& previous, const LongshotFrameSamples& current,
                                      const Request& request, std::vector<Candidate>* seedsOut = nullptr);

    /// Mean distance (0...1) of moving, textured pixels when one sample is slid `shift` rows
    /// against the other inside the band; 1.0 with no samples.
    static Difference difference(const LongshotSampledImage& lhs, const LongshotSampledImage& rhs, int top, int bottom,
                                 int left, int right, int shift, bool lhsMoves, int horizontalStride);

    /// Whether the pixel at `offset` differs by more than 6 in any colour channel from its left or
    /// upper neighbour; a neighbour outside the image does not count.
    static bool isTextured(const std::uint8_t* bytes, std::size_t offset, std::size_t rowStride);

    /// The coarse candidates, one per shift that had enough samples (exposed for tests).
    static std::vector<Candidate> coarseCandidates(const LongshotSampledImage& previous,
                                                   const LongshotSampledImage& current, const Request& request);
    /// Up to 8 best candidates at least 3 rows apart, plus the one nearest to `preferredShift`
    /// (`scale` converts source pixels to sampled rows).
    static std::vector<Candidate> seeds(std::vector<Candidate> candidates, double preferredShift, double scale);

    static constexpr double acceptanceLimit = 0.14;
};

template <> struct EnumTraits<LongshotPixelOverlapMatcher::Direction> {
    static constexpr std::array<std::pair<LongshotPixelOverlapMatcher::Direction, std::string_view>, 2> names{{
        {LongshotPixelOverlapMatcher::Direction::forward, "forward"},
        {LongshotPixelOverlapMatcher::Direction::reverse, "reverse"},
    }};
};

} // namespace brisklet
