#include "ZelvorCore/Models/StoredColor.h"

#include "ZelvorCore/Foundation/JsonCoding.h"

namespace brisklet {

void read(const Json& j, StoredColor& out) {
    json::requireObject(j);
    json::field(j, "red", out.red);
    json::field(j, "green", out.green);
    json::field(j, "blue", out.blue);
    json::field(j, "alpha", out.alpha);
}

Json write(const StoredColor& value) {
    Json j = Json::object();
    json::put(j, "red", value.red);
    json::put(j, "green", value.green);
    json::put(j, "blue", value.blue);
    json::put(j, "alpha", value.alpha);
    return j;
}

} // namespace brisklet
