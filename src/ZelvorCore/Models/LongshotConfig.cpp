#include "ZelvorCore/Models/LongshotConfig.h"

#include "ZelvorCore/Foundation/JsonCoding.h"

namespace brisklet {

double sampleInterval(LongshotSpeed speed) {
    switch (speed) {
    case LongshotSpeed::slow:
        return 0.7;
    case LongshotSpeed::normal:
        return 0.55;
    case LongshotSpeed::fast:
        return 0.45;
    }
    return 0.55;
}

void read(const Json& j, LongshotConfig& out) {
    json::requireObject(j);
    json::field(j, "speed", out.speed);
    json::field(j, "maxFrames", out.maxFrames);
    json::field(j, "timeoutSec", out.timeoutSec);
    json::field(j, "minProgressPixels", out.minProgressPixels);
    json::field(j, "stableBottomFrames", out.stableBottomFrames);
}

Json write(const LongshotConfig& value) {
    Json j = Json::object();
    json::put(j, "speed", value.speed);
    json::put(j, "maxFrames", value.maxFrames);
    json::put(j, "timeoutSec", value.timeoutSec);
    json::put(j, "minProgressPixels", value.minProgressPixels);
    json::put(j, "stableBottomFrames", value.stableBottomFrames);
    return j;
}

void read(const Json& j, LongshotCropOptions& out) {
    json::requireObject(j);
    json::field(j, "ignoreTopFixedBar", out.ignoreTopFixedBar);
    json::field(j, "ignoreBottomFixedBar", out.ignoreBottomFixedBar);
}

Json write(const LongshotCropOptions& value) {
    Json j = Json::object();
    json::put(j, "ignoreTopFixedBar", value.ignoreTopFixedBar);
    json::put(j, "ignoreBottomFixedBar", value.ignoreBottomFixedBar);
    return j;
}

} // namespace brisklet
