#pragma once

#include "ZelvorCore/Models/VisualMemoryItem.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace brisklet {

/// The rules of the detail panel's tag editor.
struct VisualMemoryTagEditor {
    struct Tag {
        std::string name;
        /// Added by the user (removing it forgets it) rather than by the analysis (removing it hides it).
        bool isManual = false;
        bool operator==(const Tag&) const = default;
    };

    /// The item's visible tags, each marked manual or automatic.
    static std::vector<Tag> tags(const VisualMemoryItem& item);
    /// The tags a typed entry adds: split at commas, normalised, without empty entries, repeats
    /// or tags the item already shows.
    static std::vector<std::string> tagsToAdd(const VisualMemoryItem& item, std::string_view typed);
    /// Whether `tag` (as shown) is one of the user's own tags.
    static bool isManualTag(const VisualMemoryItem& item, std::string_view tag);
};

} // namespace brisklet
