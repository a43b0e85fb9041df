#pragma once

#include "ZelvorCore/Foundation/Geometry.h"
#include "ZelvorCore/Foundation/Image.h"
#include "ZelvorCore/Foundation/Result.h"

#include <string>
#include <vector>

namespace brisklet {

/// What counts as a rectangle worth offering: panels, dialogs and pictures, not every glyph.
struct RectangleDetectionRequest {
    /// At most this many come back, the most confident.
    int maximumObservations = 24;
    /// Observations less confident than this are left out.
    double minimumConfidence = 0.65;
    /// The smaller side, as a fraction of the image's smaller side.
    double minimumSize = 0.08;
    /// Shorter side over longer side.
    double minimumAspectRatio = 0.3;
    /// How far a corner may be from a right angle.
    double quadratureToleranceDegrees = 18;
};

/// One rectangle found in an image.
struct RectangleObservation {
    /// Normalised to the image (0…1 on both axes), origin at the bottom-left, y up: a box whose
    /// top-left pixel corner is (left, top), w × h pixels in a W × H image, is at
    /// x = left / W, y = 1 − (top + h) / H, with width w / W and height h / H.
    Rect boundingBox;
    /// 0…1: how rectangular and well-contrasted the outline is.
    double confidence = 0;

    bool operator==(const RectangleObservation&) const = default;
};

/// Finds visually distinct rectangles (windows inside windows, panels, images on a page) so the
/// selection overlay can offer them with a single click. Stateless and safe to call from any
/// thread.
class RectangleDetector {
public:
    /// The observations, most confident first, or a description of why detection failed.
    using Outcome = Result<std::vector<RectangleObservation>, std::string>;

    virtual ~RectangleDetector() = default;
    virtual Outcome detect(const Image& image, const RectangleDetectionRequest& request) const = 0;
};

} // namespace brisklet
