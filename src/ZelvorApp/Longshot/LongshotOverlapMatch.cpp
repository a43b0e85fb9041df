#include "ZelvorApp/Longshot/LongshotOverlapMatch.h"

#include "ZelvorCore/Foundation/JsonCoding.h"

namespace brisklet {

void read(const Json& j, LongshotOverlapMatch& out) {
    json::requireObject(j);
    json::field(j, "overlapPixels", out.overlapPixels);
    json::field(j, "seamOffset", out.seamOffset);
    json::field(j, "score", out.score);
    json::field(j, "headerExclusionHeight", out.headerExclusionHeight);
    json::field(j, "footerExclusionHeight", out.footerExclusionHeight);
    json::field(j, "leftExclusionWidth", out.leftExclusionWidth);
    json::field(j, "rightExclusionWidth", out.rightExclusionWidth);
    json::field(j, "isReliable", out.isReliable);
}

Json write(const LongshotOverlapMatch& value) {
    Json j = Json::object();
    json::put(j, "overlapPixels", value.overlapPixels);
    json::put(j, "seamOffset", value.seamOffset);
    json::put(j, "score", value.score);
    json::put(j, "headerExclusionHeight", value.headerExclusionHeight);
    json::put(j, "footerExclusionHeight", value.footerExclusionHeight);
    json::put(j, "leftExclusionWidth", value.leftExclusionWidth);
    json::put(j, "rightExclusionWidth", value.rightExclusionWidth);
    json::put(j, "isReliable", value.isReliable);
    return j;
}

} // namespace brisklet
