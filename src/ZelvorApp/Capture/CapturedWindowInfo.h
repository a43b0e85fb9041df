#pragma once

#include "Platform/Workspace.h"
#include "ZelvorCore/Foundation/Geometry.h"
#include "ZelvorCore/Foundation/Json.h"

#include <cstdint>
#include <optional>
#include <string>

namespace brisklet {

/// A window of another application that can be captured or snapped to.
struct CapturedWindowInfo {
    /// The window number.
    std::int64_t id = 0;
    /// The window's name, or the owner's name when it has none.
    std::string title;
    std::string ownerName;
    std::optional<std::int32_t> ownerPID;
    /// Points, origin at the top-left of the primary screen, y down.
    Rect bounds;

    bool operator==(const CapturedWindowInfo&) const = default;
};

/// {"id", "title", "ownerName", "ownerPID" (when known), "bounds": {"x", "y", "width", "height"}}.
void read(const Json& j, CapturedWindowInfo& out);

/// The application behind `window`, named the way the workspace names applications (the window
/// class, lower-cased, identifies it); nothing when the window tells neither owner nor process.
std::optional<RunningApplication> owningApplication(const CapturedWindowInfo& window);
Json write(const CapturedWindowInfo& value);

} // namespace brisklet
