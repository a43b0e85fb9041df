#pragma once

#include "Platform/Linux/Apertium/ApertiumPairCatalog.h"
#include "Platform/ProcessRunner.h"
#include "Platform/Translator.h"

#include <filesystem>
#include <functional>
#include <mutex>

namespace brisklet {

class LanguageIdentifier;

/// Translation through Apertium's command-line engine. A pair is "installed" when its mode is,
/// "supported" when a Debian package would add it, and a pair with no direct mode goes through
/// a pivot language (English → Spanish → French) when both legs exist.
class ApertiumTranslator final : public Translator {
public:
    using CommandRunner = std::function<ProcessOutcome(const std::vector<std::string>& arguments,
                                                       std::string_view input, double timeoutSeconds)>;

    struct Options {
        std::filesystem::path modesDirectory = "/usr/share/apertium/modes";
        /// The engine's front end, looked up on PATH.
        std::string apertiumCommand = "apertium";
        /// Where to look for the engine when deciding whether its package is installed.
        std::vector<std::filesystem::path> searchDirectories{"/usr/bin", "/usr/local/bin"};
        /// A package manager that can install missing pairs.
        std::filesystem::path packageManager = "/usr/bin/apt-get";
        double timeoutSecondsPerLeg = 30;
    };

    static constexpr const char* errorDomain = "ApertiumTranslator";

    ApertiumTranslator(const LanguageIdentifier& languages, Options options);
    ApertiumTranslator(const LanguageIdentifier& languages, Options options, CommandRunner runner);

    std::vector<std::string> supportedLanguages() override;
    TranslationAvailabilityStatus status(const std::string& source, const std::string& target) override;
    TranslationAvailabilityStatus statusForText(const std::string& text, const std::string& target) override;
    Result<TranslationResponse, TranslatorError>
    translate(const std::string& text, const std::optional<std::string>& source, const std::string& target) override;
    bool canInstallLanguageResources() const override;
    std::vector<std::string> missingResourcePackages(const std::optional<std::string>& source,
                                                     const std::string& target) override;

private:
    bool engineInstalled() const;
    std::optional<std::string> detectedCode(const std::string& text) const;
    TranslationAvailabilityStatus statusOfCodes(const std::string& from, const std::string& to) const;
    Result<std::string, TranslatorError> runLeg(const ApertiumDirection& leg, const std::string& text) const;

    const LanguageIdentifier& languages_;
    Options options_;
    CommandRunner runner_;
    ApertiumPairCatalog catalog_;
};

} // namespace brisklet
