#include "Platform/Linux/FFmpeg/FrameRateGrid.h"

#include <algorithm>
#include <cmath>

namespace brisklet {

FrameRateGrid::FrameRateGrid(int frameRate, std::optional<long long> maxFrameCount)
    : frameRate_(std::max(frameRate, 1)), maxFrameCount_(maxFrameCount) {}

double FrameRateGrid::timelineSeconds(double seconds) const {
    return seconds - origin() - heldSeconds_;
}

long long FrameRateGrid::clampToLimit(long long slot) const {
    return maxFrameCount_ ? std::min(slot, *maxFrameCount_ - 1) : slot;
}

FrameRateGrid::Placement FrameRateGrid::place(double seconds) {
    const long long next = last_ + 1;
    if (pausedAt_ || isFull()) {
        return {next, next, std::nullopt};
    }
    if (!origin_) {
        origin_ = seconds;
        last_ = 0;
        return {0, 0, 0};
    }
    const double position = timelineSeconds(seconds) * frameRate_;
    const long long slot = std::llround(position);
    if (slot <= last_) {
        return {next, next, std::nullopt};
    }
    // A picture held up by a busy moment still takes the next slot while it is less than a frame
    // late: rounding it on would leave a repeated slot, and the on-time picture after it would
    // find its own slot taken and be dropped.
    const long long placed = clampToLimit(position - static_cast<double>(next) < kLateTolerance ? next : slot);
    last_ = placed;
    // Pictures reach us a little after their slot, by a delay that varies; the grid keeps to the
    // earliest arrivals seen, so later, slower ones still round to their own slot rather than
    // colliding with the next picture.
    const double early = static_cast<double>(placed) / frameRate_ - timelineSeconds(seconds);
    if (placed == slot && early > 0) {
        *origin_ -= early;
    }
    return {next, placed, placed};
}

FrameRateGrid::Placement FrameRateGrid::finish(double seconds) const {
    const long long next = last_ + 1;
    if (!origin_ || isFull()) {
        return {next, next, std::nullopt};
    }
    const double end = pausedAt_ ? *pausedAt_ : seconds;
    const long long begun = static_cast<long long>(std::floor(timelineSeconds(end) * frameRate_ + 1e-9));
    return {next, std::max(next, clampToLimit(begun) + 1), std::nullopt};
}

void FrameRateGrid::pause(double seconds) {
    if (!pausedAt_) {
        pausedAt_ = seconds;
    }
}

void FrameRateGrid::resume(double seconds) {
    if (pausedAt_) {
        heldSeconds_ += std::max(seconds - *pausedAt_, 0.0);
        pausedAt_.reset();
    }
}

} // namespace brisklet
