#pragma once

#include "ZelvorCore/Models/VisualMemoryItem.h"

#include <vector>

namespace brisklet {

/// The two orders the library is shown in. Both sorts are stable.
struct VisualMemoryOrdering {
    /// Newest first; equal dates by id ascending.
    static std::vector<VisualMemoryItem> chronological(std::vector<VisualMemoryItem> items);
    /// Pinned items first, the most recently pinned leading (no pin date counts as the distant
    /// past); everything else chronologically.
    static std::vector<VisualMemoryItem> pinnedFirst(std::vector<VisualMemoryItem> items);

    static bool chronologicallyBefore(const VisualMemoryItem& a, const VisualMemoryItem& b);
    static bool pinnedFirstBefore(const VisualMemoryItem& a, const VisualMemoryItem& b);
};

} // namespace brisklet
