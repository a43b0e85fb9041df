#include "ZelvorApp/Video/VideoClickEffectsOverlay.h"

#include "ZelvorApp/Recording/GIFMouseOverlayRenderer.h"

#include <algorithm>

namespace brisklet {

void VideoClickEffectsOverlay::addClick(Point globalPoint, double monotonicSeconds) {
    std::lock_guard lock(mutex_);
    ripples_.push_back({globalPoint, monotonicSeconds});
}

void VideoClickEffectsOverlay::draw(Image& frame, const Rect& region, double monotonicSeconds) {
    MouseSnapshot snapshot;
    {
        std::lock_guard lock(mutex_);
        std::erase_if(ripples_, [monotonicSeconds](const ClickRipple& ripple) {
            return monotonicSeconds - ripple.timestamp > MouseTrackingService::kRippleLifetime;
        });
        // A click the recorder has not reached yet (frames are a little behind) waits its turn.
        std::copy_if(ripples_.begin(), ripples_.end(), std::back_inserter(snapshot.ripples),
                     [monotonicSeconds](const ClickRipple& ripple) { return ripple.timestamp <= monotonicSeconds; });
    }
    if (snapshot.ripples.empty()) {
        return;
    }
    // The pointer itself is the system's, drawn by the recorder.
    GIFMouseOverlayRenderer::draw(frame, snapshot, {false, true}, region, region, monotonicSeconds);
}

bool VideoClickEffectsOverlay::drawsAt(double monotonicSeconds) const {
    std::lock_guard lock(mutex_);
    return std::any_of(ripples_.begin(), ripples_.end(), [monotonicSeconds](const ClickRipple& ripple) {
        return ripple.timestamp <= monotonicSeconds &&
               monotonicSeconds - ripple.timestamp <= MouseTrackingService::kRippleLifetime;
    });
}

std::size_t VideoClickEffectsOverlay::liveRippleCount() const {
    std::lock_guard lock(mutex_);
    return ripples_.size();
}

} // namespace brisklet
