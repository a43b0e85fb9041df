#include "ZelvorApp/Longshot/LongshotFixedBarDetector.h"

#include "ZelvorApp/Longshot/LongshotPixelDistance.h"

#include <algorithm>

namespace brisklet {

namespace {

int marginFor(int length) {
    return length > 19 ? length / 20 : 1;
}

/// Median of values[begin, end) (the upper one of an even count).
double medianOf(const std::vector<double>& values, std::size_t begin, std::size_t end) {
    end = std::min(end, values.size());
    if (begin >= end) {
        return 0;
    }
    std::vector<double> slice(values.begin() + static_cast<std::ptrdiff_t>(begin),
                              values.begin() + static_cast<std::ptrdiff_t>(end));
    const auto middle = slice.begin() + static_cast<std::ptrdiff_t>(slice.size() / 2);
    std::nth_element(slice.begin(), middle, slice.end());
    return *middle;
}

double thresholdFor(double median) {
    return std::clamp(median * 0.35, 0.012, 0.08);
}

/// Sample units back to source pixels (truncating); bars thinner than the minimum are dropped.
int toSourcePixels(int samples, int sourceLength, int sampledLength) {
    const int pixels = static_cast<int>(double(sourceLength) / std::max(sampledLength, 1) * samples);
    return pixels < LongshotFixedBarDetector::minimumBarPixels ? 0 : pixels;
}

/// About this many columns are compared per row.
constexpr int measuredColumns = 320;
/// A bar row keeps this much more of its pixels in place than content would line up.
constexpr double barMargin = 0.1;
constexpr double maximumMeasuredBarFraction = 0.4;

/// Share of the compared pixels of row `rowA` of `a` that equal those of row `rowB` of `b`.
double sameShare(const Image& a, int rowA, const Image& b, int rowB, int step) {
    const std::uint8_t* pa = a.row(rowA);
    const std::uint8_t* pb = b.row(rowB);
    int same = 0;
    int count = 0;
    for (int x = 0; x < a.width(); x += step, ++count) {
        same += pixelDistance(pa + x * 4, pb + x * 4) <= 17 ? 1 : 0;
    }
    return count == 0 ? 0.0 : double(same) / count;
}

/// Rows of one bar, walking from the top (`fromTop`) or from the bottom edge.
int measuredBar(const Image& previous, const Image& current, int shift, bool fromTop) {
    const int height = previous.height();
    const int limit = std::min(static_cast<int>(maximumMeasuredBarFraction * height), height - shift);
    const int step = std::max(1, previous.width() / measuredColumns);
    int bar = 0;
    for (int i = 0; i < limit; ++i) {
        const int y = fromTop ? i : height - 1 - i;
        const double fixed = sameShare(previous, y, current, y, step);
        // The same row as content: from the top, where the previous frame showed it further
        // down; from the bottom, where the current frame shows it further up.
        const double content = fromTop ? sameShare(previous, y + shift, current, y, step)
                                       : sameShare(previous, y, current, y - shift, step);
        if (content > fixed) {
            break;
        }
        if (fixed - content >= barMargin) {
            bar = i + 1;
        }
    }
    return bar < LongshotFixedBarDetector::minimumBarPixels ? 0 : bar;
}

} // namespace

LongshotFixedBarDetector::Exclusions LongshotFixedBarDetector::measureAtShift(const Image& previous,
                                                                              const Image& current, int shift) {
    Exclusions bars;
    if (previous.width() != current.width() || previous.height() != current.height() || shift < 1 ||
        shift >= previous.height() || previous.width() < 1) {
        return bars;
    }
    bars.top = measuredBar(previous, current, shift, true);
    bars.bottom = measuredBar(previous, current, shift, false);
    return bars;
}

std::vector<double> LongshotFixedBarDetector::rowDifferences(const SampledImage& a, const SampledImage& b) {
    std::vector<double> values(static_cast<std::size_t>(std::max(a.height, 0)), 0.0);
    if (!a.sameSize(b)) {
        return values;
    }
    const int m = marginFor(a.width);
    const double norm = double(std::max(a.width - 2 * m, 1)) * 765.0;
    for (int y = 0; y < a.height; ++y) {
        long sum = 0;
        for (int x = m; x < a.width - m; ++x) {
            sum += pixelDistance(a.pixel(x, y), b.pixel(x, y));
        }
        values[static_cast<std::size_t>(y)] = double(sum) / norm;
    }
    return values;
}

std::vector<double> LongshotFixedBarDetector::columnDifferences(const SampledImage& a, const SampledImage& b) {
    std::vector<double> values(static_cast<std::size_t>(std::max(a.width, 0)), 0.0);
    if (!a.sameSize(b)) {
        return values;
    }
    const int m = marginFor(a.height);
    const double norm = double(std::max(a.height - 2 * m, 1)) * 765.0;
    std::vector<long> sums(values.size(), 0);
    for (int y = m; y < a.height - m; ++y) {
        for (int x = 0; x < a.width; ++x) {
            sums[static_cast<std::size_t>(x)] += pixelDistance(a.pixel(x, y), b.pixel(x, y));
        }
    }
    for (std::size_t x = 0; x < values.size(); ++x) {
        values[x] = double(sums[x]) / norm;
    }
    return values;
}

std::vector<double> LongshotFixedBarDetector::smoothed(const std::vector<double>& values) {
    std::vector<double> out(values.size());
    for (std::size_t i = 0; i < values.size(); ++i) {
        const std::size_t begin = i == 0 ? 0 : i - 1;
        const std::size_t end = std::min(i + 2, values.size());
        double sum = 0;
        for (std::size_t k = begin; k < end; ++k) {
            sum += values[k];
        }
        out[i] = sum / double(end - begin);
    }
    return out;
}

int LongshotFixedBarDetector::stableEdgeLength(const std::vector<double>& values, double threshold, bool fromStart,
                                               double maximumFraction) {
    const int n = static_cast<int>(values.size());
    if (n == 0) {
        return 0;
    }
    const int limit = std::min(n, std::max(1, static_cast<int>(maximumFraction * n)));
    const int tolerance = n >= 40 ? n / 20 : 2;
    const int requiredRun = n >= 300 ? n / 100 : 3;
    const auto isStable = [&](int i) {
        return values[static_cast<std::size_t>(fromStart ? i : n - 1 - i)] <= threshold;
    };

    bool established = false;
    int stableRun = 0;
    int unstableRun = 0;
    int unstableStart = 0;
    for (int i = 0; i < limit; ++i) {
        if (!established) {
            if (!isStable(i)) {
                // Noise at the very edge (a shadow line, a rounded corner) may precede the bar.
                if (i >= tolerance) {
                    return 0;
                }
                int next = i + 1;
                while (next < limit && next < tolerance && !isStable(next)) {
                    ++next;
                }
                if (next >= tolerance || next >= limit) {
                    return 0;
                }
                i = next;
                stableRun = 0;
            }
            if (++stableRun >= requiredRun) {
                established = true;
            }
            continue;
        }
        if (isStable(i)) {
            unstableRun = 0;
            continue;
        }
        if (unstableRun++ == 0) {
            unstableStart = i;
        }
        if (unstableRun >= requiredRun) {
            return unstableStart;
        }
    }
    return established ? limit : 0;
}

LongshotFixedBarDetector::Exclusions LongshotFixedBarDetector::detect(const Image& previous, const Image& current,
                                                                      const LongshotCropOptions& cropOptions) {
    return detect(sample(previous, LongshotFrameSamples::coarseWidth),
                  sample(current, LongshotFrameSamples::coarseWidth), cropOptions);
}

LongshotFixedBarDetector::Exclusions LongshotFixedBarDetector::detect(const std::optional<SampledImage>& previous,
                                                                      const std::optional<SampledImage>& current,
                                                                      const LongshotCropOptions& cropOptions) {
    Exclusions result;
    if (!previous || !current || !previous->sameSize(*current)) {
        return result;
    }
    const SampledImage& a = *previous;

    const auto rows = smoothed(rowDifferences(a, *current));
    const std::size_t n = rows.size();
    const double rowMedian = medianOf(rows, n / 4, std::max(3 * n / 4, n / 4 + 1));
    if (rowMedian >= minimumMovement) {
        const double threshold = thresholdFor(rowMedian);
        const int top = cropOptions.ignoreTopFixedBar ? stableEdgeLength(rows, threshold, true, 0.25) : 0;
        const int bottom = cropOptions.ignoreBottomFixedBar ? stableEdgeLength(rows, threshold, false, 0.25) : 0;
        result.top = toSourcePixels(top, a.sourceHeight, a.height);
        result.bottom = toSourcePixels(bottom, a.sourceHeight, a.height);
    }

    const auto columns = smoothed(columnDifferences(a, *current));
    const std::size_t w = columns.size();
    const double columnMedian = medianOf(columns, w / 3, std::max(2 * w / 3, w / 3 + 1));
    if (columnMedian >= minimumMovement) {
        const double threshold = thresholdFor(columnMedian);
        result.left = toSourcePixels(stableEdgeLength(columns, threshold, true, 0.33), a.sourceWidth, a.width);
        result.right = toSourcePixels(stableEdgeLength(columns, threshold, false, 0.33), a.sourceWidth, a.width);
    }
    return result;
}

} // namespace brisklet
