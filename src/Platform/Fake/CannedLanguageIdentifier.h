#pragma once

#include "Platform/LanguageIdentifier.h"

#include <map>
#include <mutex>

namespace brisklet {

/// Answers with languages assigned to whole texts, and a default for the rest.
class CannedLanguageIdentifier final : public LanguageIdentifier {
public:
    explicit CannedLanguageIdentifier(std::optional<std::string> fallback = std::nullopt)
        : fallback_(std::move(fallback)) {}

    void assign(const std::string& text, std::optional<std::string> language) {
        std::lock_guard lock(mutex_);
        languages_[text] = std::move(language);
    }

    std::optional<std::string> dominantLanguage(std::string_view text) const override {
        std::lock_guard lock(mutex_);
        const auto it = languages_.find(std::string(text));
        return it == languages_.end() ? fallback_ : it->second;
    }

private:
    mutable std::mutex mutex_;
    std::map<std::string, std::optional<std::string>> languages_;
    std::optional<std::string> fallback_;
};

} // namespace brisklet
