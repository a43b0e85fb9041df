#include "ZelvorCore/Models/SelectionAssistantPreferences.h"

#include "ZelvorCore/Foundation/JsonCoding.h"

namespace brisklet {

void read(const Json& j, SelectionAssistantPreferences& out) {
    json::requireObject(j);
    json::field(j, "showsCrosshair", out.showsCrosshair);
    json::field(j, "showsMagnifier", out.showsMagnifier);
    json::field(j, "remembersLastSelection", out.remembersLastSelection);
    json::field(j, "smartSnapEnabled", out.smartSnapEnabled);
}

Json write(const SelectionAssistantPreferences& value) {
    Json j = Json::object();
    json::put(j, "showsCrosshair", value.showsCrosshair);
    json::put(j, "showsMagnifier", value.showsMagnifier);
    json::put(j, "remembersLastSelection", value.remembersLastSelection);
    json::put(j, "smartSnapEnabled", value.smartSnapEnabled);
    return j;
}

void read(const Json& j, RememberedSelectionArea& out) {
    json::requireObject(j);
    json::optionalField(j, "screenDisplayID", out.screenDisplayID);
    json::field(j, "globalRect", out.globalRect);
}

Json write(const RememberedSelectionArea& value) {
    Json j = Json::object();
    json::put(j, "screenDisplayID", value.screenDisplayID);
    json::put(j, "globalRect", value.globalRect);
    return j;
}

} // namespace brisklet
