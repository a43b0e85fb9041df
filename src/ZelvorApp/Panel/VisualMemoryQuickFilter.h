#pragma once

#include "ZelvorCore/Foundation/EnumTable.h"
#include "ZelvorCore/Models/VisualMemoryItem.h"

#include <optional>
#include <string>
#include <vector>

namespace brisklet {

/// The main panel's quick filters, in display order.
enum class VisualMemoryQuickFilter { recent, favorite, pinned, images, text };

template <> struct EnumTraits<VisualMemoryQuickFilter> {
    static constexpr std::array<std::pair<VisualMemoryQuickFilter, std::string_view>, 5> names{{
        {VisualMemoryQuickFilter::recent, "recent"},
        {VisualMemoryQuickFilter::favorite, "favorite"},
        {VisualMemoryQuickFilter::pinned, "pinned"},
        {VisualMemoryQuickFilter::images, "images"},
        {VisualMemoryQuickFilter::text, "text"},
    }};
};

struct MainMenuVisualMemoryFilterPolicy {
    /// The library collection a filter searches in ("Favorites", "Pinned"), if any.
    static std::optional<std::string> collection(VisualMemoryQuickFilter filter);
    /// Keeps the items of the filter's kind, newest first.
    static std::vector<VisualMemoryItem> apply(VisualMemoryQuickFilter filter, std::vector<VisualMemoryItem> items);
};

/// The capture actions on the panel's quick row.
enum class MainMenuActionGlyph { screenshot, gifRegion, longshot, gifWindow };

} // namespace brisklet
