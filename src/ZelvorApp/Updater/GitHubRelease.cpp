#include "ZelvorApp/Updater/GitHubRelease.h"

#include "ZelvorCore/Foundation/Json.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <array>
#include <cctype>

namespace brisklet {

namespace {

using Decoded = Result<GitHubRelease, std::string>;

std::string lowercased(std::string_view text) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lower;
}

std::optional<std::string> requiredText(const Json& object, const char* key, std::string& problem) {
    const auto found = object.find(key);
    if (found == object.end() || !found->is_string()) {
        problem = std::string("\"") + key + "\" is missing or not a text";
        return std::nullopt;
    }
    return found->get<std::string>();
}

bool readAsset(const Json& item, std::size_t index, GitHubReleaseAsset& asset, std::string& problem) {
    const std::string where = "asset " + std::to_string(index) + ": ";
    if (!item.is_object()) {
        problem = where + "not an object";
        return false;
    }
    auto name = requiredText(item, "name", problem);
    auto url = name ? requiredText(item, "browser_download_url", problem) : std::nullopt;
    if (!name || !url) {
        problem = where + problem;
        return false;
    }
    asset.name = std::move(*name);
    asset.browserDownloadURL = std::move(*url);
    const auto size = item.find("size");
    if (size != item.end() && !size->is_null()) {
        if (!size->is_number_integer() || size->get<std::int64_t>() < 0) {
            problem = where + "\"size\" is not a byte count";
            return false;
        }
        asset.size = size->get<std::int64_t>();
    }
    return true;
}

} // namespace

std::optional<GitHubReleaseAsset> GitHubRelease::preferredInstallerAsset(std::string_view suffix) const {
    if (!suffix.empty()) {
        for (const auto& asset : assets) {
            if (asset.name.ends_with(suffix)) {
                return asset;
            }
        }
    }
    // Debian packages first: they are what this system installs. The other kinds are still
    // chosen so the user learns that the release has no package for this system.
    constexpr std::array<std::string_view, 4> extensions{".deb", ".pkg", ".dmg", ".zip"};
    for (const std::string_view extension : extensions) {
        for (const auto& asset : assets) {
            if (lowercased(asset.name).ends_with(extension)) {
                return asset;
            }
        }
    }
    return std::nullopt;
}

Decoded GitHubRelease::decode(std::string_view json) {
    const Json document = Json::parse(json, nullptr, false);
    if (document.is_discarded()) {
        return Decoded::failure("not JSON");
    }
    if (!document.is_object()) {
        return Decoded::failure("not a JSON object");
    }
    std::string problem;
    GitHubRelease release;
    auto tag = requiredText(document, "tag_name", problem);
    if (!tag) {
        return Decoded::failure(problem);
    }
    if (tag->find_first_not_of(" \t\r\n") == std::string::npos) {
        return Decoded::failure("\"tag_name\" is empty");
    }
    release.tagName = std::move(*tag);
    const auto body = document.find("body");
    if (body != document.end() && !body->is_null()) {
        if (!body->is_string()) {
            return Decoded::failure("\"body\" is not a text");
        }
        release.body = body->get<std::string>();
    }
    const auto assets = document.find("assets");
    if (assets != document.end() && !assets->is_null()) {
        if (!assets->is_array()) {
            return Decoded::failure("\"assets\" is not an array");
        }
        for (std::size_t index = 0; index < assets->size(); ++index) {
            GitHubReleaseAsset asset;
            if (!readAsset((*assets)[index], index, asset, problem)) {
                return Decoded::failure(problem);
            }
            release.assets.push_back(std::move(asset));
        }
    }
    return Decoded::success(std::move(release));
}

} // namespace brisklet
