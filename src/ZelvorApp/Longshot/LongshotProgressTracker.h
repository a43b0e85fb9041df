#pragma once

namespace brisklet {

/// Notices the bottom of the page: frames that stop moving after the page did move.
struct LongshotProgressTracker {
    int consecutiveStationaryFrames = 0;
    bool hasObservedProgress = false;

    void reset() { *this = LongshotProgressTracker{}; }

    bool operator==(const LongshotProgressTracker&) const = default;
};

} // namespace brisklet
