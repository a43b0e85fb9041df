#include "ZelvorApp/Longshot/LongshotAutoScroller.h"

#include <algorithm>
#include <cmath>

namespace brisklet {

namespace {

double stepFraction(LongshotSpeed speed) {
    switch (speed) {
    case LongshotSpeed::slow:
        return 0.45;
    case LongshotSpeed::normal:
        return 0.55;
    case LongshotSpeed::fast:
        return 0.65;
    }
    return 0.55;
}

constexpr std::int32_t minimumStepDistance = 80;

} // namespace

LongshotAutoScroller::LongshotAutoScroller(WindowServer& windowServer, FirstScreenFrameProvider firstScreenFrame)
    : windowServer_(windowServer), firstScreenFrame_(std::move(firstScreenFrame)) {}

std::int32_t LongshotAutoScroller::stepDistanceFor(double targetHeight, LongshotSpeed speed) {
    return std::max(minimumStepDistance, static_cast<std::int32_t>(std::lround(stepFraction(speed) * targetHeight)));
}

bool LongshotAutoScroller::start(const Rect& targetRect, LongshotSpeed speed) {
    stepDistance_ = stepDistanceFor(targetRect.height(), speed);
    running_ = false;
    // Another run may scroll another application, whose clicks go another distance.
    clicksSinceObservation_ = 0;
    measuredPixelsPerClick_.reset();
    const auto screen = firstScreenFrame_ ? firstScreenFrame_() : std::nullopt;
    if (!screen) {
        return false;
    }
    const Point centre{targetRect.midX(), screen->maxY() - targetRect.midY()};
    if (!windowServer_.warpPointer(centre)) {
        return false;
    }
    running_ = true;
    support_ = windowServer_.scrollEventSupport();
    if (!support_.canPostScrollEvents) {
        return false;
    }
    return postOneStep();
}

bool LongshotAutoScroller::postStep() {
    return running_ && postOneStep();
}

bool LongshotAutoScroller::postOneStep() {
    if (support_.deliversExactPixels) {
        return windowServer_.postPixelScroll(-stepDistance_);
    }
    const int clicks = clicksPerStep();
    if (!windowServer_.postWheelClicks(-clicks)) {
        return false;
    }
    clicksSinceObservation_ += clicks;
    return true;
}

void LongshotAutoScroller::pause() {
    stepDistance_ = 0;
    running_ = false;
}

void LongshotAutoScroller::observeAcceptedShift(double pixels) {
    // The first frame after our own clicks tells how far a click scrolls this application.
    if (!support_.deliversExactPixels && !pixelsPerWheelClick() && clicksSinceObservation_ > 0 && pixels > 0) {
        measuredPixelsPerClick_ = pixels / clicksSinceObservation_;
    }
    clicksSinceObservation_ = 0;
}

std::optional<double> LongshotAutoScroller::pixelsPerWheelClick() const {
    return support_.pixelsPerWheelClick ? support_.pixelsPerWheelClick : measuredPixelsPerClick_;
}

int LongshotAutoScroller::clicksPerStep() const {
    const auto perClick = pixelsPerWheelClick();
    if (!perClick || *perClick <= 0) {
        return 1; // one click at a time until we know how far one goes
    }
    return std::max(1, static_cast<int>(std::lround(stepDistance_ / *perClick)));
}

std::optional<double> LongshotAutoScroller::expectedStep() const {
    if (!running_) {
        return std::nullopt;
    }
    if (support_.deliversExactPixels) {
        return double(stepDistance_);
    }
    if (const auto perClick = pixelsPerWheelClick()) {
        return clicksPerStep() * *perClick;
    }
    return std::nullopt;
}

} // namespace brisklet
