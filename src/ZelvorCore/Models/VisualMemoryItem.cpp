#include "ZelvorCore/Models/VisualMemoryItem.h"

#include "ZelvorCore/Foundation/FileUrl.h"
#include "ZelvorCore/Foundation/JsonCoding.h"
#include "ZelvorCore/Models/VisualMemoryText.h"

#include <algorithm>

namespace brisklet {

namespace {

namespace text = memorytext;

std::string trimmedOf(std::string_view value, char c) {
    std::size_t begin = 0;
    std::size_t end = value.size();
    while (begin < end && value[begin] == c) {
        ++begin;
    }
    while (end > begin && value[end - 1] == c) {
        --end;
    }
    return std::string(value.substr(begin, end - begin));
}

Date readIsoDate(const Json& j) {
    if (!j.is_string()) {
        json::fail("expected an ISO 8601 date string");
    }
    const auto date = parseIso8601(j.get_ref<const std::string&>());
    if (!date) {
        json::fail("not an ISO 8601 date: \"" + j.get<std::string>() + "\"");
    }
    return *date;
}

void requiredDate(const Json& object, const char* key, Date& out) {
    const auto it = object.find(key);
    if (it == object.end() || it->is_null()) {
        json::fail(std::string("missing key \"") + key + "\"");
    }
    try {
        out = readIsoDate(*it);
    } catch (const json::DecodeError& error) {
        json::fail(std::string(key) + ": " + error.what());
    }
}

void optionalDate(const Json& object, const char* key, std::optional<Date>& out) {
    const auto it = object.find(key);
    if (it == object.end() || it->is_null()) {
        return;
    }
    try {
        out = readIsoDate(*it);
    } catch (const json::DecodeError& error) {
        json::fail(std::string(key) + ": " + error.what());
    }
}

void putDate(Json& object, const char* key, const std::optional<Date>& value) {
    if (value) {
        object[key] = iso8601(*value);
    }
}

} // namespace

VisualMemoryItem VisualMemoryItem::forFile(const std::filesystem::path& url, ExportKind kind, Date createdAt) {
    VisualMemoryItem item;
    item.url = std::filesystem::absolute(url).lexically_normal();
    item.id = item.url.string();
    item.kind = kind;
    item.createdAt = createdAt;
    return item;
}

std::vector<std::string> VisualMemoryItem::visibleAutoTags() const {
    if (removedAutoTags.empty()) {
        return tags;
    }
    std::vector<std::string> removed;
    removed.reserve(removedAutoTags.size());
    for (const auto& tag : removedAutoTags) {
        removed.push_back(text::lowercased(tag));
    }
    std::vector<std::string> visible;
    for (const auto& tag : tags) {
        if (std::find(removed.begin(), removed.end(), text::lowercased(tag)) == removed.end()) {
            visible.push_back(tag);
        }
    }
    return visible;
}

std::vector<std::string> VisualMemoryItem::visibleTags() const {
    std::vector<std::string> all = visibleAutoTags();
    all.insert(all.end(), manualTags.begin(), manualTags.end());
    return normalizedUniqueTags(all);
}

namespace {

// Tags from the analysis are already in normal form; recognising that cheaply keeps searching
// and listing a large library from re-normalising every tag of every item.
bool isAlreadyNormalized(std::string_view tag) {
    if (tag.empty() || tag.front() == '#' || tag.back() == '#') {
        return false;
    }
    return std::all_of(tag.begin(), tag.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte > 0x20 && byte < 0x7F && !(byte >= 'A' && byte <= 'Z');
    });
}

} // namespace

std::string normalizedTag(std::string_view tag) {
    if (isAlreadyNormalized(tag)) {
        return std::string(tag);
    }
    const std::string withoutHashes = trimmedOf(text::trimmed(tag), '#');
    return text::lowercased(text::replacingAll(withoutHashes, " ", "-"));
}

std::vector<std::string> normalizedUniqueTags(const std::vector<std::string>& tags) {
    // Normal forms are lower-case already, so comparing them is comparing ignoring case.
    std::vector<std::string> kept;
    for (const auto& tag : tags) {
        std::string normalized = normalizedTag(tag);
        if (normalized.empty() || std::find(kept.begin(), kept.end(), normalized) != kept.end()) {
            continue;
        }
        kept.push_back(std::move(normalized));
    }
    return kept;
}

void read(const Json& j, VisualMemoryItem& out) {
    json::requireObject(j);
    VisualMemoryItem item;
    json::field(j, "id", item.id);
    std::string url;
    json::field(j, "url", url);
    const auto path = pathFromFileURL(url);
    if (!path) {
        json::fail("url: not a file URL");
    }
    item.url = *path;
    json::field(j, "kind", item.kind);
    requiredDate(j, "createdAt", item.createdAt);
    json::optionalField(j, "sourceApp", item.sourceApp);
    json::optionalField(j, "sourceWindow", item.sourceWindow);
    json::optionalField(j, "sourceURL", item.sourceURL);
    json::field(j, "summary", item.summary);
    json::optionalField(j, "tags", item.tags);
    json::optionalField(j, "manualTags", item.manualTags);
    json::optionalField(j, "removedAutoTags", item.removedAutoTags);
    json::optionalField(j, "ocrText", item.ocrText);
    json::optionalField(j, "isFavorite", item.isFavorite);
    json::optionalField(j, "isPinned", item.isPinned);
    optionalDate(j, "pinnedAt", item.pinnedAt);
    json::optionalField(j, "byteCount", item.byteCount);
    json::optionalField(j, "thumbnailPath", item.thumbnailPath);
    optionalDate(j, "expiresAt", item.expiresAt);
    json::optionalField(j, "clipboardContentKind", item.clipboardContentKind);
    json::optionalField(j, "packagePath", item.packagePath);
    json::optionalField(j, "contextText", item.contextText);
    json::optionalField(j, "contextKind", item.contextKind);
    json::optionalField(j, "browserDeepCaptureStatus", item.browserDeepCaptureStatus);
    out = std::move(item);
}

Json write(const VisualMemoryItem& value) {
    Json j = Json::object();
    json::put(j, "browserDeepCaptureStatus", value.browserDeepCaptureStatus);
    json::put(j, "byteCount", value.byteCount);
    json::put(j, "clipboardContentKind", value.clipboardContentKind);
    json::put(j, "contextKind", value.contextKind);
    json::put(j, "contextText", value.contextText);
    j["createdAt"] = iso8601(value.createdAt);
    putDate(j, "expiresAt", value.expiresAt);
    json::put(j, "id", value.id);
    json::put(j, "isFavorite", value.isFavorite);
    json::put(j, "isPinned", value.isPinned);
    json::put(j, "kind", value.kind);
    json::put(j, "manualTags", value.manualTags);
    json::put(j, "ocrText", value.ocrText);
    json::put(j, "packagePath", value.packagePath);
    putDate(j, "pinnedAt", value.pinnedAt);
    json::put(j, "removedAutoTags", value.removedAutoTags);
    json::put(j, "sourceApp", value.sourceApp);
    json::put(j, "sourceURL", value.sourceURL);
    json::put(j, "sourceWindow", value.sourceWindow);
    json::put(j, "summary", value.summary);
    json::put(j, "tags", value.tags);
    json::put(j, "thumbnailPath", value.thumbnailPath);
    j["url"] = fileURLString(value.url);
    return j;
}

} // namespace brisklet
