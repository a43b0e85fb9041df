#include "ZelvorApp/Recording/GIFTimelineHitTester.h"

namespace brisklet {

namespace {

bool contains(const Rect& r, Point p) {
    return !r.isEmpty() && p.x >= r.minX() && p.x <= r.maxX() && p.y >= r.minY() && p.y <= r.maxY();
}

} // namespace

GIFTimelineHitRegion GIFTimelineHitTester::hitRegion(Point point, const Geometry& g) {
    const bool inStart = contains(g.startHandle, point);
    const bool inEnd = contains(g.endHandle, point);
    if (inStart && inEnd) {
        // Overlapping handles on a very short selection: the side of the midpoint decides.
        const double midpoint = (g.startHandle.midX() + g.endHandle.midX()) / 2;
        return point.x < midpoint ? GIFTimelineHitRegion::startHandle : GIFTimelineHitRegion::endHandle;
    }
    if (inStart)
        return GIFTimelineHitRegion::startHandle;
    if (inEnd)
        return GIFTimelineHitRegion::endHandle;
    if (contains(g.playheadKnob, point))
        return GIFTimelineHitRegion::playheadKnob;
    if (contains(g.selectionBody, point))
        return GIFTimelineHitRegion::selectionBody;
    return GIFTimelineHitRegion::scrubTrack;
}

} // namespace brisklet
