#pragma once

#include "Platform/WindowServer.h"

namespace brisklet {

/// A window list set by the test, front to back.
class ScriptedWindowList final : public WindowListSource {
public:
    std::vector<WindowServerWindow> onScreenWindows() const override { return windows_; }
    void setWindows(std::vector<WindowServerWindow> windows) { windows_ = std::move(windows); }

private:
    std::vector<WindowServerWindow> windows_;
};

} // namespace brisklet
