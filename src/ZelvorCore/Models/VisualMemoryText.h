#pragma once

#include "ZelvorCore/Foundation/Utf8.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

/// Unicode-aware text helpers for the library: summaries, tags and search compare what people
/// read, so trimming, case folding and "characters" must not stop at ASCII.
namespace brisklet::memorytext {

using utf8::appendUtf8;
using utf8::decodeUtf8;
using utf8::encodeUtf8;
using utf8::nextScalar;

/// Spaces of every kind, tabs, line and paragraph separators, and the newline characters.
bool isWhitespaceOrNewline(char32_t scalar);
/// Hiragana, katakana and CJK ideographs (U+3040...U+30FF, U+3400...U+9FFF, U+F900...U+FAFF).
bool isCJK(char32_t scalar);
bool containsCJK(std::string_view text);

/// Removes whitespace and newlines at both ends.
std::string trimmed(std::string_view text);
/// The pieces between runs of whitespace and newlines; empty pieces are dropped.
std::vector<std::string> splitOnWhitespace(std::string_view text);
/// The pieces joined with one space: inner runs of whitespace collapse, the ends are trimmed.
std::string normalizedText(std::string_view text);

/// Simple lower-case mapping (Latin, Greek, Cyrillic, Armenian, full-width Latin).
char32_t lowercasedScalar(char32_t scalar);
std::string lowercased(std::string_view text);
/// Lower-cases `text` into `out` (cleared first); lets hot loops reuse one buffer.
void lowercaseInto(std::string_view text, std::string& out);
bool equalsIgnoringCase(std::string_view a, std::string_view b);
/// Ordering of the lower-cased forms, for lists sorted without regard to letter case.
bool lessIgnoringCase(std::string_view a, std::string_view b);

/// User-perceived characters: a scalar together with the combining marks, variation selectors,
/// skin-tone modifiers and zero-width-joined scalars that follow it.
std::size_t characterCount(std::string_view text);
/// The first `count` characters of `text`.
std::string prefixCharacters(std::string_view text, std::size_t count);

bool startsWith(std::string_view text, std::string_view prefix);
bool endsWith(std::string_view text, std::string_view suffix);
bool contains(std::string_view text, std::string_view part);
/// Every occurrence of `from` replaced by `to`.
std::string replacingAll(std::string_view text, std::string_view from, std::string_view to);

} // namespace brisklet::memorytext
