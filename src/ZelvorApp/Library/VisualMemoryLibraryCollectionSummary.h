#pragma once

#include "ZelvorCore/Models/VisualMemoryItem.h"

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace brisklet {

/// What the library's sidebar shows: the collection names and how many items each one holds.
struct VisualMemoryLibraryCollectionSummary {
    std::vector<std::string> collections;
    int untaggedCount = 0;
    int favoriteCount = 0;
    int pinnedCount = 0;
    /// Lower-cased collection name (tag, source application, "favorites", "pinned", "untagged")
    /// to its number of items; an item counts once per key.
    std::map<std::string, int> countsByKey;

    static VisualMemoryLibraryCollectionSummary build(const std::vector<VisualMemoryItem>& items);
    /// The count of a collection by its display name (0 when unknown).
    int count(std::string_view collection) const;

    bool operator==(const VisualMemoryLibraryCollectionSummary&) const = default;
};

} // namespace brisklet
