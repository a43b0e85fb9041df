#pragma once

#include "ZelvorCore/Foundation/EnumTable.h"
#include "ZelvorCore/Foundation/Geometry.h"
#include "ZelvorCore/Foundation/Json.h"

namespace brisklet {

/// Whether a super screenshot took a whole window or a region the user drew.
enum class SuperScreenshotCaptureMode { window, region };

template <> struct EnumTraits<SuperScreenshotCaptureMode> {
    static constexpr std::array<std::pair<SuperScreenshotCaptureMode, std::string_view>, 2> names{{
        {SuperScreenshotCaptureMode::window, "window"},
        {SuperScreenshotCaptureMode::region, "region"},
    }};
};

/// What was captured and where on the desktop (global points).
struct SuperScreenshotCapture {
    SuperScreenshotCaptureMode mode = SuperScreenshotCaptureMode::region;
    Rect rect;

    bool operator==(const SuperScreenshotCapture&) const = default;
};

/// {"mode": "window" | "region", "rect": [[x, y], [width, height]]}.
void read(const Json& j, SuperScreenshotCapture& out);
Json write(const SuperScreenshotCapture& value);

} // namespace brisklet
