#include "ZelvorApp/SuperScreenshot/SuperScreenshotSource.h"

#include "ZelvorCore/Foundation/JsonCoding.h"

#include <limits>

namespace brisklet {

void read(const Json& j, SuperScreenshotSource& out) {
    json::requireObject(j);
    out = {};
    json::field(j, "appName", out.appName);
    json::optionalField(j, "bundleIdentifier", out.bundleIdentifier);
    std::int64_t pid = 0;
    json::field(j, "processIdentifier", pid);
    if (pid < std::numeric_limits<std::int32_t>::min() || pid > std::numeric_limits<std::int32_t>::max()) {
        json::fail("processIdentifier: not a process identifier");
    }
    out.processIdentifier = static_cast<std::int32_t>(pid);
    json::optionalField(j, "windowID", out.windowID);
    json::optionalField(j, "windowTitle", out.windowTitle);
    json::optionalField(j, "sourceURL", out.sourceURL);
}

Json write(const SuperScreenshotSource& value) {
    Json j = Json::object();
    json::put(j, "appName", value.appName);
    json::put(j, "bundleIdentifier", value.bundleIdentifier);
    json::put(j, "processIdentifier", static_cast<int>(value.processIdentifier));
    json::put(j, "windowID", value.windowID);
    json::put(j, "windowTitle", value.windowTitle);
    json::put(j, "sourceURL", value.sourceURL);
    return j;
}

SuperScreenshotSource superScreenshotSource(const std::optional<CapturedWindowInfo>& window,
                                            const std::optional<RunningApplication>& application,
                                            std::string_view unknownAppName) {
    SuperScreenshotSource source;
    if (application) {
        source.bundleIdentifier = application->bundleIdentifier;
        source.processIdentifier = application->processIdentifier;
    }
    if (window) {
        source.appName = window->ownerName;
        source.windowID = window->id;
        source.windowTitle = window->title;
        // The window's own owner is the better witness: the front application may be another one.
        if (window->ownerPID) {
            source.processIdentifier = *window->ownerPID;
        }
        return source;
    }
    source.appName =
        application && !application->localizedName.empty() ? application->localizedName : std::string(unknownAppName);
    return source;
}

} // namespace brisklet
