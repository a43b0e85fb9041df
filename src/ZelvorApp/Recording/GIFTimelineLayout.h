#pragma once

#include "ZelvorApp/Recording/GIFTimelineHitTester.h"
#include "ZelvorCore/Foundation/Geometry.h"

namespace brisklet {

/// Where the trim timeline puts things, in view coordinates (y down): the thumbnail track spans
/// the recording from left to right, the trim handles stand just outside the kept range, and the
/// playhead's knob sits above the track.
class GIFTimelineLayout {
public:
    /// The drawn width of a trim handle.
    static constexpr double handleWidth = 12;
    /// How far a handle's hit area reaches into the kept range, so a handle is easy to grab; on
    /// a short selection the two areas overlap and the side of the press decides.
    static constexpr double handleReach = 8;
    /// The playhead knob's side; it stands above the track.
    static constexpr double knobSize = 14;

    /// `track` is where the thumbnails are drawn; there must be `handleWidth` beside it on each
    /// side and `knobSize` above it.
    GIFTimelineLayout(Rect track, double duration);

    const Rect& track() const { return track_; }
    /// The x of recording time `time` (clamped into the recording).
    double x(double time) const;
    /// The recording time under `x` (clamped into the recording).
    double time(double x) const;

    Rect startHandle(double start) const;
    Rect endHandle(double end) const;
    Rect playheadKnob(double playhead) const;
    Rect selectionBody(double start, double end) const;
    /// What the hit tester needs, for the model's current range and playhead.
    GIFTimelineHitTester::Geometry geometry(double start, double end, double playhead) const;

private:
    Rect track_;
    double duration_;
};

} // namespace brisklet
