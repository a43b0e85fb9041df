#pragma once

#include "ZelvorApp/Longshot/LongshotSampledImage.h"
#include "ZelvorCore/Models/LongshotConfig.h"

#include <optional>
#include <vector>

namespace brisklet {

/// Finds the parts of a scrolling page that stay put between two frames: a sticky header or
/// toolbar at the top, a footer or tab bar at the bottom, fixed side bars. Stateless.
class LongshotFixedBarDetector {
public:
    /// Heights of the fixed header and footer and widths of fixed side bars, in source pixels.
    struct Exclusions {
        int top = 0;
        int bottom = 0;
        int left = 0;
        int right = 0;

        bool operator==(const Exclusions&) const = default;
    };
    using SampledImage = LongshotSampledImage;

    static std::optional<SampledImage> sample(const Image& image, int maximumWidth) {
        return SampledImage::make(image, maximumWidth);
    }

    static Exclusions detect(const Image& previous, const Image& current, const LongshotCropOptions& cropOptions);
    /// The same on coarse samples (at most 128 pixels wide) made beforehand.
    static Exclusions detect(const std::optional<SampledImage>& previous, const std::optional<SampledImage>& current,
                             const LongshotCropOptions& cropOptions);

    /// The header and footer of a pair whose content moved up by `shift` rows (previous row
    /// y + shift is current row y), measured on the full frames: a bar row stays where it is
    /// while the content beside it moves, even when a part of it changes (a clock, a spinner, a
    /// progress bar); rows that look the same either way (blank page) extend a bar only when
    /// rows below them still show the bar. Left and right are 0.
    static Exclusions measureAtShift(const Image& previous, const Image& current, int shift);

    /// Per row, the mean pixel distance between the samples (0...1), ignoring a margin of a
    /// twentieth of the width at both sides.
    static std::vector<double> rowDifferences(const SampledImage& a, const SampledImage& b);
    /// Per column, likewise, with the margin taken from the height.
    static std::vector<double> columnDifferences(const SampledImage& a, const SampledImage& b);
    /// Each value replaced by the mean of itself and its immediate neighbours.
    static std::vector<double> smoothed(const std::vector<double>& values);
    /// How many values from one end stay at or below `threshold` before the content starts,
    /// tolerating short disturbances once a bar is established; 0 when there is no bar.
    static int stableEdgeLength(const std::vector<double>& values, double threshold, bool fromStart,
                                double maximumFraction);

    /// Bars of fewer source pixels than this are noise, not bars.
    static constexpr int minimumBarPixels = 8;
    /// The middle of the page must differ at least this much for the pair to say anything.
    static constexpr double minimumMovement = 0.025;
};

} // namespace brisklet
