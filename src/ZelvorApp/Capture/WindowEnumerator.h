#pragma once

#include "Platform/DisplayServer.h"
#include "Platform/WindowServer.h"
#include "ZelvorApp/Capture/CapturedWindowInfo.h"

#include <functional>
#include <optional>
#include <vector>

namespace brisklet {

class LocalizationStore;

/// The capturable windows of other applications, front to back, for snapping, for the window
/// picker and for learning which application a capture came from.
class WindowEnumerator {
public:
    /// Picks a window number for windows the server gave none (1 ... 999,999).
    using RandomID = std::function<std::int64_t()>;

    WindowEnumerator(const WindowListSource& source, const LocalizationStore& localization, RandomID randomID = {});

    /// Normal windows (layer 0) of other processes than `excludedPID`, visible (alpha above
    /// 0.05), shareable and at least 120 × 120 points, in the server's order.
    std::vector<CapturedWindowInfo> systemWindows(std::optional<std::int32_t> excludedPID) const;
    /// The first listed window whose bounds contain `point` (window-server coordinates).
    std::optional<CapturedWindowInfo> frontmostWindow(Point point, std::optional<std::int32_t> excludedPID) const;

    /// The part of `windowBounds` (window-server space) on `screenFrame` (desktop space), flipped
    /// into the desktop space and made integral; empty when they do not overlap.
    static Rect captureRect(const Rect& windowBounds, const Rect& screenFrame);
    /// The only screen, or the one the window overlaps most; nothing without screens.
    static std::optional<DisplayScreen> bestScreen(const Rect& windowBounds, const std::vector<DisplayScreen>& screens);

private:
    const WindowListSource& source_;
    const LocalizationStore& localization_;
    RandomID randomID_;
};

} // namespace brisklet
