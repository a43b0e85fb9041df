#include "ZelvorApp/Recording/MouseTrackingService.h"

#include "Platform/Clock.h"
#include "Platform/InputMonitor.h"

#include <algorithm>

namespace brisklet {

MouseTrackingService::MouseTrackingService(InputMonitor& monitor, const Clock& clock)
    : monitor_(monitor), clock_(clock) {}

MouseTrackingService::~MouseTrackingService() {
    invalidate();
}

void MouseTrackingService::start() {
    currentLocation_ = monitor_.currentLocation();
    monitor_.start([this](Point location) { currentLocation_ = location; },
                   [this](Point location) {
                       currentLocation_ = location;
                       ripples_.push_back({location, clock_.monotonicSeconds()});
                   });
    isMonitoring_ = true;
}

MouseSnapshot MouseTrackingService::snapshot(double now) {
    if (isMonitoring_) {
        currentLocation_ = monitor_.currentLocation();
    }
    std::erase_if(ripples_, [now](const ClickRipple& ripple) { return now - ripple.timestamp > kRippleLifetime; });
    return {currentLocation_, ripples_};
}

void MouseTrackingService::invalidate() {
    if (isMonitoring_) {
        monitor_.stop();
        isMonitoring_ = false;
    }
}

} // namespace brisklet
