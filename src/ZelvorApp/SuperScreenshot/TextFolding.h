#pragma once

#include <string>
#include <string_view>

namespace brisklet::textfolding {

/// `text` as people compare it when they do not care about letter case, accents or character
/// width: lower-cased; Latin letters with diacritics (precomposed or followed by combining
/// marks) as their base letters, "ß" as "ss"; full-width ASCII forms and the ideographic space
/// as ASCII; half-width katakana as full-width, their sound marks composed. Scripts this does
/// not know pass through lower-cased. Whitespace is kept as it is.
std::string foldedForComparison(std::string_view text);

} // namespace brisklet::textfolding
