#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace brisklet {

using StringsTable = std::map<std::string, std::string, std::less<>>;

/// Reads the old-style `"key" = "text";` table format (UTF-8, C and C++ comments, backslash
/// escapes including \Uxxxx). Returns nothing for a malformed table; `error` says where.
std::optional<StringsTable> parseStringsTable(std::string_view text, std::string* error = nullptr);

} // namespace brisklet
