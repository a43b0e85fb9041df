#include "ZelvorCore/Models/VisualMemorySource.h"

#include "ZelvorCore/Foundation/JsonCoding.h"

namespace brisklet {

void read(const Json& j, VisualMemorySource& out) {
    json::requireObject(j);
    out = {};
    json::optionalField(j, "appName", out.appName);
    json::optionalField(j, "windowTitle", out.windowTitle);
    json::optionalField(j, "url", out.url);
}

Json write(const VisualMemorySource& value) {
    Json j = Json::object();
    json::put(j, "appName", value.appName);
    json::put(j, "windowTitle", value.windowTitle);
    json::put(j, "url", value.url);
    return j;
}

} // namespace brisklet
