#include "ZelvorApp/Text/LanguageTag.h"
#include "ZelvorApp/Text/TranslationTargetLanguageResolver.h"

#include <gtest/gtest.h>

namespace brisklet {
namespace {

TEST(LanguageTagTest, MinimalIdentifiersDropTheUsualScriptAndRegion) {
    EXPECT_EQ(LanguageTag::minimalIdentifier("en-US"), "en");
    EXPECT_EQ(LanguageTag::minimalIdentifier("en_GB"), "en-GB");
    EXPECT_EQ(LanguageTag::minimalIdentifier("zh-Hans"), "zh");
    EXPECT_EQ(LanguageTag::minimalIdentifier("zh-Hans-CN"), "zh");
    EXPECT_EQ(LanguageTag::minimalIdentifier("zh-Hant"), "zh-Hant");
    EXPECT_EQ(LanguageTag::minimalIdentifier("zh-Hant-TW"), "zh-Hant");
    EXPECT_EQ(LanguageTag::minimalIdentifier("ES"), "es");
    EXPECT_EQ(LanguageTag::languageCode("zh-Hant"), "zh");
}

TEST(TranslationTargetLanguageResolverTest, AutoFollowsTheInterfaceLanguage) {
    using R = TranslationTargetLanguageResolver;
    EXPECT_EQ(R::resolvedPreference(TranslationTargetLanguage::automatic, AppLanguage::japanese),
              TranslationTargetLanguage::japanese);
    EXPECT_EQ(R::resolvedPreference(TranslationTargetLanguage::automatic, AppLanguage::tibetan),
              TranslationTargetLanguage::simplifiedChinese);
    EXPECT_EQ(R::resolvedPreference(TranslationTargetLanguage::automatic, AppLanguage::traditionalChinese),
              TranslationTargetLanguage::simplifiedChinese);
    EXPECT_EQ(R::resolvedPreference(TranslationTargetLanguage::automatic, AppLanguage::system),
              TranslationTargetLanguage::simplifiedChinese);
    EXPECT_EQ(R::resolvedPreference(TranslationTargetLanguage::automatic, AppLanguage::spanish),
              TranslationTargetLanguage::spanish);
    EXPECT_EQ(R::resolvedPreference(TranslationTargetLanguage::german, AppLanguage::japanese),
              TranslationTargetLanguage::german);
    EXPECT_EQ(R::localeIdentifier(TranslationTargetLanguage::automatic), "zh-Hans");
    EXPECT_EQ(R::localeIdentifier(TranslationTargetLanguage::korean), "ko");
}

} // namespace
} // namespace brisklet
