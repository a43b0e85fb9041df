#include "Platform/Linux/OpenCV/OpenCVImageRegistration.h"

#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <vector>

namespace brisklet {

namespace {

constexpr std::size_t correlationPeakCount = 8;

/// Grey levels (0...255) of the pixels of `region`, one output column per
/// `factor` source columns, each the mean of up to four pixels spread over its group. Rows are
/// kept whole: they carry the vertical offset; thinning the columns costs nothing there.
cv::Mat greyColumns(const Image& image, const PixelRegion& region, int factor) {
    const int columns = region.width / factor;
    const int height = region.height;
    const int step = std::max(1, factor / 4);
    const int taps = (factor + step - 1) / step;
    cv::Mat out(height, columns, CV_8U);
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* row = image.row(region.y + y) + static_cast<std::size_t>(region.x) * 4;
        std::uint8_t* target = out.ptr<std::uint8_t>(y);
        for (int c = 0; c < columns; ++c) {
            unsigned sum = 0;
            const std::uint8_t* p = row + static_cast<std::size_t>(c) * factor * 4;
            for (int k = 0; k < taps; ++k, p += 4 * step) {
                sum += 77u * p[0] + 150u * p[1] + 29u * p[2];
            }
            target[c] = static_cast<std::uint8_t>(sum / (256u * unsigned(taps)));
        }
    }
    return out;
}

/// `grey` shrunk by box averaging, mean removed, at the top-left of a zero canvas.
cv::Mat correlationCanvas(const cv::Mat& grey, cv::Size reduced, cv::Size canvas) {
    cv::Mat shrunk, small;
    cv::resize(grey, shrunk, reduced, 0, 0, cv::INTER_AREA);
    shrunk.convertTo(small, CV_32F, 1.0, -cv::mean(shrunk)[0]);
    cv::Mat out = cv::Mat::zeros(canvas, CV_32F);
    small.copyTo(out(cv::Rect(cv::Point(0, 0), reduced)));
    return out;
}

/// Mean absolute difference of the overlapping pixels when row y, column x of `b` shows row
/// y + dy, column x + dx of `a`, over every `rowStep`-th row; infinite when too few rows or
/// columns overlap.
double meanDifference(const cv::Mat& a, const cv::Mat& b, int dy, int dx, int minimumOverlap, int rowStep) {
    const int overlap = a.rows - std::abs(dy);
    const int firstColumn = std::max(0, -dx);
    const int endColumn = std::min(a.cols, a.cols - dx);
    if (overlap < minimumOverlap || endColumn - firstColumn < std::max(1, a.cols / 2)) {
        return std::numeric_limits<double>::infinity();
    }
    const int aTop = dy > 0 ? dy : 0;
    const int bTop = dy > 0 ? 0 : -dy;
    long sum = 0;
    long count = 0;
    for (int y = 0; y < overlap; y += rowStep) {
        const std::uint8_t* rowA = a.ptr<std::uint8_t>(aTop + y);
        const std::uint8_t* rowB = b.ptr<std::uint8_t>(bTop + y);
        int rowSum = 0;
        for (int x = firstColumn; x < endColumn; ++x) {
            rowSum += std::abs(int(rowA[x + dx]) - int(rowB[x]));
        }
        sum += rowSum;
        count += endColumn - firstColumn;
    }
    return double(sum) / double(count);
}

/// The row offset with the lowest mean difference within `radius` of `centre`, and that
/// difference.
std::pair<int, double> bestOffsetNear(const cv::Mat& a, const cv::Mat& b, int centre, int radius, int dx,
                                      int minimumOverlap, int rowStep) {
    std::pair<int, double> best{centre, std::numeric_limits<double>::infinity()};
    for (int dy = centre - radius; dy <= centre + radius; ++dy) {
        const double difference = meanDifference(a, b, dy, dx, minimumOverlap, rowStep);
        if (difference < best.second) {
            best = {dy, difference};
        }
    }
    return best;
}

/// The strongest peaks of the phase correlation of two canvases of equal size, as offsets of
/// `b` against `a` (positive y: the content of `b` sits higher, i.e. row y of `b` shows row
/// y + dy of `a`), strongest first. Neighbouring peaks are suppressed.
std::vector<cv::Point2d> correlationPeaks(const cv::Mat& a, const cv::Mat& b) {
    cv::Mat spectrumA, spectrumB, cross;
    cv::dft(a, spectrumA, cv::DFT_COMPLEX_OUTPUT);
    cv::dft(b, spectrumB, cv::DFT_COMPLEX_OUTPUT);
    cv::mulSpectrums(spectrumA, spectrumB, cross, 0, true);
    // Phase only: every frequency weighs the same, so fine texture pins the peak down.
    for (int y = 0; y < cross.rows; ++y) {
        auto* row = cross.ptr<cv::Vec2f>(y);
        for (int x = 0; x < cross.cols; ++x) {
            const float magnitude = std::hypot(row[x][0], row[x][1]);
            row[x] = magnitude > 1e-12f ? row[x] / magnitude : cv::Vec2f(0, 0);
        }
    }
    cv::Mat surface;
    cv::idft(cross, surface, cv::DFT_REAL_OUTPUT | cv::DFT_SCALE);

    std::vector<cv::Point2d> peaks;
    for (std::size_t k = 0; k < correlationPeakCount; ++k) {
        double maximum = 0;
        cv::Point location;
        cv::minMaxLoc(surface, nullptr, &maximum, nullptr, &location);
        if (maximum <= 0) {
            break;
        }
        const int dx = location.x > surface.cols / 2 ? location.x - surface.cols : location.x;
        const int dy = location.y > surface.rows / 2 ? location.y - surface.rows : location.y;
        peaks.emplace_back(dx, dy);
        const cv::Rect around(location.x - 2, location.y - 2, 5, 5);
        surface(around & cv::Rect(0, 0, surface.cols, surface.rows)).setTo(0);
    }
    return peaks;
}

} // namespace

ImageRegistration::Outcome OpenCVImageRegistration::translation(const Image& reference, const Image& floating,
                                                                const PixelRegion& requested) const {
    PixelRegion region;
    region.x = std::max(requested.x, 0);
    region.y = std::max(requested.y, 0);
    region.width = std::min({requested.x + requested.width, reference.width(), floating.width()}) - region.x;
    region.height = std::min({requested.y + requested.height, reference.height(), floating.height()}) - region.y;
    const int width = region.width;
    const int height = region.height;
    if (width < minimumSide || height < minimumSide) {
        return Outcome::failure(ImageRegistrationError::invalidInput);
    }
    try {
        const int factor = std::max(1, width / refinementColumns);
        const cv::Mat a = greyColumns(reference, region, factor);
        const cv::Mat b = greyColumns(floating, region, factor);
        cv::Scalar meanA, deviationA, meanB, deviationB;
        cv::meanStdDev(a, meanA, deviationA);
        cv::meanStdDev(b, meanB, deviationB);
        if (deviationA[0] < 0.5 || deviationB[0] < 0.5) {
            return Outcome::success(std::nullopt); // flat images: nothing to register
        }

        // Rough offsets: the strongest peaks of a phase correlation of small copies, padded
        // to twice the height so that no shift wraps around; sideways only a margin, since
        // larger drifts are rejected anyway.
        const cv::Size reduced(std::min(correlationColumns, a.cols), std::min(correlationRows, height));
        const cv::Size canvas(cv::getOptimalDFTSize(reduced.width + reduced.width / 2),
                              cv::getOptimalDFTSize(2 * reduced.height));
        const auto peaks =
            correlationPeaks(correlationCanvas(a, reduced, canvas), correlationCanvas(b, reduced, canvas));
        const double rowScale = double(height) / reduced.height;
        const double columnScale = double(width) / reduced.width;

        // Exact rows: each rough estimate is searched within its uncertainty on every fourth
        // row, the most convincing one again on every row, and a parabola through the
        // neighbours of the best row gives the fraction.
        const int radius = static_cast<int>(std::ceil(rowScale)) + 2;
        const int minimumOverlap = std::max(4, height / 16);
        std::optional<cv::Point2d> chosen;
        int chosenColumns = 0;
        std::pair<int, double> rough{0, std::numeric_limits<double>::infinity()};
        for (const cv::Point2d& peak : peaks) {
            const int columns = static_cast<int>(std::lround(peak.x * double(a.cols) / reduced.width));
            const auto candidate = bestOffsetNear(a, b, static_cast<int>(std::lround(peak.y * rowScale)), radius,
                                                  columns, minimumOverlap, 4);
            if (candidate.second < rough.second) {
                rough = candidate;
                chosen = peak;
                chosenColumns = columns;
            }
        }
        if (!chosen) {
            return Outcome::success(std::nullopt);
        }
        const auto [best, bestDifference] = bestOffsetNear(a, b, rough.first, 3, chosenColumns, minimumOverlap, 1);
        double fraction = 0;
        const double before = meanDifference(a, b, best - 1, chosenColumns, minimumOverlap, 1);
        const double after = meanDifference(a, b, best + 1, chosenColumns, minimumOverlap, 1);
        const double curvature = before + after - 2 * bestDifference;
        if (std::isfinite(before) && std::isfinite(after) && curvature > 1e-9) {
            fraction = std::clamp(0.5 * (before - after) / curvature, -0.5, 0.5);
        }
        return Outcome::success(RegistrationTranslation{chosen->x * columnScale, best + fraction});
    } catch (const cv::Exception&) {
        return Outcome::failure(ImageRegistrationError::requestFailed);
    }
}

} // namespace brisklet
