#pragma once

#include "ZelvorApp/Infrastructure/L10nKey.h"
#include "ZelvorApp/Infrastructure/TextFormat.h"
#include "ZelvorCore/Models/AppLanguage.h"

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace brisklet {

enum class ScreenshotEditorError;

/// The interface language in use: the user's choice resolved against the desktop's preferred
/// languages. Used on the main thread; observers hear about real changes only.
class LocalizationStore {
public:
    using PreferredLanguagesProvider = std::function<std::vector<std::string>()>;
    using Observer = std::function<void(const LocalizationStore&)>;

    /// The process-wide store.
    static LocalizationStore& shared();

    explicit LocalizationStore(PreferredLanguagesProvider provider = desktopPreferredLanguages);

    /// Resolves and publishes; observers are told when the preference or the result changed.
    void apply(AppLanguage preference);

    AppLanguage appLanguagePreference() const { return preference_; }
    /// Never `system`.
    AppLanguage resolvedAppLanguage() const { return resolved_; }

    std::string text(L10nKey key) const;
    /// The key's text used as a printf-style format.
    std::string format(L10nKey key, const std::vector<FormatArgument>& arguments) const;

    std::string appLanguageDisplayName(AppLanguage language) const;
    std::string translationLanguageDisplayName(TranslationTargetLanguage language) const;

    int addObserver(Observer observer);
    void removeObserver(int token);

    void setPreferredLanguagesProvider(PreferredLanguagesProvider provider);

    /// `system` resolved against `preferredTags` (first tag that names a supported language).
    static AppLanguage resolve(AppLanguage preference, const std::vector<std::string>& preferredTags);
    /// The desktop's languages from $LANGUAGE, $LC_ALL, $LC_MESSAGES and $LANG, as tags ("zh-TW").
    static std::vector<std::string> desktopPreferredLanguages();

private:
    PreferredLanguagesProvider provider_;
    AppLanguage preference_ = AppLanguage::system;
    AppLanguage resolved_ = AppLanguage::english;
    std::map<int, Observer> observers_;
    int nextToken_ = 1;
};

/// The user message for an error of one of the services, or nothing for an unknown error.
std::optional<std::string> localizedErrorMessage(ScreenshotEditorError error, const LocalizationStore& localization);

} // namespace brisklet
