#pragma once

#include "ZelvorApp/Selection/SelectionSnapCandidate.h"

#include <vector>

namespace brisklet {

class Image;
class RectangleDetector;
struct CapturedWindowInfo;

/// Turns windows and detected rectangles into snap candidates for one screen's overlay.
struct SelectionSnapDetector {
    /// Smaller targets are easier to draw than to hit.
    static constexpr double minimumSide = 72;
    /// A rectangle covering nearly the whole screen is the screen, not a target.
    static constexpr double maximumScreenShare = 0.92;

    /// The parts of `windows` (front to back, window-server space: top-left origin, y down) on
    /// the screen whose frame in that same space is `screenFrame`, in view points. Windows are
    /// intersected with the screen in one coordinate space so screens above or below the primary
    /// one get their own windows, not those at the same numbers on the primary screen.
    static std::vector<SelectionSnapCandidate> windowCandidates(const std::vector<CapturedWindowInfo>& windows,
                                                                const Rect& screenFrame);

    /// Rectangles found in `snapshot` (the screen as the overlay shows it), scaled to
    /// `overlayBounds`. A failing detector is logged and gives none.
    static std::vector<SelectionSnapCandidate> rectangleCandidates(const RectangleDetector& detector,
                                                                   const Image& snapshot, const Rect& overlayBounds);
};

} // namespace brisklet
