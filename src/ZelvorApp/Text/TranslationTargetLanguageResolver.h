#pragma once

#include "ZelvorCore/Models/AppLanguage.h"

#include <string_view>

namespace brisklet {

/// What "auto" means for the translation target, and the locale identifier of every target.
class TranslationTargetLanguageResolver {
public:
    TranslationTargetLanguageResolver() = delete;

    /// A concrete preference is kept; `automatic` follows the interface language, with Simplified
    /// Chinese for the interface languages that have no translation target of their own.
    static TranslationTargetLanguage resolvedPreference(TranslationTargetLanguage preference, AppLanguage appLanguage);
    /// "zh-Hans", "en", "ja", …; `automatic` gives "zh-Hans".
    static std::string_view localeIdentifier(TranslationTargetLanguage language);
};

} // namespace brisklet
