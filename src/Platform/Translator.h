#pragma once

#include "ZelvorCore/Foundation/Result.h"

#include <optional>
#include <string>
#include <vector>

namespace brisklet {

/// Whether a language pair can be translated on this machine.
enum class TranslationAvailabilityStatus {
    installed,   ///< ready to translate now
    supported,   ///< possible once the pair's language data is installed
    unsupported, ///< no known way to translate this pair
};

/// The kinds of engine failure callers tell apart.
enum class TranslatorErrorKind {
    unsupportedSourceLanguage,
    unsupportedTargetLanguage,
    unsupportedLanguagePairing,
    unableToIdentifyLanguage,
    nothingToTranslate,
    internalError, ///< the engine or its language data failed (missing, crashed, timed out)
    cancelled,     ///< the request was withdrawn before it finished
    other,
};

/// An engine failure with enough detail for a log line.
struct TranslatorError {
    TranslatorErrorKind kind = TranslatorErrorKind::other;
    std::string domain;
    int code = 0;
    std::string description;
    std::string failureReason;
    bool operator==(const TranslatorError&) const = default;
};

struct TranslationResponse {
    std::string sourceText;
    std::string targetText;
    /// BCP-47; the language actually translated from (detected when none was given).
    std::optional<std::string> sourceLanguage;
    std::string targetLanguage;
    bool operator==(const TranslationResponse&) const = default;
};

/// On-device machine translation. Languages are BCP-47 identifiers ("en", "es", "zh-Hans").
class Translator {
public:
    virtual ~Translator() = default;

    /// Every language the engine can translate from or into, installed or installable.
    virtual std::vector<std::string> supportedLanguages() = 0;
    /// Availability of translating from `source` into `target`.
    virtual TranslationAvailabilityStatus status(const std::string& source, const std::string& target) = 0;
    /// Availability of translating `text`, whose language the engine detects, into `target`.
    virtual TranslationAvailabilityStatus statusForText(const std::string& text, const std::string& target) = 0;
    /// Translates synchronously; without `source` the engine detects the text's language.
    /// Called on a background queue; may take seconds.
    virtual Result<TranslationResponse, TranslatorError>
    translate(const std::string& text, const std::optional<std::string>& source, const std::string& target) = 0;
    /// Whether missing language data can be installed on this machine (a package manager or
    /// store exists); otherwise a supported pair can never become installed.
    virtual bool canInstallLanguageResources() const = 0;
    /// The packages that would make the pair installed (empty when nothing is missing or no
    /// package is known). Without `source`, every package translating into `target`.
    virtual std::vector<std::string> missingResourcePackages(const std::optional<std::string>& source,
                                                             const std::string& target) = 0;
};

} // namespace brisklet
