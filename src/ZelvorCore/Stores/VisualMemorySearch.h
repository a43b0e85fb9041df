#pragma once

#include "ZelvorCore/Models/VisualMemoryItem.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace brisklet {

/// The library's search: a plain substring test over everything an item says about itself, and
/// an optional collection (a tag, a source application, or "Favorites", "Pinned", "Untagged").
struct VisualMemorySearch {
    /// The matching items in their given order. An empty query or collection does not filter.
    static std::vector<VisualMemoryItem> filter(const std::vector<VisualMemoryItem>& items, std::string_view query,
                                                const std::optional<std::string>& collection = std::nullopt);

    /// Whether `item` belongs to `collection` (already trimmed, non-empty).
    static bool isInCollection(const VisualMemoryItem& item, std::string_view collection);
    /// The lower-cased text a query is looked for in.
    static std::string searchText(const VisualMemoryItem& item);
};

} // namespace brisklet
