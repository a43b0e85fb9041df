#include "ZelvorApp/Panel/VisualMemoryQuickFilter.h"

#include "ZelvorCore/Stores/VisualMemoryOrdering.h"

namespace brisklet {

std::optional<std::string> MainMenuVisualMemoryFilterPolicy::collection(VisualMemoryQuickFilter filter) {
    switch (filter) {
    case VisualMemoryQuickFilter::favorite:
        return "Favorites";
    case VisualMemoryQuickFilter::pinned:
        return "Pinned";
    default:
        return std::nullopt;
    }
}

std::vector<VisualMemoryItem> MainMenuVisualMemoryFilterPolicy::apply(VisualMemoryQuickFilter filter,
                                                                      std::vector<VisualMemoryItem> items) {
    if (filter == VisualMemoryQuickFilter::images) {
        std::erase_if(items, [](const VisualMemoryItem& item) { return item.kind == ExportKind::clipboardText; });
    } else if (filter == VisualMemoryQuickFilter::text) {
        std::erase_if(items, [](const VisualMemoryItem& item) { return item.kind != ExportKind::clipboardText; });
    }
    return VisualMemoryOrdering::chronological(std::move(items));
}

} // namespace brisklet
