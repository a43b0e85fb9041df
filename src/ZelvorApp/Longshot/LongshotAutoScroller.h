#pragma once

#include "Platform/WindowServer.h"
#include "ZelvorCore/Foundation/Geometry.h"
#include "ZelvorCore/Models/LongshotConfig.h"

#include <cstdint>
#include <functional>
#include <optional>

namespace brisklet {

/// Scrolls the page under a scrolling capture for the user: one step of synthetic scrolling
/// between two captures. Where the window server only knows wheel clicks, whose distance each
/// application chooses, the scroller learns the real distance from the frames that were kept
/// and reports no expected step until it knows one. Main thread only.
class LongshotAutoScroller {
public:
    /// The frame of the first screen in the global desktop space (origin bottom-left), used to
    /// convert into the window server's top-left space; none without screens.
    using FirstScreenFrameProvider = std::function<std::optional<Rect>()>;

    LongshotAutoScroller(WindowServer& windowServer, FirstScreenFrameProvider firstScreenFrame);

    /// Sets the step for this target and speed, moves the pointer to the target's centre and
    /// posts the first step. True when a scroll event was posted.
    bool start(const Rect& targetRect, LongshotSpeed speed);
    /// Posts one more step while running. True when an event was posted.
    bool postStep();
    /// Stops scrolling; the user may go on by hand.
    void pause();
    /// Tells the scroller how far the content moved, in pixels, since the previous kept frame.
    void observeAcceptedShift(double pixels);

    /// How far one step moves the content, in pixels, when that is known.
    std::optional<double> expectedStep() const;
    std::int32_t stepDistance() const { return stepDistance_; }
    bool running() const { return running_; }
    /// Wheel clicks posted per step where only wheel clicks exist.
    int clicksPerStep() const;

    /// round(fraction × height), at least 80 points; the fraction grows with the speed.
    static std::int32_t stepDistanceFor(double targetHeight, LongshotSpeed speed);

private:
    bool postOneStep();
    std::optional<double> pixelsPerWheelClick() const;

    WindowServer& windowServer_;
    FirstScreenFrameProvider firstScreenFrame_;
    ScrollEventSupport support_;
    std::int32_t stepDistance_ = 0;
    bool running_ = false;
    int clicksSinceObservation_ = 0;
    std::optional<double> measuredPixelsPerClick_;
};

} // namespace brisklet
