#pragma once

#include "ZelvorApp/Recording/GIFTimelineHitTester.h"
#include "ZelvorApp/Recording/GIFTimelineLayout.h"
#include "ZelvorCore/Foundation/Geometry.h"

#include <optional>

namespace brisklet {

class GIFPostProcessingModel;

/// A press and drag on the trim timeline, turned into the model's selection and playhead. A
/// handle keeps the distance to the point where it was grabbed (it does not jump under the
/// pointer) and never crosses the other handle; while a handle moves the playhead follows it, so
/// the preview shows the frame being cut at. Anywhere else the playhead goes where the pointer
/// is. Any press stops playback.
class GIFTimelineInteraction {
public:
    explicit GIFTimelineInteraction(GIFPostProcessingModel& model) : model_(model) {}

    /// Starts a drag at `point`; returns what it grabbed.
    GIFTimelineHitRegion press(Point point, const GIFTimelineLayout& layout);
    /// Moves what the press grabbed; nothing without a press.
    void drag(Point point, const GIFTimelineLayout& layout);
    void release() { grabbed_.reset(); }

    const std::optional<GIFTimelineHitRegion>& grabbed() const { return grabbed_; }

private:
    void moveTo(double time);

    GIFPostProcessingModel& model_;
    std::optional<GIFTimelineHitRegion> grabbed_;
    /// Recording time between the press and the grabbed handle's edge.
    double grabOffset_ = 0;
};

} // namespace brisklet
