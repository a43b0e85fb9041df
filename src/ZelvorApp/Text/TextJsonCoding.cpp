#include "ZelvorApp/Text/TextJsonCoding.h"

#include "ZelvorCore/Foundation/JsonCoding.h"

#include <string>

namespace brisklet::textjson {

Uuid readUuid(const Json& object, const char* key) {
    std::string text;
    json::field(object, key, text);
    const auto uuid = Uuid::parse(text);
    if (!uuid) {
        json::fail(std::string(key) + ": not a UUID");
    }
    return *uuid;
}

float readConfidence(const Json& object) {
    double confidence = 0;
    json::field(object, "confidence", confidence);
    if (!(confidence >= 0 && confidence <= 1)) {
        json::fail("confidence: outside 0...1");
    }
    return static_cast<float>(confidence);
}

} // namespace brisklet::textjson
