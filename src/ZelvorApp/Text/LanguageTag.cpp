#include "ZelvorApp/Text/LanguageTag.h"

#include <array>
#include <cctype>
#include <utility>
#include <vector>

namespace brisklet {

namespace {

struct LikelySubtags {
    std::string_view language;
    std::string_view script;
    std::string_view region;
};

// The usual script and region of the languages people translate most; any other language keeps
// its region, which is the safe side (it never merges two different variants).
constexpr std::array<LikelySubtags, 24> likelySubtags{{
    {"ar", "Arab", "EG"}, {"ca", "Latn", "ES"}, {"de", "Latn", "DE"}, {"en", "Latn", "US"}, {"eo", "Latn", "001"},
    {"es", "Latn", "ES"}, {"eu", "Latn", "ES"}, {"fr", "Latn", "FR"}, {"gl", "Latn", "ES"}, {"hi", "Deva", "IN"},
    {"id", "Latn", "ID"}, {"it", "Latn", "IT"}, {"ja", "Jpan", "JP"}, {"ko", "Kore", "KR"}, {"nl", "Latn", "NL"},
    {"pl", "Latn", "PL"}, {"pt", "Latn", "BR"}, {"ro", "Latn", "RO"}, {"ru", "Cyrl", "RU"}, {"sv", "Latn", "SE"},
    {"th", "Thai", "TH"}, {"tr", "Latn", "TR"}, {"uk", "Cyrl", "UA"}, {"zh", "Hans", "CN"},
}};

std::vector<std::string> subtags(std::string_view tag) {
    std::vector<std::string> parts;
    std::string current;
    for (const char c : tag) {
        if (c == '-' || c == '_') {
            parts.push_back(current);
            current.clear();
        } else {
            current.push_back(c);
        }
    }
    parts.push_back(current);
    return parts;
}

std::string lower(std::string text) {
    for (char& c : text) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return text;
}

std::string upper(std::string text) {
    for (char& c : text) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return text;
}

std::string titled(std::string text) {
    text = lower(std::move(text));
    if (!text.empty()) {
        text[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
    }
    return text;
}

const LikelySubtags* likelyFor(std::string_view language) {
    for (const auto& entry : likelySubtags) {
        if (entry.language == language) {
            return &entry;
        }
    }
    return nullptr;
}

} // namespace

std::string LanguageTag::languageCode(std::string_view tag) {
    return lower(subtags(tag).front());
}

std::string LanguageTag::minimalIdentifier(std::string_view tag) {
    const auto parts = subtags(tag);
    const std::string language = lower(parts.front());
    std::string script;
    std::string region;
    for (std::size_t i = 1; i < parts.size(); ++i) {
        const std::string& part = parts[i];
        if (part.size() == 4 && script.empty() && region.empty()) {
            script = titled(part);
        } else if ((part.size() == 2 || part.size() == 3) && region.empty()) {
            region = upper(part);
        }
    }
    const LikelySubtags* likely = likelyFor(language);
    // Traditional Chinese is usually written in Taiwan, so its region is implied by the script.
    const bool traditionalChinese = language == "zh" && script == "Hant";
    if (likely && script == likely->script) {
        script.clear();
    }
    if ((likely && region == likely->region && script.empty()) || (traditionalChinese && region == "TW")) {
        region.clear();
    }
    std::string minimal = language;
    if (!script.empty()) {
        minimal += "-" + script;
    }
    if (!region.empty()) {
        minimal += "-" + region;
    }
    return minimal;
}

} // namespace brisklet
