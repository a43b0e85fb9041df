#include "Platform/Fake/ScriptedWindowServer.h"

namespace brisklet {

bool ScriptedWindowServer::warpPointer(Point location) {
    if (warpFails_ || !support_.canWarpPointer) {
        return false;
    }
    warps_.push_back(location);
    return true;
}

bool ScriptedWindowServer::postPixelScroll(int deltaPixels) {
    if (eventsFail_ || !support_.canPostScrollEvents || !support_.deliversExactPixels) {
        return false;
    }
    postedPixels_.push_back(deltaPixels);
    page_.scrollBy(-deltaPixels);
    return true;
}

bool ScriptedWindowServer::postWheelClicks(int clicks) {
    if (eventsFail_ || !support_.canPostScrollEvents) {
        return false;
    }
    postedClicks_.push_back(clicks);
    postedPixels_.push_back(clicks * actualPixelsPerClick_);
    page_.scrollBy(-clicks * actualPixelsPerClick_);
    return true;
}

} // namespace brisklet
