#include "Platform/Linux/Cld2/Cld2LanguageIdentifier.h"

#include <compact_lang_det.h>

#include <climits>
#include <string>

namespace brisklet {

namespace {

// CLD2 names Chinese by writing system; we name it by script as BCP-47 does.
std::optional<std::string> bcp47Of(CLD2::Language language) {
    switch (language) {
    case CLD2::UNKNOWN_LANGUAGE:
    case CLD2::TG_UNKNOWN_LANGUAGE:
        return std::nullopt;
    case CLD2::CHINESE:
        return "zh-Hans";
    case CLD2::CHINESE_T:
        return "zh-Hant";
    default:
        break;
    }
    const char* code = CLD2::LanguageCode(language);
    if (!code || !*code) {
        return std::nullopt;
    }
    return std::string(code);
}

} // namespace

std::optional<std::string> Cld2LanguageIdentifier::dominantLanguage(std::string_view text) const {
    if (text.empty() || text.size() > static_cast<std::size_t>(INT_MAX)) {
        return std::nullopt;
    }
    bool isReliable = false;
    int validPrefixBytes = 0;
    // The checking entry point stops at invalid UTF-8 instead of reading it as text.
    const CLD2::Language language =
        CLD2::DetectLanguageCheckUTF8(text.data(), static_cast<int>(text.size()), true, &isReliable, &validPrefixBytes);
    return bcp47Of(language);
}

} // namespace brisklet
