#pragma once

#include "Platform/Workspace.h"
#include "ZelvorApp/Capture/CapturedWindowInfo.h"
#include "ZelvorCore/Foundation/Json.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace brisklet {

/// The application and window a super screenshot came from.
struct SuperScreenshotSource {
    std::string appName;
    std::optional<std::string> bundleIdentifier;
    /// 0 when no process is known.
    std::int32_t processIdentifier = 0;
    std::optional<std::int64_t> windowID;
    std::optional<std::string> windowTitle;
    /// Absolute URL text of the page the capture shows, when something other than the browser
    /// itself told it.
    std::optional<std::string> sourceURL;

    bool operator==(const SuperScreenshotSource&) const = default;
};

/// The keys are the field names; absent values are left out.
void read(const Json& j, SuperScreenshotSource& out);
Json write(const SuperScreenshotSource& value);

/// The source of a capture of `window` (when the user took a window) or of a region in front of
/// `application`. The window's owner names the source; the application fills in the identifier
/// and, when the window does not tell, the process. `unknownAppName` (localised) stands in when
/// a region capture has no named application.
SuperScreenshotSource superScreenshotSource(const std::optional<CapturedWindowInfo>& window,
                                            const std::optional<RunningApplication>& application,
                                            std::string_view unknownAppName);

} // namespace brisklet
