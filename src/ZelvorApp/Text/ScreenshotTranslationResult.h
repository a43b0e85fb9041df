#pragma once

#include <optional>
#include <string>

namespace brisklet {

/// A finished translation. Languages are BCP-47 identifiers.
struct ScreenshotTranslationResult {
    std::string sourceText;
    std::string translatedText;
    std::optional<std::string> sourceLanguage;
    std::string targetLanguage;

    bool operator==(const ScreenshotTranslationResult&) const = default;
};

} // namespace brisklet
