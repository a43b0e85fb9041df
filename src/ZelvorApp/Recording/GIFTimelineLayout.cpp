#include "ZelvorApp/Recording/GIFTimelineLayout.h"

#include <algorithm>

namespace brisklet {

GIFTimelineLayout::GIFTimelineLayout(Rect track, double duration) : track_(track), duration_(std::max(duration, 0.0)) {}

double GIFTimelineLayout::x(double time) const {
    if (duration_ <= 0)
        return track_.minX();
    return track_.minX() + std::clamp(time / duration_, 0.0, 1.0) * track_.width();
}

double GIFTimelineLayout::time(double x) const {
    if (track_.width() <= 0)
        return 0;
    return std::clamp((x - track_.minX()) / track_.width(), 0.0, 1.0) * duration_;
}

Rect GIFTimelineLayout::startHandle(double start) const {
    const double edge = x(start);
    return Rect{{edge - handleWidth, track_.minY()}, {handleWidth + handleReach, track_.height()}};
}

Rect GIFTimelineLayout::endHandle(double end) const {
    const double edge = x(end);
    return Rect{{edge - handleReach, track_.minY()}, {handleWidth + handleReach, track_.height()}};
}

Rect GIFTimelineLayout::playheadKnob(double playhead) const {
    const double centre = x(playhead);
    return Rect{{centre - knobSize / 2, track_.minY() - knobSize}, {knobSize, knobSize}};
}

Rect GIFTimelineLayout::selectionBody(double start, double end) const {
    const double left = x(std::min(start, end));
    const double right = x(std::max(start, end));
    return Rect{{left, track_.minY()}, {right - left, track_.height()}};
}

GIFTimelineHitTester::Geometry GIFTimelineLayout::geometry(double start, double end, double playhead) const {
    return {track_, playheadKnob(playhead), startHandle(start), endHandle(end), selectionBody(start, end)};
}

} // namespace brisklet
