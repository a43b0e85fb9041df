#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace brisklet::utf8 {

/// Decodes the scalar at `pos` and advances `pos`. Malformed, overlong or surrogate sequences give
/// U+FFFD and consume one byte, so decoding always makes progress on any input.
char32_t nextScalar(std::string_view text, std::size_t& pos);
std::u32string decodeUtf8(std::string_view text);
void appendUtf8(std::string& out, char32_t scalar);
std::string encodeUtf8(std::u32string_view scalars);

} // namespace brisklet::utf8
