#pragma once

#include "Platform/DisplayServer.h"

namespace brisklet {

/// Screens and a pointer set by the test.
class ScriptedDisplayServer final : public DisplayServer {
public:
    std::vector<DisplayScreen> screens() const override { return screens_; }
    std::optional<Point> mouseLocation() const override { return mouse_; }

    void setScreens(std::vector<DisplayScreen> screens) { screens_ = std::move(screens); }
    void setMouseLocation(std::optional<Point> location) { mouse_ = location; }

    /// A screen of `frame` at scale 1 numbered `displayID`, fully visible.
    static DisplayScreen screen(std::uint32_t displayID, const Rect& frame, bool isPrimary = false);

private:
    std::vector<DisplayScreen> screens_;
    std::optional<Point> mouse_;
};

} // namespace brisklet
