#pragma once

#include "ZelvorCore/Foundation/Geometry.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace brisklet {

/// One connected screen, in points of the global desktop space: origin at the bottom-left corner
/// of the primary screen, y growing upwards.
struct DisplayScreen {
    /// The platform display number; stable while the screen stays connected. Absent when the
    /// backend could not name the screen (such a screen cannot be captured).
    std::optional<std::uint32_t> displayID;
    /// The output's name as the desktop reports it ("HDMI-1"); informational only.
    std::string name;
    /// The whole screen.
    Rect frame;
    /// The screen minus panels, docks and other reserved areas.
    Rect visibleFrame;
    /// Pixels per point; 1 unless the desktop sets a scale.
    double scale = 1.0;
    /// Whether this is the primary screen (the origin of the global space).
    bool isPrimary = false;

    bool operator==(const DisplayScreen&) const = default;
};

/// The connected screens and the pointer. Read from any thread; every call asks afresh.
class DisplayServer {
public:
    virtual ~DisplayServer() = default;

    /// The connected screens, the primary one first; empty when there is no display.
    virtual std::vector<DisplayScreen> screens() const = 0;
    /// The pointer in the global desktop space (bottom-left origin); absent without a display.
    virtual std::optional<Point> mouseLocation() const = 0;
};

/// The first screen, in the given order, whose frame contains `location`.
inline std::optional<DisplayScreen> screenContaining(const std::vector<DisplayScreen>& screens, Point location) {
    for (const DisplayScreen& screen : screens) {
        if (screen.frame.contains(location)) {
            return screen;
        }
    }
    return std::nullopt;
}

/// The screen under the pointer, or nothing when no screen contains it.
inline std::optional<DisplayScreen> screenUnderMouse(const DisplayServer& server) {
    const std::optional<Point> location = server.mouseLocation();
    return location ? screenContaining(server.screens(), *location) : std::nullopt;
}

} // namespace brisklet
