#pragma once

#include "ZelvorCore/Foundation/Geometry.h"

#include <vector>

namespace brisklet {

class Clock;
class InputMonitor;

/// A left click, kept for the ripple drawn around it.
struct ClickRipple {
    Point globalPoint;
    /// Clock seconds (monotonic) of the click.
    double timestamp = 0;

    bool operator==(const ClickRipple&) const = default;
};

/// The pointer and the ripples still alive at one moment.
struct MouseSnapshot {
    Point globalLocation;
    std::vector<ClickRipple> ripples;

    bool operator==(const MouseSnapshot&) const = default;
};

/// Follows the pointer and left clicks while a recording runs, so the recorder can draw its own
/// cursor dot and click ripples into the frames. Main thread only.
class MouseTrackingService {
public:
    static constexpr double kRippleLifetime = 0.45;

    MouseTrackingService(InputMonitor& monitor, const Clock& clock);
    ~MouseTrackingService();
    MouseTrackingService(const MouseTrackingService&) = delete;
    MouseTrackingService& operator=(const MouseTrackingService&) = delete;

    /// Installs the pointer and click monitors (again, when they were removed).
    void start();
    /// The current location and the ripples younger than the lifetime; older ones are dropped.
    MouseSnapshot snapshot(double now);
    /// Removes both monitors.
    void invalidate();

private:
    InputMonitor& monitor_;
    const Clock& clock_;
    Point currentLocation_;
    std::vector<ClickRipple> ripples_;
    bool isMonitoring_ = false;
};

} // namespace brisklet
