#include "ZelvorCore/Stores/RecentExportStore.h"

#include "Platform/DefaultsStore.h"
#include "ZelvorCore/Foundation/JsonCoding.h"

#include <algorithm>

namespace brisklet {

RecentExportStore::RecentExportStore(DefaultsStore& defaults, std::string key, int maxItems)
    : defaults_(defaults), key_(std::move(key)), maxItems_(std::max(maxItems, 0)) {}

std::vector<ExportedAsset> RecentExportStore::load() const {
    const auto bytes = defaults_.data(key_);
    if (!bytes) {
        return {};
    }
    try {
        std::vector<ExportedAsset> list;
        json::read(json::parse(*bytes), list);
        return list;
    } catch (const json::DecodeError&) {
        return {};
    }
}

std::vector<ExportedAsset> RecentExportStore::record(const ExportedAsset& asset) {
    auto list = load();
    std::erase_if(list, [&](const ExportedAsset& entry) { return entry.url == asset.url; });
    list.insert(list.begin(), asset);
    if (list.size() > static_cast<std::size_t>(maxItems_)) {
        list.resize(static_cast<std::size_t>(maxItems_));
    }
    persist(list);
    return list;
}

std::vector<ExportedAsset> RecentExportStore::remove(const std::filesystem::path& url) {
    auto list = load();
    std::erase_if(list, [&](const ExportedAsset& entry) { return entry.url == url; });
    persist(list);
    return list;
}

void RecentExportStore::persist(const std::vector<ExportedAsset>& list) {
    defaults_.setData(key_, json::write(list).dump());
}

} // namespace brisklet
