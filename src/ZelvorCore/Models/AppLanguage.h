#pragma once

#include "ZelvorCore/Foundation/EnumTable.h"

namespace brisklet {

/// The interface language the user chose; `system` follows the desktop's preferred languages.
enum class AppLanguage {
    system,
    simplifiedChinese,
    traditionalChinese,
    english,
    japanese,
    korean,
    french,
    german,
    spanish,
    tibetan
};

enum class VisualAppearanceMode { system, light, dark };

enum class TranslationTargetLanguage {
    automatic,
    simplifiedChinese,
    english,
    japanese,
    korean,
    french,
    german,
    spanish
};

template <> struct EnumTraits<AppLanguage> {
    static constexpr std::array<std::pair<AppLanguage, std::string_view>, 10> names{{
        {AppLanguage::system, "system"},
        {AppLanguage::simplifiedChinese, "zh-Hans"},
        {AppLanguage::traditionalChinese, "zh-Hant"},
        {AppLanguage::english, "en"},
        {AppLanguage::japanese, "ja"},
        {AppLanguage::korean, "ko"},
        {AppLanguage::french, "fr"},
        {AppLanguage::german, "de"},
        {AppLanguage::spanish, "es"},
        {AppLanguage::tibetan, "bo"},
    }};
};

template <> struct EnumTraits<VisualAppearanceMode> {
    static constexpr std::array<std::pair<VisualAppearanceMode, std::string_view>, 3> names{{
        {VisualAppearanceMode::system, "system"},
        {VisualAppearanceMode::light, "light"},
        {VisualAppearanceMode::dark, "dark"},
    }};
};

// `auto` is a C++ keyword, so the case is spelled `automatic`; its raw value stays "auto".
template <> struct EnumTraits<TranslationTargetLanguage> {
    static constexpr std::array<std::pair<TranslationTargetLanguage, std::string_view>, 8> names{{
        {TranslationTargetLanguage::automatic, "auto"},
        {TranslationTargetLanguage::simplifiedChinese, "zh-Hans"},
        {TranslationTargetLanguage::english, "en"},
        {TranslationTargetLanguage::japanese, "ja"},
        {TranslationTargetLanguage::korean, "ko"},
        {TranslationTargetLanguage::french, "fr"},
        {TranslationTargetLanguage::german, "de"},
        {TranslationTargetLanguage::spanish, "es"},
    }};
};

} // namespace brisklet
