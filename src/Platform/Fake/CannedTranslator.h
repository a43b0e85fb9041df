#pragma once

#include "Platform/Translator.h"

#include <functional>
#include <map>
#include <mutex>
#include <utility>

namespace brisklet {

/// A translator with scripted languages, availabilities and answers; it records every call.
/// Texts with no scripted answer come back upper-cased with the target's code in front
/// ("[es] HELLO"), so tests can tell a translated line from an original one.
class CannedTranslator final : public Translator {
public:
    struct Call {
        std::string text;
        std::optional<std::string> source;
        std::string target;
        bool operator==(const Call&) const = default;
    };
    using Answer = Result<TranslationResponse, TranslatorError>;

    void setSupportedLanguages(std::vector<std::string> languages);
    void setStatus(const std::string& source, const std::string& target, TranslationAvailabilityStatus status);
    void setStatusForText(TranslationAvailabilityStatus status);
    /// The error for translating exactly `text` (with any source language).
    void failText(const std::string& text, TranslatorError error);
    /// The error for `text` translated with this source language only.
    void failText(const std::string& text, const std::optional<std::string>& source, TranslatorError error);
    void setCanInstallLanguageResources(bool value);
    void setMissingPackages(std::vector<std::string> packages);

    std::vector<std::string> supportedLanguages() override;
    TranslationAvailabilityStatus status(const std::string& source, const std::string& target) override;
    TranslationAvailabilityStatus statusForText(const std::string& text, const std::string& target) override;
    Answer translate(const std::string& text, const std::optional<std::string>& source,
                     const std::string& target) override;
    bool canInstallLanguageResources() const override;
    std::vector<std::string> missingResourcePackages(const std::optional<std::string>& source,
                                                     const std::string& target) override;

    std::vector<Call> calls() const;
    int supportedLanguagesQueries() const;

    static TranslatorError error(TranslatorErrorKind kind, std::string description = "scripted failure");

private:
    mutable std::mutex mutex_;
    std::vector<std::string> languages_{"en", "es", "fr", "de", "ja", "ko", "zh-Hans"};
    std::map<std::pair<std::string, std::string>, TranslationAvailabilityStatus> statuses_;
    TranslationAvailabilityStatus statusForText_ = TranslationAvailabilityStatus::installed;
    std::map<std::string, TranslatorError> textFailures_;
    std::map<std::pair<std::string, std::optional<std::string>>, TranslatorError> sourceFailures_;
    bool canInstall_ = true;
    std::vector<std::string> missingPackages_;
    std::vector<Call> calls_;
    int supportedQueries_ = 0;
};

} // namespace brisklet
