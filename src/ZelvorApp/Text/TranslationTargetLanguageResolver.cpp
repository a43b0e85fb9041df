#include "ZelvorApp/Text/TranslationTargetLanguageResolver.h"

namespace brisklet {

TranslationTargetLanguage TranslationTargetLanguageResolver::resolvedPreference(TranslationTargetLanguage preference,
                                                                                AppLanguage appLanguage) {
    if (preference != TranslationTargetLanguage::automatic) {
        return preference;
    }
    switch (appLanguage) {
    case AppLanguage::system:
    case AppLanguage::simplifiedChinese:
    case AppLanguage::traditionalChinese:
    case AppLanguage::tibetan:
        return TranslationTargetLanguage::simplifiedChinese;
    case AppLanguage::english:
        return TranslationTargetLanguage::english;
    case AppLanguage::japanese:
        return TranslationTargetLanguage::japanese;
    case AppLanguage::korean:
        return TranslationTargetLanguage::korean;
    case AppLanguage::french:
        return TranslationTargetLanguage::french;
    case AppLanguage::german:
        return TranslationTargetLanguage::german;
    case AppLanguage::spanish:
        return TranslationTargetLanguage::spanish;
    }
    return TranslationTargetLanguage::simplifiedChinese;
}

std::string_view TranslationTargetLanguageResolver::localeIdentifier(TranslationTargetLanguage language) {
    return language == TranslationTargetLanguage::automatic ? std::string_view("zh-Hans") : toString(language);
}

} // namespace brisklet
