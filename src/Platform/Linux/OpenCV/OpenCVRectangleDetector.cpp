#include "Platform/Linux/OpenCV/OpenCVRectangleDetector.h"

#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>
#include <optional>
#include <string>
#include <vector>

namespace brisklet {

namespace {

using Quad = std::array<cv::Point2d, 4>;

/// A step this strong (sum of absolute RGB differences) makes a side fully contrasted; the image
/// border counts as one.
constexpr int fullContrastStep = 96;
/// How much of each side, at either end, the fit leaves out: rounded corners bend away there.
constexpr double sideMargin = 0.1;
constexpr int maximumSideSamples = 160;
/// A side this close to an axis is taken as exactly on it: outlines of rounded corners end a
/// pixel off, and a tilted line would then cross the real edge instead of following it.
constexpr double axisSnapDegrees = 3;
/// A rectangle this close (share of the picture's size) to every border is the picture itself.
constexpr double wholeImageMargin = 0.005;
/// Corners rounded up to this radius (full-resolution pixels) still close.
constexpr double maximumCornerRadius = 16;
constexpr double pi = 3.14159265358979323846;

/// A quadrilateral outline found on one of the maps, in full-resolution pixel coordinates.
struct Candidate {
    Quad corners;
    /// Area of the outline's convex hull over that of the quadrilateral, at most 1: how much of
    /// the outline the four corners leave out.
    double fill = 0;
    /// Degrees of the corner furthest from a right angle.
    double cornerDeviation = 0;
    /// Where the step probably is along each side's outward normal, in full-resolution pixels:
    /// an outline of a map runs one map pixel outside it, a hole's outline one inside.
    double expectedOffset = 0;
    /// How far from there the fit looks.
    int reach = 0;
    bool axisAligned = false;
};

/// One side fitted to the image: how far it moved along its outward normal, the share of its
/// samples that cross an edge there, and the mean contrast (0…1) of those edges.
struct SideFit {
    double offset = 0;
    double support = 0;
    double contrast = 0;
};

/// A rectangle in full-resolution pixels, origin top-left.
struct Found {
    cv::Rect2d box;
    double confidence = 0;
};

int stepBetween(const std::uint8_t* a, const std::uint8_t* b) {
    return std::abs(int(a[0]) - int(b[0])) + std::abs(int(a[1]) - int(b[1])) + std::abs(int(a[2]) - int(b[2]));
}

int shrinkFactor(const Image& image) {
    const int longest = std::max(image.width(), image.height());
    return std::max(1, (longest + OpenCVRectangleDetector::workingSide - 1) / OpenCVRectangleDetector::workingSide);
}

cv::Mat wrapped(const Image& image) {
    // OpenCV has no read-only matrix; nothing below writes through this one.
    return cv::Mat(image.height(), image.width(), CV_8UC4, const_cast<std::uint8_t*>(image.data()));
}

/// The picture shrunk by a whole factor (block averages), which keeps one-pixel border lines as
/// lighter lines instead of dropping them. Columns and rows that do not fill a block are left out;
/// the full-resolution fit covers them. Empty when the picture is thinner than one block.
cv::Mat shrink(const cv::Mat& full, int factor) {
    if (factor == 1) {
        return full;
    }
    const cv::Size size(full.cols / factor, full.rows / factor);
    cv::Mat out;
    if (size.width > 0 && size.height > 0) {
        cv::resize(full(cv::Rect(0, 0, size.width * factor, size.height * factor)), out, size, 0, 0, cv::INTER_AREA);
    }
    return out;
}

/// An unbroken straight edge: between rows `line` and `line + 1` over columns [start, end) when
/// horizontal, between columns `line` and `line + 1` over rows [start, end) when vertical.
struct Run {
    bool horizontal = true;
    int line = 0;
    int start = 0;
    int end = 0;
};

/// Where a picture steps by at least `edgeStep` between neighbours: `edges` marks both pixels of
/// every step, `runs` lists the horizontal and vertical edges unbroken for `minimumRun` pixels.
struct Scan {
    cv::Mat edges;
    std::vector<Run> runs;
};

/// 255 where pixel x of `row` steps by at least `edgeStep` to pixel x of `other`.
void markSteps(const std::uint8_t* row, const std::uint8_t* other, int count, std::uint8_t* marks) {
    for (int x = 0; x < count; ++x) {
        marks[x] = stepBetween(row + 4 * x, other + 4 * x) >= OpenCVRectangleDetector::edgeStep ? 255 : 0;
    }
}

bool noneOfEight(const std::uint8_t* marks) {
    std::uint64_t eight = 0;
    std::memcpy(&eight, marks, sizeof eight);
    return eight == 0;
}

/// Adds the runs of at least `minimumRun` marks in one row.
void addRowRuns(const std::uint8_t* marks, int count, int line, int minimumRun, std::vector<Run>& runs) {
    int x = 0;
    while (x < count) {
        // Most of a row has no edge: skip it eight pixels at a time.
        while (x + 8 <= count && noneOfEight(marks + x)) {
            x += 8;
        }
        while (x < count && marks[x] == 0) {
            ++x;
        }
        const int start = x;
        while (x < count && marks[x] != 0) {
            ++x;
        }
        if (x - start >= minimumRun) {
            runs.push_back({true, line, start, x});
        }
    }
}

Scan scan(const cv::Mat& rgba, int minimumRun) {
    const int width = rgba.cols;
    // A pixel that steps to the one below it is a piece of horizontal edge, one that steps to its
    // right neighbour a piece of vertical edge.
    cv::Mat below = cv::Mat::zeros(rgba.size(), CV_8U);
    cv::Mat right = cv::Mat::zeros(rgba.size(), CV_8U);
    Scan result;
    std::vector<int> columnRuns(width, 0);
    for (int y = 0; y < rgba.rows; ++y) {
        const std::uint8_t* row = rgba.ptr<std::uint8_t>(y);
        if (y + 1 < rgba.rows) {
            markSteps(row, rgba.ptr<std::uint8_t>(y + 1), width, below.ptr<std::uint8_t>(y));
            addRowRuns(below.ptr<std::uint8_t>(y), width, y, minimumRun, result.runs);
        }
        const std::uint8_t* steps = right.ptr<std::uint8_t>(y);
        markSteps(row, row + 4, width - 1, right.ptr<std::uint8_t>(y));
        // Runs rarely end, so looking for their ends and counting stay free of branches.
        int ends = 0;
        for (int x = 0; x < width; ++x) {
            ends += int(steps[x] == 0) & int(columnRuns[x] >= minimumRun);
        }
        for (int x = 0; ends > 0 && x < width; ++x) {
            if (steps[x] == 0 && columnRuns[x] >= minimumRun) {
                result.runs.push_back({false, x, y - columnRuns[x], y});
            }
        }
        for (int x = 0; x < width; ++x) {
            columnRuns[x] = steps[x] != 0 ? columnRuns[x] + 1 : 0;
        }
    }
    for (int x = 0; x < width; ++x) {
        if (columnRuns[x] >= minimumRun) {
            result.runs.push_back({false, x, rgba.rows - columnRuns[x], rgba.rows});
        }
    }
    result.edges = below | right;
    if (rgba.rows > 1) {
        result.edges.rowRange(1, rgba.rows) |= below.rowRange(0, rgba.rows - 1);
    }
    if (width > 1) {
        result.edges.colRange(1, width) |= right.colRange(0, width - 1);
    }
    return result;
}

/// Only the long straight edges, on both pixels at the step like the edge map: the frames and
/// separators panels are drawn with, without the text inside them, which would otherwise join
/// the frames wherever it comes close. Around the ends of each run, within `cornerReach`, the
/// other edges join in, which closes rounded corners and small gaps where lines meet.
cv::Mat lineMap(const Scan& scanned, int cornerReach) {
    cv::Mat map = cv::Mat::zeros(scanned.edges.size(), CV_8U);
    cv::Mat corners = cv::Mat::zeros(scanned.edges.size(), CV_8U);
    const cv::Point reach(cornerReach, cornerReach);
    for (const Run& run : scanned.runs) {
        const cv::Point first = run.horizontal ? cv::Point(run.start, run.line) : cv::Point(run.line, run.start);
        const cv::Point last =
            run.horizontal ? cv::Point(run.end - 1, run.line + 1) : cv::Point(run.line + 1, run.end - 1);
        cv::rectangle(map, first, last, cv::Scalar(255), cv::FILLED);
        cv::rectangle(corners, first - reach, first + reach, cv::Scalar(255), cv::FILLED);
        cv::rectangle(corners, last - reach, last + reach, cv::Scalar(255), cv::FILLED);
    }
    map |= scanned.edges & corners;
    return map;
}

/// The map with gaps of a pixel closed, inside a one-pixel frame that stands for the image
/// border (so regions flush with it are enclosed too) and one more pixel of zeros, which contour
/// tracing needs around its input.
cv::Mat framedForTracing(const cv::Mat& map) {
    cv::Mat closed;
    cv::morphologyEx(map, closed, cv::MORPH_CLOSE, cv::getStructuringElement(cv::MORPH_RECT, cv::Size(3, 3)));
    cv::Mat framed;
    cv::copyMakeBorder(closed, framed, 2, 2, 2, 2, cv::BORDER_CONSTANT, cv::Scalar(0));
    cv::rectangle(framed, cv::Point(1, 1), cv::Point(map.cols + 2, map.rows + 2), cv::Scalar(255), 1);
    return framed;
}

double maximumCornerDeviation(const std::vector<cv::Point>& quad) {
    double deviation = 0;
    for (std::size_t i = 0; i < quad.size(); ++i) {
        const cv::Point2d corner = quad[i];
        const cv::Point2d previous = cv::Point2d(quad[(i + quad.size() - 1) % quad.size()]) - corner;
        const cv::Point2d next = cv::Point2d(quad[(i + 1) % quad.size()]) - corner;
        const double cosine = previous.dot(next) / (cv::norm(previous) * cv::norm(next));
        const double degrees = std::acos(std::clamp(cosine, -1.0, 1.0)) * 180 / pi;
        deviation = std::max(deviation, std::abs(degrees - 90));
    }
    return deviation;
}

bool sidesNearAxes(const std::vector<cv::Point>& quad) {
    for (std::size_t i = 0; i < quad.size(); ++i) {
        const cv::Point side = quad[(i + 1) % quad.size()] - quad[i];
        const double degrees = std::atan2(std::abs(side.y), std::abs(side.x)) * 180 / pi;
        if (std::min(degrees, 90 - degrees) > axisSnapDegrees) {
            return false;
        }
    }
    return true;
}

/// The outline as a convex quadrilateral with corners within `tolerance` degrees of right angles.
std::optional<Candidate> quadCandidate(const std::vector<cv::Point>& outline, bool isHole, int factor,
                                       double tolerance) {
    std::vector<cv::Point> hull;
    cv::convexHull(outline, hull);
    const double perimeter = cv::arcLength(hull, true);
    std::vector<cv::Point> quad;
    // Rounded corners need the coarser fit; most outlines settle at the first.
    for (const double share : {0.02, 0.04}) {
        cv::approxPolyDP(hull, quad, std::max(2.0, share * perimeter), true);
        if (quad.size() <= 4) {
            break;
        }
    }
    if (quad.size() != 4 || !cv::isContourConvex(quad)) {
        return std::nullopt;
    }
    Candidate candidate;
    candidate.cornerDeviation = maximumCornerDeviation(quad);
    if (candidate.cornerDeviation > tolerance) {
        return std::nullopt;
    }
    const double quadArea = cv::contourArea(quad);
    if (quadArea <= 0) {
        return std::nullopt;
    }
    candidate.fill = std::min(1.0, cv::contourArea(hull) / quadArea);
    candidate.axisAligned = sidesNearAxes(quad);
    if (candidate.axisAligned) {
        // Whatever joins a region's border from inside dents its outline but leaves its extent,
        // and the extent of a rounded rectangle reaches its sides where the polygon cuts corners.
        const cv::Rect bounds = cv::boundingRect(outline);
        if (bounds.width < 2 || bounds.height < 2) {
            return std::nullopt;
        }
        quad = {bounds.tl(),
                {bounds.x + bounds.width - 1, bounds.y},
                bounds.br() - cv::Point(1, 1),
                {bounds.x, bounds.y + bounds.height - 1}};
        candidate.cornerDeviation = 0;
    }
    for (std::size_t i = 0; i < 4; ++i) {
        // Whole numbers, so an axis-aligned side lies exactly between two pixel columns or rows.
        candidate.corners[i] = cv::Point2d(quad[i].x * factor + factor / 2, quad[i].y * factor + factor / 2);
    }
    candidate.expectedOffset = isHole ? factor : -factor;
    candidate.reach = 2 * factor + 2;
    return candidate;
}

/// Quadrilaterals among the outlines of a map and of the regions it encloses, at least
/// `minimumSide` shrunk pixels across.
void addCandidates(const cv::Mat& map, int factor, double minimumSide, double tolerance,
                   std::vector<Candidate>& result) {
    std::vector<std::vector<cv::Point>> outlines;
    std::vector<cv::Vec4i> hierarchy;
    // Two levels: outlines of marked areas, and of the holes in them (the enclosed regions).
    cv::findContours(framedForTracing(map), outlines, hierarchy, cv::RETR_CCOMP, cv::CHAIN_APPROX_SIMPLE,
                     cv::Point(-2, -2));
    for (std::size_t i = 0; i < outlines.size(); ++i) {
        const cv::Rect bounds = cv::boundingRect(outlines[i]);
        // The bounding box of a rectangle is never narrower than its shorter side.
        if (std::min(bounds.width, bounds.height) + 2 < minimumSide) {
            continue;
        }
        if (auto candidate = quadCandidate(outlines[i], hierarchy[i][3] >= 0, factor, tolerance)) {
            result.push_back(*candidate);
        }
    }
}

/// Candidates from two maps: every edge of the shrunk copy (shapes standing on their own,
/// pictures, tilted outlines), and only the long straight edges, at a resolution where text keeps
/// the gaps between its letters and neighbouring frames stay apart (panels).
std::vector<Candidate> candidates(const Image& image, int factor, double minimumSide, double tolerance) {
    const cv::Mat full = wrapped(image);
    const cv::Mat small = shrink(full, factor);
    std::vector<Candidate> result;
    if (small.empty()) {
        return result;
    }
    addCandidates(scan(small, std::numeric_limits<int>::max()).edges, factor, minimumSide / factor, tolerance, result);
    // A very large picture is halved: its interface is drawn large, so letters keep their gaps.
    const int lineFactor = std::max(1, factor / 2);
    const Scan lines = scan(shrink(full, lineFactor), std::max(8, static_cast<int>(minimumSide / (2 * lineFactor))));
    const int cornerReach = static_cast<int>(std::ceil(maximumCornerRadius / lineFactor));
    addCandidates(lineMap(lines, cornerReach), lineFactor, minimumSide / lineFactor, tolerance, result);
    return result;
}

const std::uint8_t* pixelAt(const Image& image, cv::Point2d p) {
    const int x = static_cast<int>(std::floor(p.x));
    const int y = static_cast<int>(std::floor(p.y));
    if (x < 0 || y < 0 || x >= image.width() || y >= image.height()) {
        return nullptr;
    }
    return image.row(y) + static_cast<std::size_t>(x) * 4;
}

/// The step across a line at `p` with outward `normal`, between the pixels half a pixel to
/// either side. The image border is a full step.
int stepAcross(const Image& image, cv::Point2d p, cv::Point2d normal) {
    const std::uint8_t* inside = pixelAt(image, p - 0.5 * normal);
    if (inside == nullptr) {
        return 0;
    }
    const std::uint8_t* outside = pixelAt(image, p + 0.5 * normal);
    return outside != nullptr ? stepBetween(inside, outside) : fullContrastStep;
}

/// The offset along `normal`, within `radius` of `expected`, at which the side from `a` to `b`
/// crosses an edge at the most samples. Of offsets doing (nearly) as well, those adjacent to the
/// one nearest to `expected` are one edge: a one-pixel border line steps on both sides, a shadow
/// in many small steps. Of those the outermost that steps nearly as strongly as the strongest,
/// so the rectangle includes its border but not its shadow. `jitter` lets each sample take the
/// best of that many neighbouring offsets, for tilted sides, whose pixels form a staircase.
SideFit fitSide(const Image& image, cv::Point2d a, cv::Point2d b, cv::Point2d normal, double expected, int radius,
                int jitter) {
    const cv::Point2d along = b - a;
    const int samples = std::clamp(static_cast<int>(cv::norm(along) * (1 - 2 * sideMargin)), 4, maximumSideSamples);
    const int span = 2 * radius + 1;
    const int base = static_cast<int>(std::lround(expected)) - radius;
    std::vector<int> supported(span, 0);
    std::vector<int> contrast(span, 0);
    std::vector<long> strength(span, 0);
    std::vector<int> steps(span + 2 * jitter);
    for (int k = 0; k < samples; ++k) {
        const cv::Point2d p = a + along * (sideMargin + (1 - 2 * sideMargin) * (k + 0.5) / samples);
        for (int i = 0; i < int(steps.size()); ++i) {
            steps[i] = stepAcross(image, p + double(base - jitter + i) * normal, normal);
        }
        for (int i = 0; i < span; ++i) {
            const int step = *std::max_element(steps.begin() + i, steps.begin() + i + 2 * jitter + 1);
            if (step >= OpenCVRectangleDetector::edgeStep) {
                ++supported[i];
                contrast[i] += std::min(step, fullContrastStep);
                strength[i] += step;
            }
        }
    }
    const int best = *std::max_element(supported.begin(), supported.end());
    if (best == 0) {
        return {};
    }
    const int slack = std::max(1, samples / 50);
    const auto qualifies = [&](int i) { return i >= 0 && i < span && supported[i] >= best - slack; };
    int nearest = radius;
    for (int distance = 0; distance <= radius; ++distance) {
        if (qualifies(radius + distance) || qualifies(radius - distance)) {
            nearest = qualifies(radius + distance) ? radius + distance : radius - distance;
            break;
        }
    }
    int first = nearest, last = nearest;
    while (qualifies(first - 1)) {
        --first;
    }
    while (qualifies(last + 1)) {
        ++last;
    }
    const long strongest = *std::max_element(strength.begin() + first, strength.begin() + last + 1);
    int chosen = last;
    while (strength[chosen] < strongest * 4 / 5) {
        --chosen;
    }
    return {double(base + chosen), double(supported[chosen]) / samples,
            double(contrast[chosen]) / (double(std::max(1, supported[chosen])) * fullContrastStep)};
}

cv::Point2d intersection(cv::Point2d p, cv::Point2d u, cv::Point2d q, cv::Point2d v) {
    const cv::Point2d w = q - p;
    const double t = (w.x * v.y - w.y * v.x) / (u.x * v.y - u.y * v.x);
    return p + t * u;
}

/// The candidate's sides fitted to the image, and the corners where the fitted sides meet.
Quad fitSides(const Image& image, const Candidate& candidate, std::array<SideFit, 4>& fits) {
    const cv::Point2d centre =
        (candidate.corners[0] + candidate.corners[1] + candidate.corners[2] + candidate.corners[3]) / 4;
    std::array<cv::Point2d, 4> points, directions;
    for (std::size_t i = 0; i < 4; ++i) {
        const cv::Point2d a = candidate.corners[i];
        const cv::Point2d b = candidate.corners[(i + 1) % 4];
        const cv::Point2d direction = (b - a) / cv::norm(b - a);
        cv::Point2d normal(direction.y, -direction.x);
        if (normal.dot((a + b) / 2 - centre) < 0) {
            normal = -normal;
        }
        fits[i] =
            fitSide(image, a, b, normal, candidate.expectedOffset, candidate.reach, candidate.axisAligned ? 0 : 1);
        points[i] = a + fits[i].offset * normal;
        directions[i] = direction;
    }
    Quad corners;
    for (std::size_t i = 0; i < 4; ++i) {
        const std::size_t previous = (i + 3) % 4;
        corners[i] = intersection(points[previous], directions[previous], points[i], directions[i]);
    }
    return corners;
}

/// 0…1: how much of the sides is edge (above all), how little the corners cut off, how strong the
/// edges are and how square the corners.
double confidence(const Candidate& candidate, const std::array<SideFit, 4>& fits, double tolerance) {
    double weakest = 1, support = 0, contrast = 0;
    for (const SideFit& fit : fits) {
        weakest = std::min(weakest, fit.support);
        support += fit.support / 4;
        contrast += fit.contrast / 4;
    }
    // One side that is no edge at all makes no rectangle, however good the other three are.
    const double edges = (weakest + support) / 2;
    const double fill = std::clamp((candidate.fill - 0.6) / 0.4, 0.0, 1.0);
    const double squareness = tolerance > 0 ? 1 - 0.1 * candidate.cornerDeviation / tolerance : 1;
    return edges * edges * fill * (0.75 + 0.25 * contrast) * squareness;
}

/// The candidate fitted to the image, when it passes the request's size, shape and confidence.
std::optional<Found> measured(const Image& image, const Candidate& candidate,
                              const RectangleDetectionRequest& request) {
    std::array<SideFit, 4> fits;
    const Quad corners = fitSides(image, candidate, fits);
    const double width = (cv::norm(corners[1] - corners[0]) + cv::norm(corners[3] - corners[2])) / 2;
    const double height = (cv::norm(corners[2] - corners[1]) + cv::norm(corners[0] - corners[3])) / 2;
    const double shorter = std::min(width, height);
    if (shorter < request.minimumSize * std::min(image.width(), image.height()) ||
        shorter < request.minimumAspectRatio * std::max(width, height)) {
        return std::nullopt;
    }
    double left = image.width(), top = image.height(), right = 0, bottom = 0;
    for (const cv::Point2d& corner : corners) {
        left = std::min(left, corner.x);
        top = std::min(top, corner.y);
        right = std::max(right, corner.x);
        bottom = std::max(bottom, corner.y);
    }
    left = std::max(left, 0.0);
    top = std::max(top, 0.0);
    right = std::min(right, double(image.width()));
    bottom = std::min(bottom, double(image.height()));
    // The picture's own outline, or a frame just inside it, is not a rectangle in the picture.
    const double marginX = 1 + wholeImageMargin * image.width();
    const double marginY = 1 + wholeImageMargin * image.height();
    const bool isWholeImage =
        left < marginX && top < marginY && right > image.width() - marginX && bottom > image.height() - marginY;
    const double score = confidence(candidate, fits, request.quadratureToleranceDegrees);
    if (isWholeImage || right <= left || bottom <= top || score < request.minimumConfidence) {
        return std::nullopt;
    }
    return Found{cv::Rect2d(left, top, right - left, bottom - top), score};
}

double overlap(const cv::Rect2d& a, const cv::Rect2d& b) {
    const double shared = (a & b).area();
    return shared / (a.area() + b.area() - shared);
}

/// Most confident first, larger first among equals.
bool ranksBefore(const Found& a, const Found& b) {
    return a.confidence != b.confidence ? a.confidence > b.confidence : a.box.area() > b.box.area();
}

/// Of rectangles overlapping by more than `duplicateOverlap` the most confident, or the larger when
/// the confidences are within `duplicateConfidenceMargin`; ranked.
std::vector<Found> withoutDuplicates(std::vector<Found> found) {
    std::sort(found.begin(), found.end(), ranksBefore);
    std::vector<Found> kept;
    for (const Found& candidate : found) {
        const auto duplicate = std::find_if(kept.begin(), kept.end(), [&](const Found& k) {
            return overlap(k.box, candidate.box) > OpenCVRectangleDetector::duplicateOverlap;
        });
        if (duplicate == kept.end()) {
            kept.push_back(candidate);
        } else if (candidate.box.area() > duplicate->box.area() &&
                   candidate.confidence >= duplicate->confidence - OpenCVRectangleDetector::duplicateConfidenceMargin) {
            *duplicate = candidate;
        }
    }
    std::sort(kept.begin(), kept.end(), ranksBefore);
    return kept;
}

RectangleObservation observation(const Found& found, const Image& image) {
    const double width = image.width();
    const double height = image.height();
    const cv::Rect2d& box = found.box;
    return {Rect{Point{box.x / width, 1 - (box.y + box.height) / height}, Size{box.width / width, box.height / height}},
            found.confidence};
}

std::vector<RectangleObservation> detectRectangles(const Image& image, const RectangleDetectionRequest& request) {
    std::vector<RectangleObservation> result;
    if (request.maximumObservations <= 0) {
        return result;
    }
    const int factor = shrinkFactor(image);
    const double minimumSide = request.minimumSize * std::min(image.width(), image.height());
    std::vector<Found> found;
    for (const Candidate& candidate : candidates(image, factor, minimumSide, request.quadratureToleranceDegrees)) {
        if (auto measuredCandidate = measured(image, candidate, request)) {
            found.push_back(*measuredCandidate);
        }
    }
    for (const Found& kept : withoutDuplicates(std::move(found))) {
        if (int(result.size()) == request.maximumObservations) {
            break;
        }
        result.push_back(observation(kept, image));
    }
    return result;
}

} // namespace

RectangleDetector::Outcome OpenCVRectangleDetector::detect(const Image& image,
                                                           const RectangleDetectionRequest& request) const {
    if (image.isEmpty() || image.pixels().size() < static_cast<std::size_t>(image.width()) * image.height() * 4) {
        return Outcome::failure("rectangle detection needs a non-empty image");
    }
    try {
        return Outcome::success(detectRectangles(image, request));
    } catch (const cv::Exception& error) {
        return Outcome::failure("rectangle detection failed in OpenCV: " + error.msg);
    } catch (const std::bad_alloc&) {
        return Outcome::failure("rectangle detection ran out of memory");
    }
}

} // namespace brisklet
