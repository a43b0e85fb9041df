#pragma once

#include "Platform/ScreenRecorder.h"
#include "ZelvorApp/Recording/MouseTrackingService.h"

#include <mutex>
#include <vector>

namespace brisklet {

/// The ripples around left clicks in a video, drawn the way GIF recordings draw them. Clicks are
/// added on the main queue and drawn on the recorder's thread, hence the lock.
class VideoClickEffectsOverlay final : public ScreenRecordingOverlay {
public:
    /// A left click at `globalPoint` at `monotonicSeconds`.
    void addClick(Point globalPoint, double monotonicSeconds);
    void draw(Image& frame, const Rect& region, double monotonicSeconds) override;
    bool drawsAt(double monotonicSeconds) const override;

    std::size_t liveRippleCount() const;

private:
    mutable std::mutex mutex_;
    std::vector<ClickRipple> ripples_;
};

} // namespace brisklet
