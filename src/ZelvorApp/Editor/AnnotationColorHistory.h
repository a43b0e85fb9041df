#pragma once

#include "ZelvorCore/Models/StoredColor.h"

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace brisklet {

/// The recently used custom annotation colours, newest first, kept as "#RRGGBB" codes.
namespace AnnotationColorHistory {

inline constexpr std::size_t capacity = 5;

/// "#" plus six upper-case hexadecimal digits, from text with optional white space around it and
/// one optional leading "#"; anything else is rejected.
std::optional<std::string> normalizedHex(std::string_view text);

/// The history after `adding` was picked: unreadable entries, the new colour and the fixed
/// colours are dropped from `current`; the new colour goes to the front unless it is one of the
/// fixed colours; at most five entries remain.
std::vector<std::string> updatedRecentHexes(std::span<const std::string> current, const StoredColor& adding,
                                            std::span<const StoredColor> fixedColors);

/// The stored codes as colours, without unreadable entries and fixed colours.
std::vector<StoredColor> recentColors(std::span<const std::string> hexes, std::span<const StoredColor> fixedColors);

} // namespace AnnotationColorHistory

} // namespace brisklet
