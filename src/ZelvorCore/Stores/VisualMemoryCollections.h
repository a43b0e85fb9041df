#pragma once

#include "ZelvorCore/Models/VisualMemoryItem.h"

#include <string>
#include <vector>

namespace brisklet {

/// The sidebar's collection names: every visible tag and source application, once each.
struct VisualMemoryCollections {
    /// Sorted without regard to letter case. An application named like a tag replaces the
    /// tag's lower-case spelling with its own. The reserved collections are not included.
    static std::vector<std::string> values(const std::vector<VisualMemoryItem>& items);
};

} // namespace brisklet
