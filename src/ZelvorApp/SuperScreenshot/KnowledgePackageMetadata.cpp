#include "ZelvorApp/SuperScreenshot/KnowledgePackageMetadata.h"

#include "ZelvorApp/SuperScreenshot/BrowserCaptureMetadataCoding.h"
#include "ZelvorCore/Foundation/JsonCoding.h"

#include <algorithm>
#include <vector>

namespace brisklet {

namespace {

// Our documents keep insertion order; tools that diff or hash packages want one canonical order.
Json sortedKeys(const Json& value) {
    if (value.is_array()) {
        Json array = Json::array();
        for (const auto& element : value) {
            array.push_back(sortedKeys(element));
        }
        return array;
    }
    if (!value.is_object()) {
        return value;
    }
    std::vector<std::string> keys;
    keys.reserve(value.size());
    for (const auto& [key, element] : value.items()) {
        keys.push_back(key);
    }
    std::sort(keys.begin(), keys.end());
    Json object = Json::object();
    for (const auto& key : keys) {
        object[key] = sortedKeys(value.at(key));
    }
    return object;
}

template <class T> void nested(const Json& object, const char* key, T& out) {
    const auto it = object.find(key);
    if (it == object.end() || it->is_null()) {
        json::fail(std::string("missing key \"") + key + "\"");
    }
    try {
        read(*it, out);
    } catch (const json::DecodeError& error) {
        json::fail(std::string(key) + ": " + error.what());
    }
}

} // namespace

void read(const Json& j, KnowledgePackageFiles& out) {
    json::requireObject(j);
    json::field(j, "screenshot", out.screenshot);
    json::field(j, "contextMarkdown", out.contextMarkdown);
    json::field(j, "metadata", out.metadata);
}

Json write(const KnowledgePackageFiles& value) {
    Json j = Json::object();
    json::put(j, "screenshot", value.screenshot);
    json::put(j, "contextMarkdown", value.contextMarkdown);
    json::put(j, "metadata", value.metadata);
    return j;
}

void read(const Json& j, KnowledgePackageTextMetadata& out) {
    json::requireObject(j);
    json::field(j, "ocrLength", out.ocrLength);
    json::field(j, "accessibilityTextLength", out.accessibilityTextLength);
    json::field(j, "accessibilityNodeCount", out.accessibilityNodeCount);
    json::field(j, "accessibilityTextWasTruncated", out.accessibilityTextWasTruncated);
}

Json write(const KnowledgePackageTextMetadata& value) {
    Json j = Json::object();
    json::put(j, "ocrLength", value.ocrLength);
    json::put(j, "accessibilityTextLength", value.accessibilityTextLength);
    json::put(j, "accessibilityNodeCount", value.accessibilityNodeCount);
    json::put(j, "accessibilityTextWasTruncated", value.accessibilityTextWasTruncated);
    return j;
}

void read(const Json& j, KnowledgePackageMetadata& out) {
    json::requireObject(j);
    out = {};
    json::field(j, "schemaVersion", out.schemaVersion);
    std::string createdAt;
    json::field(j, "createdAt", createdAt);
    const auto date = parseIso8601(createdAt);
    if (!date) {
        json::fail("createdAt: not an ISO 8601 date");
    }
    out.createdAt = *date;
    nested(j, "capture", out.capture);
    nested(j, "source", out.source);
    if (const auto browser = j.find("browser"); browser != j.end() && !browser->is_null()) {
        BrowserCaptureMetadata metadata;
        nested(j, "browser", metadata);
        out.browser = metadata;
    }
    nested(j, "files", out.files);
    nested(j, "text", out.text);
}

Json write(const KnowledgePackageMetadata& value) {
    Json j = Json::object();
    json::put(j, "schemaVersion", value.schemaVersion);
    j["createdAt"] = iso8601(value.createdAt);
    j["capture"] = write(value.capture);
    j["source"] = write(value.source);
    if (value.browser) {
        j["browser"] = write(*value.browser);
    }
    j["files"] = write(value.files);
    j["text"] = write(value.text);
    return j;
}

std::string encodeKnowledgePackageMetadata(const KnowledgePackageMetadata& metadata) {
    return sortedKeys(write(metadata)).dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
}

Result<KnowledgePackageMetadata, std::string> decodeKnowledgePackageMetadata(std::string_view document) {
    using R = Result<KnowledgePackageMetadata, std::string>;
    try {
        KnowledgePackageMetadata metadata;
        read(json::parse(document), metadata);
        return R::success(std::move(metadata));
    } catch (const json::DecodeError& error) {
        return R::failure(error.what());
    }
}

} // namespace brisklet
