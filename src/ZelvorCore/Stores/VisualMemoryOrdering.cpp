#include "ZelvorCore/Stores/VisualMemoryOrdering.h"

#include <algorithm>
#include <limits>

namespace brisklet {

bool VisualMemoryOrdering::chronologicallyBefore(const VisualMemoryItem& a, const VisualMemoryItem& b) {
    if (a.createdAt != b.createdAt) {
        return a.createdAt > b.createdAt;
    }
    return a.id < b.id;
}

bool VisualMemoryOrdering::pinnedFirstBefore(const VisualMemoryItem& a, const VisualMemoryItem& b) {
    if (a.isPinned != b.isPinned) {
        return a.isPinned;
    }
    if (a.isPinned) {
        constexpr Date distantPast{-std::numeric_limits<double>::max()};
        const Date pinA = a.pinnedAt.value_or(distantPast);
        const Date pinB = b.pinnedAt.value_or(distantPast);
        if (pinA != pinB) {
            return pinA > pinB;
        }
    }
    return chronologicallyBefore(a, b);
}

std::vector<VisualMemoryItem> VisualMemoryOrdering::chronological(std::vector<VisualMemoryItem> items) {
    std::stable_sort(items.begin(), items.end(), chronologicallyBefore);
    return items;
}

std::vector<VisualMemoryItem> VisualMemoryOrdering::pinnedFirst(std::vector<VisualMemoryItem> items) {
    std::stable_sort(items.begin(), items.end(), pinnedFirstBefore);
    return items;
}

} // namespace brisklet
