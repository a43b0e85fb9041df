#include "ZelvorApp/Text/RecognizedTextItem.h"

#include "ZelvorApp/Text/TextJsonCoding.h"
#include "ZelvorCore/Foundation/JsonCoding.h"

namespace brisklet {

void read(const Json& j, RecognizedTextItem& out) {
    json::requireObject(j);
    out.id = textjson::readUuid(j, "id");
    out.lineID = textjson::readUuid(j, "lineID");
    json::field(j, "lineIndex", out.lineIndex);
    json::field(j, "order", out.order);
    json::field(j, "text", out.text);
    json::field(j, "bounds", out.bounds);
    out.confidence = textjson::readConfidence(j);
    out.recognizedLanguage.reset();
    json::optionalField(j, "recognizedLanguage", out.recognizedLanguage);
}

Json write(const RecognizedTextItem& value) {
    Json j = Json::object();
    j["id"] = value.id.toString();
    j["lineID"] = value.lineID.toString();
    json::put(j, "lineIndex", value.lineIndex);
    json::put(j, "order", value.order);
    json::put(j, "text", value.text);
    json::put(j, "bounds", value.bounds);
    json::put(j, "confidence", static_cast<double>(value.confidence));
    json::put(j, "recognizedLanguage", value.recognizedLanguage);
    return j;
}

} // namespace brisklet
