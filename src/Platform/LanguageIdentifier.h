#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace brisklet {

/// Tells which natural language a text is written in.
class LanguageIdentifier {
public:
    virtual ~LanguageIdentifier() = default;

    /// The dominant language of `text` (UTF-8) as a BCP-47 identifier ("en", "zh-Hans",
    /// "zh-Hant", "ja", …), or nothing when none can be told. Safe to call from any thread.
    virtual std::optional<std::string> dominantLanguage(std::string_view text) const = 0;
};

} // namespace brisklet
