#pragma once

#include "Platform/RectangleDetector.h"

namespace brisklet {

/// Rectangles in screen content, with OpenCV imgproc.
///
/// Candidates are outlines (findContours) of two maps of colour steps between neighbouring
/// pixels, and of the regions those maps enclose, whose convex hull simplifies to four corners
/// near right angles (approxPolyDP):
/// - every step, on a copy shrunk by a whole factor (longest side at most `workingSide`): finds
///   shapes that stand on their own, pictures and tilted outlines;
/// - only horizontal and vertical steps that run unbroken for at least half the minimum side, at
///   a resolution where the letters of text keep their gaps: these are the frames and separators
///   that interface panels are drawn with, and text inside a panel, which would join its frame in
///   the first map wherever it comes close, is left out.
/// Each candidate's sides are then fitted again on the full-resolution picture to the nearest
/// straight colour step, which puts the box on the exact pixel edges and tells how much of each
/// side really is an edge. The confidence comes mostly from that support, then from how much the
/// four corners cut off the outline and from the steps' contrast, so a block of text, whose
/// outline merely looks rectangular when shrunk, stays below any useful minimum.
///
/// Request limits: a rectangle's shorter side (the mean of its two shorter opposite sides, in
/// pixels) must be at least `minimumSize` × the picture's shorter side; the shorter side over the
/// longer one at least `minimumAspectRatio`; every corner within `quadratureToleranceDegrees` of
/// 90°, so a skewed shape is left out while a rectangle turned as a whole keeps its right angles
/// and is reported by its bounding box.
///
/// The picture's border counts as an edge, so panels flush with the screen's edges are found; the
/// picture itself (every side within half a percent of its border) is never reported. Rectangles
/// overlapping by more than `duplicateOverlap` (intersection over union) count once, since the two
/// sides of a border line give two outlines: the more confident stays, or the larger when the
/// confidences are within `duplicateConfidenceMargin`, so a window wins over its own content area.
class OpenCVRectangleDetector final : public RectangleDetector {
public:
    static constexpr int workingSide = 1024;
    /// Sum of the absolute RGB differences (0…765) of two neighbouring pixels that makes an edge.
    static constexpr int edgeStep = 24;
    static constexpr double duplicateOverlap = 0.9;
    static constexpr double duplicateConfidenceMargin = 0.03;

    Outcome detect(const Image& image, const RectangleDetectionRequest& request) const override;
};

} // namespace brisklet
