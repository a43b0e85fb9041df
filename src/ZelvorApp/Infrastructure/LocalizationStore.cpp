#include "ZelvorApp/Infrastructure/LocalizationStore.h"

#include "ZelvorApp/Editor/ScreenshotEditorError.h"
#include "ZelvorApp/Infrastructure/LocalizationCatalog.h"

#include <algorithm>
#include <cstdlib>

namespace brisklet {

namespace {

std::string lowered(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

bool hasPrefix(const std::string& tag, std::string_view prefix) {
    return tag.rfind(prefix, 0) == 0;
}

std::optional<AppLanguage> languageForTag(const std::string& tag) {
    for (const char* traditional : {"zh-hant", "zh-tw", "zh-hk", "zh-mo"}) {
        if (hasPrefix(tag, traditional)) {
            return AppLanguage::traditionalChinese;
        }
    }
    static const std::pair<std::string_view, AppLanguage> prefixes[] = {
        {"zh", AppLanguage::simplifiedChinese},
        {"ja", AppLanguage::japanese},
        {"ko", AppLanguage::korean},
        {"fr", AppLanguage::french},
        {"de", AppLanguage::german},
        {"es", AppLanguage::spanish},
        {"bo", AppLanguage::tibetan},
    };
    for (const auto& [prefix, language] : prefixes) {
        if (hasPrefix(tag, prefix)) {
            return language;
        }
    }
    return std::nullopt;
}

// "zh_TW.UTF-8@variant" → "zh-TW"; "C" and "POSIX" say nothing about a language.
std::optional<std::string> tagFromLocaleName(std::string name) {
    name = name.substr(0, name.find_first_of(".@"));
    std::replace(name.begin(), name.end(), '_', '-');
    if (name.empty() || name == "C" || name == "POSIX") {
        return std::nullopt;
    }
    return name;
}

std::string nativeName(AppLanguage language) {
    switch (language) {
    case AppLanguage::simplifiedChinese:
        return "简体中文";
    case AppLanguage::traditionalChinese:
        return "繁體中文";
    case AppLanguage::english:
        return "English";
    case AppLanguage::japanese:
        return "日本語";
    case AppLanguage::korean:
        return "한국어";
    case AppLanguage::french:
        return "Français";
    case AppLanguage::german:
        return "Deutsch";
    case AppLanguage::spanish:
        return "Español";
    case AppLanguage::tibetan:
        return "བོད་ཡིག";
    case AppLanguage::system:
        break;
    }
    return {};
}

} // namespace

LocalizationStore& LocalizationStore::shared() {
    static LocalizationStore store;
    return store;
}

LocalizationStore::LocalizationStore(PreferredLanguagesProvider provider) : provider_(std::move(provider)) {
    resolved_ = resolve(AppLanguage::system, provider_ ? provider_() : std::vector<std::string>{});
}

AppLanguage LocalizationStore::resolve(AppLanguage preference, const std::vector<std::string>& preferredTags) {
    if (preference != AppLanguage::system) {
        return preference;
    }
    for (const auto& tag : preferredTags) {
        if (const auto language = languageForTag(lowered(tag))) {
            return *language;
        }
    }
    return AppLanguage::english;
}

std::vector<std::string> LocalizationStore::desktopPreferredLanguages() {
    std::vector<std::string> tags;
    if (const char* list = std::getenv("LANGUAGE"); list != nullptr && list[0] != '\0') {
        std::string_view rest = list;
        while (!rest.empty()) {
            const auto colon = rest.find(':');
            if (auto tag = tagFromLocaleName(std::string(rest.substr(0, colon)))) {
                tags.push_back(*tag);
            }
            rest = colon == std::string_view::npos ? std::string_view{} : rest.substr(colon + 1);
        }
    }
    for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        if (const char* value = std::getenv(variable); value != nullptr && value[0] != '\0') {
            if (auto tag = tagFromLocaleName(value)) {
                tags.push_back(*tag);
            }
            break; // the first one set is the one programs use
        }
    }
    return tags;
}

void LocalizationStore::apply(AppLanguage preference) {
    const AppLanguage resolved = resolve(preference, provider_ ? provider_() : std::vector<std::string>{});
    const bool changed = preference != preference_ || resolved != resolved_;
    preference_ = preference;
    resolved_ = resolved;
    if (changed) {
        const auto observers = observers_; // an observer may remove itself
        for (const auto& [token, observer] : observers) {
            observer(*this);
        }
    }
}

std::string LocalizationStore::text(L10nKey key) const {
    return LocalizationCatalog::text(key, resolved_);
}

std::string LocalizationStore::format(L10nKey key, const std::vector<FormatArgument>& arguments) const {
    return formatText(text(key), arguments);
}

std::string LocalizationStore::appLanguageDisplayName(AppLanguage language) const {
    if (language == AppLanguage::system) {
        return text(L10nKey::settingsLanguageFollowSystem);
    }
    return nativeName(language);
}

std::string LocalizationStore::translationLanguageDisplayName(TranslationTargetLanguage language) const {
    if (language == TranslationTargetLanguage::automatic) {
        return text(L10nKey::translationTargetAuto);
    }
    const auto asAppLanguage = enumFromString<AppLanguage>(toString(language));
    return asAppLanguage ? nativeName(*asAppLanguage) : std::string(toString(language));
}

int LocalizationStore::addObserver(Observer observer) {
    const int token = nextToken_++;
    observers_.emplace(token, std::move(observer));
    return token;
}

void LocalizationStore::removeObserver(int token) {
    observers_.erase(token);
}

void LocalizationStore::setPreferredLanguagesProvider(PreferredLanguagesProvider provider) {
    provider_ = std::move(provider);
}

std::optional<std::string> localizedErrorMessage(ScreenshotEditorError error, const LocalizationStore& localization) {
    switch (error) {
    case ScreenshotEditorError::renderFailed:
        return localization.text(L10nKey::errorEditorRenderFailed);
    case ScreenshotEditorError::encodeUnavailable:
        return localization.text(L10nKey::errorEditorEncodeUnavailable);
    case ScreenshotEditorError::encodeFailed:
        return localization.text(L10nKey::errorEditorEncodeFailed);
    }
    return std::nullopt;
}

} // namespace brisklet
