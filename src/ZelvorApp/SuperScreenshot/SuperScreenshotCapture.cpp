#include "ZelvorApp/SuperScreenshot/SuperScreenshotCapture.h"

#include "ZelvorCore/Foundation/JsonCoding.h"

namespace brisklet {

void read(const Json& j, SuperScreenshotCapture& out) {
    json::requireObject(j);
    json::field(j, "mode", out.mode);
    json::field(j, "rect", out.rect);
}

Json write(const SuperScreenshotCapture& value) {
    Json j = Json::object();
    json::put(j, "mode", value.mode);
    json::put(j, "rect", value.rect);
    return j;
}

} // namespace brisklet
