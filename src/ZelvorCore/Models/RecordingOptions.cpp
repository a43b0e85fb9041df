#include "ZelvorCore/Models/RecordingOptions.h"

#include "ZelvorCore/Foundation/JsonCoding.h"

namespace brisklet {

void read(const Json& j, RecordingOptions& out) {
    json::requireObject(j);
    json::field(j, "outputFormat", out.outputFormat);
    json::field(j, "quality", out.quality);
    json::field(j, "audioMode", out.audioMode);
    json::field(j, "showsCursor", out.showsCursor);
    json::field(j, "showsClickEffects", out.showsClickEffects);
}

Json write(const RecordingOptions& value) {
    Json j = Json::object();
    json::put(j, "outputFormat", value.outputFormat);
    json::put(j, "quality", value.quality);
    json::put(j, "audioMode", value.audioMode);
    json::put(j, "showsCursor", value.showsCursor);
    json::put(j, "showsClickEffects", value.showsClickEffects);
    return j;
}

} // namespace brisklet
