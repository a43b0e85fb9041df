#include "ZelvorApp/Library/VisualMemoryLibraryCollectionSummary.h"

#include "ZelvorCore/Models/VisualMemoryText.h"
#include "ZelvorCore/Stores/VisualMemoryCollections.h"

#include <set>

namespace brisklet {

using memorytext::lowercased;
using memorytext::trimmed;

VisualMemoryLibraryCollectionSummary VisualMemoryLibraryCollectionSummary::build(
    const std::vector<VisualMemoryItem>& items) {
    VisualMemoryLibraryCollectionSummary summary;
    summary.collections = VisualMemoryCollections::values(items);
    for (const VisualMemoryItem& item : items) {
        const std::vector<std::string> tags = item.visibleTags();
        // A set, so an app named like one of the item's tags still counts the item once.
        std::set<std::string> keys;
        for (const std::string& tag : tags) {
            keys.insert(lowercased(tag));
        }
        if (item.sourceApp) {
            if (const std::string app = lowercased(trimmed(*item.sourceApp)); !app.empty()) {
                keys.insert(app);
            }
        }
        if (item.isFavorite) {
            keys.insert("favorites");
            ++summary.favoriteCount;
        }
        if (item.isPinned) {
            keys.insert("pinned");
            ++summary.pinnedCount;
        }
        if (tags.empty()) {
            keys.insert("untagged");
            ++summary.untaggedCount;
        }
        for (const std::string& key : keys) {
            ++summary.countsByKey[key];
        }
    }
    return summary;
}

int VisualMemoryLibraryCollectionSummary::count(std::string_view collection) const {
    const auto it = countsByKey.find(lowercased(trimmed(collection)));
    return it == countsByKey.end() ? 0 : it->second;
}

} // namespace brisklet
