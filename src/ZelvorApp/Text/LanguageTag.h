#pragma once

#include <string>
#include <string_view>

namespace brisklet {

/// Small BCP-47 helpers for matching languages the way the translation flow needs.
class LanguageTag {
public:
    LanguageTag() = delete;

    /// The lower-cased language subtag: "zh-Hans" → "zh", "en_US" → "en".
    static std::string languageCode(std::string_view tag);
    /// The shortest tag naming the same language: the script and region are dropped when they
    /// are the language's usual ones ("en-US" → "en", "zh-Hans-CN" → "zh", "zh-Hant" → "zh-Hant",
    /// "pt-PT" → "pt-PT").
    static std::string minimalIdentifier(std::string_view tag);
};

} // namespace brisklet
