#include "ZelvorApp/SuperScreenshot/BrowserCaptureMetadataCoding.h"

#include "ZelvorCore/Foundation/JsonCoding.h"

namespace brisklet {

void read(const Json& j, BrowserCaptureMetadata& out) {
    json::requireObject(j);
    out = {};
    json::optionalField(j, "url", out.url);
    json::optionalField(j, "title", out.title);
    json::field(j, "status", out.status);
}

Json write(const BrowserCaptureMetadata& value) {
    Json j = Json::object();
    json::put(j, "url", value.url);
    json::put(j, "title", value.title);
    json::put(j, "status", value.status);
    return j;
}

} // namespace brisklet
