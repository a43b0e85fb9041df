#include "ZelvorCore/Models/VisualMemoryAnalysis.h"

#include "ZelvorCore/Foundation/JsonCoding.h"

namespace brisklet {

void read(const Json& j, VisualMemoryAnalysis& out) {
    json::requireObject(j);
    out = {};
    json::field(j, "summary", out.summary);
    json::field(j, "tags", out.tags);
    json::field(j, "ocrText", out.ocrText);
    json::optionalField(j, "thumbnailPath", out.thumbnailPath);
}

Json write(const VisualMemoryAnalysis& value) {
    Json j = Json::object();
    json::put(j, "summary", value.summary);
    json::put(j, "tags", value.tags);
    json::put(j, "ocrText", value.ocrText);
    json::put(j, "thumbnailPath", value.thumbnailPath);
    return j;
}

} // namespace brisklet
