#include "Platform/Linux/Apertium/ApertiumTranslator.h"

#include "Platform/Linux/System/PipeProcessRunner.h"

#include "Platform/LanguageIdentifier.h"

#include <algorithm>
#include <cctype>

namespace brisklet {

namespace {

enum ErrorCode {
    nothingToTranslateCode = 1,
    unidentifiedCode = 2,
    unsupportedPairCode = 3,
    notInstalledCode = 4,
    launchFailedCode = 5,
    timedOutCode = 6,
    engineFailedCode = 7,
};

TranslatorError makeError(TranslatorErrorKind kind, int code, std::string description, std::string reason = {}) {
    return TranslatorError{kind, ApertiumTranslator::errorDomain, code, std::move(description), std::move(reason)};
}

std::string codeOf(const std::string& tag) {
    std::string code = tag.substr(0, tag.find_first_of("-_"));
    std::transform(code.begin(), code.end(), code.begin(), [](unsigned char c) { return std::tolower(c); });
    return code;
}

std::string joined(const std::vector<std::string>& parts) {
    std::string text;
    for (const auto& part : parts) {
        text += (text.empty() ? "" : " ") + part;
    }
    return text;
}

// The engine ends its output with the input's line break; keep the caller's text shape.
std::string matchingTrailingNewline(std::string output, const std::string& input) {
    const bool inputEnds = !input.empty() && input.back() == '\n';
    while (!inputEnds && !output.empty() && output.back() == '\n') {
        output.pop_back();
    }
    return output;
}

} // namespace

ApertiumTranslator::ApertiumTranslator(const LanguageIdentifier& languages, Options options)
    : ApertiumTranslator(languages, std::move(options), [](const std::vector<std::string>& arguments, std::string_view input, double timeoutSeconds) {
                             return PipeProcessRunner().run(arguments, input, timeoutSeconds);
                         }) {}

ApertiumTranslator::ApertiumTranslator(const LanguageIdentifier& languages, Options options, CommandRunner runner)
    : languages_(languages), options_(std::move(options)), runner_(std::move(runner)),
      catalog_(options_.modesDirectory) {}

bool ApertiumTranslator::engineInstalled() const {
    std::error_code error;
    return std::any_of(options_.searchDirectories.begin(), options_.searchDirectories.end(),
                       [&](const std::filesystem::path& directory) {
                           return std::filesystem::exists(directory / options_.apertiumCommand, error);
                       });
}

std::optional<std::string> ApertiumTranslator::detectedCode(const std::string& text) const {
    const auto language = languages_.dominantLanguage(text);
    return language ? std::optional<std::string>(codeOf(*language)) : std::nullopt;
}

std::vector<std::string> ApertiumTranslator::supportedLanguages() {
    return catalog_.languages();
}

TranslationAvailabilityStatus ApertiumTranslator::statusOfCodes(const std::string& from, const std::string& to) const {
    if (from == to) {
        return engineInstalled() ? TranslationAvailabilityStatus::installed : TranslationAvailabilityStatus::supported;
    }
    const auto route = catalog_.route(from, to);
    if (!route) {
        return TranslationAvailabilityStatus::unsupported;
    }
    return route->isInstalled() && engineInstalled() ? TranslationAvailabilityStatus::installed
                                                     : TranslationAvailabilityStatus::supported;
}

TranslationAvailabilityStatus ApertiumTranslator::status(const std::string& source, const std::string& target) {
    return statusOfCodes(codeOf(source), codeOf(target));
}

TranslationAvailabilityStatus ApertiumTranslator::statusForText(const std::string& text, const std::string& target) {
    if (const auto source = detectedCode(text)) {
        return statusOfCodes(*source, codeOf(target));
    }
    // The language cannot be told: answer for the best pair into the target, and let the
    // translation itself report that it could not identify the language.
    auto best = TranslationAvailabilityStatus::unsupported;
    for (const auto& language : catalog_.languages()) {
        if (language == codeOf(target)) {
            continue;
        }
        const auto status = statusOfCodes(language, codeOf(target));
        if (status == TranslationAvailabilityStatus::installed) {
            return status;
        }
        if (status == TranslationAvailabilityStatus::supported) {
            best = status;
        }
    }
    return best;
}

Result<TranslationResponse, TranslatorError> ApertiumTranslator::translate(const std::string& text,
                                                                           const std::optional<std::string>& source,
                                                                           const std::string& target) {
    using Outcome = Result<TranslationResponse, TranslatorError>;
    if (std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isspace(c); })) {
        return Outcome::failure(makeError(TranslatorErrorKind::nothingToTranslate, nothingToTranslateCode,
                                          "There is nothing to translate."));
    }
    const auto from = source ? std::optional<std::string>(codeOf(*source)) : detectedCode(text);
    if (!from) {
        return Outcome::failure(makeError(TranslatorErrorKind::unableToIdentifyLanguage, unidentifiedCode,
                                          "The language of the text could not be identified."));
    }
    const std::string to = codeOf(target);
    if (*from == to) {
        return Outcome::success(TranslationResponse{text, text, *from, target});
    }
    const auto route = catalog_.route(*from, to);
    if (!route) {
        return Outcome::failure(makeError(TranslatorErrorKind::unsupportedLanguagePairing, unsupportedPairCode,
                                          "Apertium cannot translate " + *from + " into " + to + "."));
    }
    if (!route->isInstalled() || !engineInstalled()) {
        return Outcome::failure(makeError(TranslatorErrorKind::internalError, notInstalledCode,
                                          "The Apertium language data for " + *from + " → " + to + " is not installed.",
                                          "missing packages: " + joined(missingResourcePackages(from, target))));
    }
    std::string current = text;
    for (const auto& leg : route->legs) {
        auto translated = runLeg(leg, current);
        if (!translated) {
            return Outcome::failure(translated.error());
        }
        current = std::move(translated).value();
    }
    return Outcome::success(
        TranslationResponse{text, matchingTrailingNewline(std::move(current), text), *from, target});
}

Result<std::string, TranslatorError> ApertiumTranslator::runLeg(const ApertiumDirection& leg,
                                                                const std::string& text) const {
    using Outcome = Result<std::string, TranslatorError>;
    // -u drops the engine's "*" marks on unknown words, which would otherwise reach the user.
    const ProcessOutcome outcome =
        runner_({options_.apertiumCommand, "-u", "-f", "txt", *leg.mode}, text, options_.timeoutSecondsPerLeg);
    if (!outcome.launched) {
        return Outcome::failure(makeError(TranslatorErrorKind::internalError, launchFailedCode,
                                          "The Apertium engine could not be started.", outcome.standardError));
    }
    if (outcome.timedOut) {
        return Outcome::failure(makeError(TranslatorErrorKind::internalError, timedOutCode,
                                          "The Apertium engine did not answer in time.", "mode " + *leg.mode));
    }
    if (outcome.exitCode != 0) {
        return Outcome::failure(makeError(TranslatorErrorKind::internalError, engineFailedCode,
                                          "The Apertium engine failed.",
                                          "exit " + std::to_string(outcome.exitCode) + ": " + outcome.standardError));
    }
    return Outcome::success(outcome.standardOutput);
}

bool ApertiumTranslator::canInstallLanguageResources() const {
    std::error_code error;
    return std::filesystem::exists(options_.packageManager, error);
}

std::vector<std::string> ApertiumTranslator::missingResourcePackages(const std::optional<std::string>& source,
                                                                     const std::string& target) {
    std::vector<std::string> packages;
    if (!engineInstalled()) {
        packages.push_back("apertium");
    }
    const std::string to = codeOf(target);
    const auto add = [&](const std::vector<std::string>& more) {
        for (const auto& package : more) {
            if (std::find(packages.begin(), packages.end(), package) == packages.end()) {
                packages.push_back(package);
            }
        }
    };
    if (source) {
        if (const auto route = catalog_.route(codeOf(*source), to)) {
            add(route->missingPackages());
        }
        return packages;
    }
    for (const auto& direction : catalog_.directions()) {
        if (direction.to == to && !direction.isInstalled() && direction.package) {
            add({*direction.package});
        }
    }
    return packages;
}

} // namespace brisklet
