#include "ZelvorApp/Recording/GIFTimelineInteraction.h"

#include "ZelvorApp/Recording/GIFPostProcessingModel.h"

#include <algorithm>

namespace brisklet {

GIFTimelineHitRegion GIFTimelineInteraction::press(Point point, const GIFTimelineLayout& layout) {
    model_.stopPlayback();
    const auto region = GIFTimelineHitTester::hitRegion(
        point, layout.geometry(model_.startTime(), model_.endTime(), model_.playheadTime()));
    grabbed_ = region;
    const double time = layout.time(point.x);
    switch (region) {
    case GIFTimelineHitRegion::startHandle:
        grabOffset_ = time - model_.startTime();
        model_.setPlayheadTime(model_.startTime());
        break;
    case GIFTimelineHitRegion::endHandle:
        grabOffset_ = time - model_.endTime();
        model_.setPlayheadTime(model_.endTime());
        break;
    case GIFTimelineHitRegion::playheadKnob:
    case GIFTimelineHitRegion::selectionBody:
    case GIFTimelineHitRegion::scrubTrack:
        grabOffset_ = 0;
        moveTo(time);
        break;
    }
    return region;
}

void GIFTimelineInteraction::drag(Point point, const GIFTimelineLayout& layout) {
    if (grabbed_)
        moveTo(layout.time(point.x) - grabOffset_);
}

void GIFTimelineInteraction::moveTo(double time) {
    switch (*grabbed_) {
    case GIFTimelineHitRegion::startHandle:
        model_.setSelection(std::min(time, model_.endTime()), model_.endTime());
        model_.setPlayheadTime(model_.startTime());
        break;
    case GIFTimelineHitRegion::endHandle:
        model_.setSelection(model_.startTime(), std::max(time, model_.startTime()));
        model_.setPlayheadTime(model_.endTime());
        break;
    case GIFTimelineHitRegion::playheadKnob:
    case GIFTimelineHitRegion::selectionBody:
    case GIFTimelineHitRegion::scrubTrack:
        model_.setPlayheadTime(time);
        break;
    }
}

} // namespace brisklet
