#pragma once

#include "ZelvorCore/Foundation/Utf8.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace brisklet::unicode {

using utf8::appendUtf8;
using utf8::decodeUtf8;
using utf8::encodeUtf8;

/// Hiragana, katakana, CJK extension A, unified and compatibility ideographs. Hangul and
/// full-width punctuation deliberately do not count.
bool isCJK(char32_t scalar);
/// The Unicode White_Space property (spaces, tabs, line and paragraph separators, newlines).
bool isWhitespace(char32_t scalar);
/// Letters, marks and digits of any script.
bool isAlphanumeric(char32_t scalar);
char32_t toLower(char32_t scalar);

/// `text` without leading and trailing whitespace and newlines.
std::string_view trimmed(std::string_view text);
std::string toLower(std::string_view text);
/// Every run of whitespace replaced by one space, then trimmed.
std::string collapsedWhitespace(std::string_view text);
/// Every whitespace character removed.
std::string removingWhitespace(std::string_view text);

/// Byte ranges [begin, end) of the maximal runs of non-whitespace characters.
struct ByteRange {
    std::size_t begin = 0;
    std::size_t end = 0;
    bool operator==(const ByteRange&) const = default;
};
std::vector<ByteRange> nonWhitespaceRuns(std::string_view text);

/// User-perceived length: scalars, not counting combining marks, joiners and variation selectors.
std::size_t characterCount(std::string_view text);

/// First and last scalar of a non-empty text (U+0000 for an empty one).
char32_t firstScalar(std::string_view text);
char32_t lastScalar(std::string_view text);

} // namespace brisklet::unicode
