#pragma once

#include "ZelvorCore/Models/VisualMemoryItem.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace brisklet {

struct VisualMemoryIndexDecodeResult {
    /// Every entry that decoded, in file order.
    std::vector<VisualMemoryItem> items;
    /// Set when the document or any entry could not be read: what went wrong first.
    std::optional<std::string> error;
};

/// The index document: a JSON array of items, pretty-printed, keys sorted, dates in ISO 8601.
std::string encodeVisualMemoryIndex(const std::vector<VisualMemoryItem>& items);
/// The same text built through the JSON library's document tree (the reference the fast writer
/// is checked against).
std::string encodeVisualMemoryIndexThroughDocument(const std::vector<VisualMemoryItem>& items);
/// Reads an index document. Entries that do not decode are skipped and reported through
/// `error`, so one bad entry does not hide the rest of the library.
VisualMemoryIndexDecodeResult decodeVisualMemoryIndex(std::string_view document);

} // namespace brisklet
