#pragma once

#include "Platform/Fake/ScriptedScrollingPage.h"
#include "Platform/WindowServer.h"

#include <vector>

namespace brisklet {

/// A window server whose synthetic scrolling moves a scripted page. Wheel clicks move it by
/// `actualPixelsPerClick`, which the backend may or may not reveal (like real applications).
class ScriptedWindowServer final : public WindowServer {
public:
    ScriptedWindowServer(ScriptedScrollingPage& page, ScrollEventSupport support, int actualPixelsPerClick = 48)
        : page_(page), support_(support), actualPixelsPerClick_(actualPixelsPerClick) {}

    ScrollEventSupport scrollEventSupport() const override { return support_; }
    bool warpPointer(Point location) override;
    bool postPixelScroll(int deltaPixels) override;
    bool postWheelClicks(int clicks) override;

    void setWarpFails(bool fails) { warpFails_ = fails; }
    void setEventsFail(bool fail) { eventsFail_ = fail; }

    const std::vector<Point>& warps() const { return warps_; }
    /// Every posted scroll, in pixels (clicks converted), negative = content up.
    const std::vector<int>& postedPixels() const { return postedPixels_; }
    const std::vector<int>& postedClicks() const { return postedClicks_; }

private:
    ScriptedScrollingPage& page_;
    ScrollEventSupport support_;
    int actualPixelsPerClick_;
    bool warpFails_ = false;
    bool eventsFail_ = false;
    std::vector<Point> warps_;
    std::vector<int> postedPixels_;
    std::vector<int> postedClicks_;
};

} // namespace brisklet
