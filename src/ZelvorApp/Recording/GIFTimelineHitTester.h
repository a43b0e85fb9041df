#pragma once

#include "ZelvorCore/Foundation/EnumTable.h"
#include "ZelvorCore/Foundation/Geometry.h"

namespace brisklet {

enum class GIFTimelineHitRegion { playheadKnob, startHandle, endHandle, selectionBody, scrubTrack };

template <> struct EnumTraits<GIFTimelineHitRegion> {
    static constexpr std::array<std::pair<GIFTimelineHitRegion, std::string_view>, 5> names{{
        {GIFTimelineHitRegion::playheadKnob, "playheadKnob"},
        {GIFTimelineHitRegion::startHandle, "startHandle"},
        {GIFTimelineHitRegion::endHandle, "endHandle"},
        {GIFTimelineHitRegion::selectionBody, "selectionBody"},
        {GIFTimelineHitRegion::scrubTrack, "scrubTrack"},
    }};
};

/// Decides what a press on the trim timeline grabs. Handles win over the playhead so a short
/// selection can still be resized while the playhead sits on it.
class GIFTimelineHitTester {
public:
    /// The timeline's parts in view coordinates.
    struct Geometry {
        Rect track;
        Rect playheadKnob;
        Rect startHandle;
        Rect endHandle;
        Rect selectionBody;
    };

    static GIFTimelineHitRegion hitRegion(Point point, const Geometry& geometry);
};

} // namespace brisklet
