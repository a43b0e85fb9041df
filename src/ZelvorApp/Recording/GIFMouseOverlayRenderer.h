#pragma once

#include "ZelvorApp/Recording/GIFMouseOverlayOptions.h"
#include "ZelvorApp/Recording/MouseTrackingService.h"
#include "ZelvorCore/Foundation/Image.h"

namespace brisklet {

/// Draws the cursor dot and click ripples into a downscaled frame. Plain pixel code so it can run
/// on the capture queue without a graphics toolkit.
class GIFMouseOverlayRenderer {
public:
    /// `region` is the recorded rectangle and `mappingRect` the one global points are mapped
    /// through (both in global points, origin bottom-left); `now` is on the ripples' clock.
    static void draw(Image& frame, const MouseSnapshot& snapshot, const GIFMouseOverlayOptions& options,
                     const Rect& region, const Rect& mappingRect, double now);
};

} // namespace brisklet
