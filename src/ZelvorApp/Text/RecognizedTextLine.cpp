#include "ZelvorApp/Text/RecognizedTextLine.h"

#include "ZelvorApp/Text/TextJsonCoding.h"
#include "ZelvorCore/Foundation/JsonCoding.h"

namespace brisklet {

void read(const Json& j, RecognizedTextLine& out) {
    json::requireObject(j);
    out.id = textjson::readUuid(j, "id");
    json::field(j, "index", out.index);
    json::field(j, "text", out.text);
    json::field(j, "bounds", out.bounds);
    json::field(j, "words", out.words);
    out.confidence = textjson::readConfidence(j);
    out.recognizedLanguage.reset();
    json::optionalField(j, "recognizedLanguage", out.recognizedLanguage);
}

Json write(const RecognizedTextLine& value) {
    Json j = Json::object();
    j["id"] = value.id.toString();
    json::put(j, "index", value.index);
    json::put(j, "text", value.text);
    json::put(j, "bounds", value.bounds);
    json::put(j, "words", value.words);
    json::put(j, "confidence", static_cast<double>(value.confidence));
    json::put(j, "recognizedLanguage", value.recognizedLanguage);
    return j;
}

std::vector<RecognizedTextItem> allWords(const std::vector<RecognizedTextLine>& lines) {
    std::vector<RecognizedTextItem> words;
    for (const auto& line : lines) {
        words.insert(words.end(), line.words.begin(), line.words.end());
    }
    return words;
}

} // namespace brisklet
