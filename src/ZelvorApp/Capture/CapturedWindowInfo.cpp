#include "ZelvorApp/Capture/CapturedWindowInfo.h"

#include "ZelvorCore/Foundation/JsonCoding.h"

#include <cctype>
#include <limits>

namespace brisklet {

void read(const Json& j, CapturedWindowInfo& out) {
    json::requireObject(j);
    json::field(j, "id", out.id);
    json::field(j, "title", out.title);
    json::field(j, "ownerName", out.ownerName);
    std::optional<std::int64_t> pid;
    json::optionalField(j, "ownerPID", pid);
    if (pid && (*pid < 0 || *pid > std::numeric_limits<std::int32_t>::max())) {
        json::fail("ownerPID: not a process identifier");
    }
    out.ownerPID = pid ? std::optional<std::int32_t>(static_cast<std::int32_t>(*pid)) : std::nullopt;
    const auto bounds = j.find("bounds");
    if (bounds == j.end()) {
        json::fail("missing key \"bounds\"");
    }
    json::requireObject(*bounds);
    json::field(*bounds, "x", out.bounds.origin.x);
    json::field(*bounds, "y", out.bounds.origin.y);
    json::field(*bounds, "width", out.bounds.size.width);
    json::field(*bounds, "height", out.bounds.size.height);
}

Json write(const CapturedWindowInfo& value) {
    Json j = Json::object();
    j["id"] = value.id;
    j["title"] = value.title;
    j["ownerName"] = value.ownerName;
    if (value.ownerPID) {
        j["ownerPID"] = *value.ownerPID;
    }
    j["bounds"] = Json{{"x", value.bounds.minX()},
                       {"y", value.bounds.minY()},
                       {"width", value.bounds.width()},
                       {"height", value.bounds.height()}};
    return j;
}

std::optional<RunningApplication> owningApplication(const CapturedWindowInfo& window) {
    if (window.ownerName.empty() && !window.ownerPID) {
        return std::nullopt;
    }
    RunningApplication application;
    application.localizedName = window.ownerName;
    if (!window.ownerName.empty()) {
        std::string identifier = window.ownerName;
        for (char& c : identifier) {
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
        application.bundleIdentifier = identifier;
    }
    application.processIdentifier = window.ownerPID.value_or(0);
    return application;
}

} // namespace brisklet
