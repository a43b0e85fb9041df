#pragma once

#include "ZelvorApp/Selection/SelectionSnapCandidate.h"

#include <optional>
#include <vector>

namespace brisklet {

/// Which candidate a click at a point means.
struct SelectionSnapResolver {
    static constexpr double screenFillingShare = 0.92;
    /// How far apart two outlines' edges may be and still be the same thing on screen.
    static constexpr double sameOutlineTolerance = 4;

    /// Of the rectangles holding `point`, the smallest; then the one whose centre is nearer;
    /// then the lower priority.
    static std::optional<SelectionSnapCandidate> bestRectangle(Point point,
                                                               const std::vector<SelectionSnapCandidate>& rectangles);
    /// Whether the candidate covers at least 92 % of `bounds`.
    static bool isScreenFilling(const SelectionSnapCandidate& candidate, const Rect& bounds);
    /// Whether every edge of `a` lies within 4 points of the same edge of `b`.
    static bool outlinesSameArea(const Rect& a, const Rect& b);
    /// The target under the pointer: a detected rectangle beats the frontmost window there
    /// (unless it is that window's own outline), and a window that fills the screen is no
    /// target at all.
    static std::optional<SelectionSnapCandidate> candidateAt(Point point,
                                                             const std::vector<SelectionSnapCandidate>& windows,
                                                             const std::vector<SelectionSnapCandidate>& rectangles,
                                                             const Rect& bounds);
};

} // namespace brisklet
