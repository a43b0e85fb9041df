#include "ZelvorCore/Models/ExportedAsset.h"

#include "ZelvorCore/Foundation/FileUrl.h"
#include "ZelvorCore/Foundation/JsonCoding.h"

namespace brisklet {

void read(const Json& j, ExportedAsset& out) {
    json::requireObject(j);
    std::string url;
    json::field(j, "url", url);
    const auto path = pathFromFileURL(url);
    if (!path) {
        json::fail("url: not a file URL");
    }
    out.url = *path;
    json::field(j, "kind", out.kind);
    const auto created = j.find("createdAt");
    if (created == j.end() || created->is_null()) {
        json::fail("missing key \"createdAt\"");
    }
    out.createdAt = json::readReferenceDate(*created);
    json::optionalField(j, "byteCount", out.byteCount);
}

Json write(const ExportedAsset& value) {
    Json j = Json::object();
    j["url"] = fileURLString(value.url);
    json::put(j, "kind", value.kind);
    j["createdAt"] = json::writeReferenceDate(value.createdAt);
    json::put(j, "byteCount", value.byteCount);
    return j;
}

} // namespace brisklet
