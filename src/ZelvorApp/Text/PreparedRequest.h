#pragma once

#include "Platform/Translator.h"

#include <optional>
#include <string>

namespace brisklet {

/// A translation request with its languages matched against what the engine offers.
struct PreparedRequest {
    std::string text;
    /// BCP-47; absent when none was given or it matched no supported language.
    std::optional<std::string> sourceLanguage;
    std::string targetLanguage;
    TranslationAvailabilityStatus availabilityStatus = TranslationAvailabilityStatus::unsupported;

    bool operator==(const PreparedRequest&) const = default;
};

/// The languages a translation session is opened for; a new one starts the session's work.
struct TranslationSessionConfiguration {
    std::optional<std::string> sourceLanguage;
    std::string targetLanguage;

    bool operator==(const TranslationSessionConfiguration&) const = default;
};

const char* toString(TranslationAvailabilityStatus status);

} // namespace brisklet
