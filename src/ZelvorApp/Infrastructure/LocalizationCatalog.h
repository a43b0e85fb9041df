#pragma once

#include "ZelvorApp/Infrastructure/L10nKey.h"
#include "ZelvorCore/Models/AppLanguage.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace brisklet {

/// Loads the string tables (once per language, cached under a lock, callable from any thread)
/// and answers lookups: the language's text, else English, else the key itself.
class LocalizationCatalog {
public:
    LocalizationCatalog() = delete;

    static std::string text(L10nKey key, AppLanguage language);

    /// "en" for system and English, else the language's raw value ("zh-Hans", "bo", ...).
    static std::string_view localizationIdentifier(AppLanguage language);

    /// Directories searched, in order, for "<id>.lproj/Localizable.strings". Defaults to the
    /// installed data directory next to the executable, then the source tree's resources.
    static std::vector<std::filesystem::path> resourceDirectories();
    /// Replaces the search directories and empties the cache.
    static void setResourceDirectories(std::vector<std::filesystem::path> directories);
};

} // namespace brisklet
