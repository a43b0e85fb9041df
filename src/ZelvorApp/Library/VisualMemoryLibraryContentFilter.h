#pragma once

#include "ZelvorCore/Foundation/EnumTable.h"
#include "ZelvorCore/Models/VisualMemoryItem.h"

#include <vector>

namespace brisklet {

/// The library window's content filter: everything, pictures and recordings, or copied text.
enum class VisualMemoryLibraryContentFilter { all, image, text };

template <> struct EnumTraits<VisualMemoryLibraryContentFilter> {
    static constexpr std::array<std::pair<VisualMemoryLibraryContentFilter, std::string_view>, 3> names{{
        {VisualMemoryLibraryContentFilter::all, "all"},
        {VisualMemoryLibraryContentFilter::image, "image"},
        {VisualMemoryLibraryContentFilter::text, "text"},
    }};
};

/// Whether `item` passes `filter`: text keeps copied texts, image keeps everything else.
bool passesContentFilter(const VisualMemoryItem& item, VisualMemoryLibraryContentFilter filter);

} // namespace brisklet
