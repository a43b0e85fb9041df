#include "Platform/Fake/CannedTranslator.h"

#include <cctype>

namespace brisklet {

void CannedTranslator::setSupportedLanguages(std::vector<std::string> languages) {
    std::lock_guard lock(mutex_);
    languages_ = std::move(languages);
}

void CannedTranslator::setStatus(const std::string& source, const std::string& target,
                                 TranslationAvailabilityStatus status) {
    std::lock_guard lock(mutex_);
    statuses_[{source, target}] = status;
}

void CannedTranslator::setStatusForText(TranslationAvailabilityStatus status) {
    std::lock_guard lock(mutex_);
    statusForText_ = status;
}

void CannedTranslator::failText(const std::string& text, TranslatorError error) {
    std::lock_guard lock(mutex_);
    textFailures_[text] = std::move(error);
}

void CannedTranslator::failText(const std::string& text, const std::optional<std::string>& source,
                                TranslatorError error) {
    std::lock_guard lock(mutex_);
    sourceFailures_[{text, source}] = std::move(error);
}

void CannedTranslator::setCanInstallLanguageResources(bool value) {
    std::lock_guard lock(mutex_);
    canInstall_ = value;
}

void CannedTranslator::setMissingPackages(std::vector<std::string> packages) {
    std::lock_guard lock(mutex_);
    missingPackages_ = std::move(packages);
}

std::vector<std::string> CannedTranslator::supportedLanguages() {
    std::lock_guard lock(mutex_);
    ++supportedQueries_;
    return languages_;
}

TranslationAvailabilityStatus CannedTranslator::status(const std::string& source, const std::string& target) {
    std::lock_guard lock(mutex_);
    const auto it = statuses_.find({source, target});
    return it == statuses_.end() ? TranslationAvailabilityStatus::installed : it->second;
}

TranslationAvailabilityStatus CannedTranslator::statusForText(const std::string&, const std::string&) {
    std::lock_guard lock(mutex_);
    return statusForText_;
}

CannedTranslator::Answer CannedTranslator::translate(const std::string& text, const std::optional<std::string>& source,
                                                     const std::string& target) {
    std::lock_guard lock(mutex_);
    calls_.push_back({text, source, target});
    if (const auto it = sourceFailures_.find({text, source}); it != sourceFailures_.end()) {
        return Answer::failure(it->second);
    }
    if (const auto it = textFailures_.find(text); it != textFailures_.end()) {
        return Answer::failure(it->second);
    }
    std::string upper = text;
    for (char& c : upper) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return Answer::success(TranslationResponse{text, "[" + target + "] " + upper, source.value_or("en"), target});
}

bool CannedTranslator::canInstallLanguageResources() const {
    std::lock_guard lock(mutex_);
    return canInstall_;
}

std::vector<std::string> CannedTranslator::missingResourcePackages(const std::optional<std::string>&,
                                                                   const std::string&) {
    std::lock_guard lock(mutex_);
    return missingPackages_;
}

std::vector<CannedTranslator::Call> CannedTranslator::calls() const {
    std::lock_guard lock(mutex_);
    return calls_;
}

int CannedTranslator::supportedLanguagesQueries() const {
    std::lock_guard lock(mutex_);
    return supportedQueries_;
}

TranslatorError CannedTranslator::error(TranslatorErrorKind kind, std::string description) {
    return TranslatorError{kind, "CannedTranslator", static_cast<int>(kind), std::move(description), "scripted"};
}

} // namespace brisklet
