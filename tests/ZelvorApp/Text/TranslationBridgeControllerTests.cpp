#include "TranslationFixture.h"

namespace brisklet {
namespace {

using TranslationResult = TranslationBridgeController::TranslationResult;

class TranslationBridgeControllerTest : public texttest::TranslationFixture {};

TEST_F(TranslationBridgeControllerTest, TranslatesAndLogsTheRequest) {
    const auto result = translate("Hello world", "en-US");
    ASSERT_TRUE(result && result->ok());
    EXPECT_EQ(result->value().translatedText, "[es] HELLO WORLD");
    EXPECT_EQ(result->value().sourceText, "Hello world");
    EXPECT_EQ(result->value().targetLanguage, "es");
    EXPECT_EQ(translator.calls().front(), (CannedTranslator::Call{"Hello world", "en", "es"}))
        << "the source is matched against the supported languages";
    EXPECT_TRUE(
        log.contains("translation request prepared sourceLanguage=en targetLanguage=es availability=installed"));
    EXPECT_TRUE(log.contains("translation success sourceLanguage=en targetLanguage=es"));
    EXPECT_FALSE(controller->hasPendingRequest());
    EXPECT_FALSE(controller->configuration());
}

TEST_F(TranslationBridgeControllerTest, WhitespaceFailsBeforeAnythingIsPrepared) {
    const auto result = translate(" \n\t ");
    ASSERT_TRUE(result && !result->ok());
    EXPECT_TRUE(result->error().is(ScreenshotTranslationError::emptyText));
    EXPECT_EQ(log.countStartingWith("translation request prepared"), 0u);
    EXPECT_TRUE(translator.calls().empty());
}

TEST_F(TranslationBridgeControllerTest, TargetFollowsThePreferenceAndFallsBackToChinese) {
    interfaceLanguage = AppLanguage::japanese;
    EXPECT_EQ(controller->resolveTargetLanguage({"en", "ja"}, TranslationTargetLanguage::automatic), "ja");
    EXPECT_EQ(controller->resolveTargetLanguage({"en", "ja-JP"}, TranslationTargetLanguage::japanese), "ja-JP")
        << "same language code";
    EXPECT_EQ(controller->resolveTargetLanguage({"en"}, TranslationTargetLanguage::german), "zh-Hans");
    EXPECT_EQ(TranslationBridgeController::resolveLanguage("zh-Hans-CN", {"zh-Hant", "zh-Hans"}), "zh-Hans")
        << "the minimal identifier wins over the language code";
    EXPECT_FALSE(TranslationBridgeController::resolveLanguage("xx", {"en"}));
}

TEST_F(TranslationBridgeControllerTest, UnknownSourceUsesTheTextsAvailabilityAndSupportedListIsAskedOnce) {
    translator.setStatusForText(TranslationAvailabilityStatus::supported);
    translate("Bonjour", "tlh");
    translate("Bonjour", "tlh");
    EXPECT_EQ(translator.calls().front().source, std::nullopt);
    EXPECT_TRUE(
        log.contains("translation request prepared sourceLanguage=nil targetLanguage=es availability=supported"));
    EXPECT_EQ(translator.supportedLanguagesQueries(), 1);
}

TEST_F(TranslationBridgeControllerTest, UnsupportedPairsFailWithoutReachingTheEngine) {
    translator.setStatus("en", "es", TranslationAvailabilityStatus::unsupported);
    const auto result = translate("Hello", "en");
    ASSERT_TRUE(result && !result->ok());
    EXPECT_TRUE(result->error().is(ScreenshotTranslationError::unsupportedLanguagePairing));
    EXPECT_TRUE(translator.calls().empty());
}

TEST_F(TranslationBridgeControllerTest, ASecondRequestFailsThePendingOneAndIsTranslated) {
    std::optional<TranslationResult> first;
    std::optional<TranslationResult> second;
    controller->translate("first text", "en", TranslationTargetLanguage::spanish,
                          [&](TranslationResult r) { first = std::move(r); });
    EXPECT_TRUE(controller->hasPendingRequest());
    EXPECT_EQ(controller->configuration(), (TranslationSessionConfiguration{"en", "es"}));
    controller->translate("second text", "en", TranslationTargetLanguage::french,
                          [&](TranslationResult r) { second = std::move(r); });
    settle();
    ASSERT_TRUE(first && !first->ok());
    EXPECT_TRUE(first->error().isCancellation()) << "the earlier caller is not left waiting";
    ASSERT_TRUE(second && second->ok());
    EXPECT_EQ(second->value().translatedText, "[fr] SECOND TEXT");
    EXPECT_TRUE(log.contains(
        "translation primary failed sourceLanguage=en targetLanguage=es domain=brisklet.cancellation code=1 "
        "desc=The translation was cancelled. reason=A newer request replaced it. tags="));
}

TEST_F(TranslationBridgeControllerTest, DestroyingTheBridgeFailsItsPendingRequest) {
    std::optional<TranslationResult> result;
    controller->translate("text", "en", TranslationTargetLanguage::spanish, [&](TranslationResult r) { result = r; });
    controller.reset();
    mainQueue.drain();
    ASSERT_TRUE(result);
    EXPECT_TRUE(result->error().isCancellation());
}

TEST_F(TranslationBridgeControllerTest, EngineErrorsAreMappedAndLogged) {
    translator.failText("pairing", CannedTranslator::error(TranslatorErrorKind::unsupportedLanguagePairing, "no pair"));
    auto result = translate("pairing", "en");
    EXPECT_TRUE(result->error().is(ScreenshotTranslationError::unsupportedLanguagePairing));
    EXPECT_TRUE(log.contains("translation perform failed sourceLanguage=en targetLanguage=es domain=CannedTranslator "
                             "code=2 desc=no pair reason=scripted tags=unsupportedLanguagePairing"));

    translator.failText("broken", CannedTranslator::error(TranslatorErrorKind::internalError));
    result = translate("broken", "en");
    EXPECT_TRUE(result->error().is(ScreenshotTranslationError::internalFailure)) << "installed pair";

    translator.failText("odd", CannedTranslator::error(TranslatorErrorKind::nothingToTranslate, "odd"));
    result = translate("odd", "en");
    ASSERT_TRUE(result->error().engineError());
    EXPECT_EQ(result->error().engineError()->kind, TranslatorErrorKind::nothingToTranslate) << "passed on unchanged";
    EXPECT_EQ(result->error().localizedDescription(localization), "odd");
}

TEST_F(TranslationBridgeControllerTest, MissingLanguageDataNeedsADownloadWhereItCanBeInstalled) {
    translator.setStatus("en", "es", TranslationAvailabilityStatus::supported);
    translator.failText("text", CannedTranslator::error(TranslatorErrorKind::internalError));
    translator.setMissingPackages({"apertium-eng-spa"});
    auto result = translate("text", "en");
    ASSERT_TRUE(result->error().is(ScreenshotTranslationError::translationResourcesNeedDownload));
    EXPECT_EQ(result->error().resourcePackages(), (std::vector<std::string>{"apertium-eng-spa"}));
    EXPECT_EQ(result->error().localizedDescription(localization),
              localization.text(L10nKey::errorTranslationResourcesNeedDownload) +
                  "\nsudo apt-get install apertium-eng-spa");

    translator.setCanInstallLanguageResources(false);
    result = translate("text", "en");
    EXPECT_TRUE(result->error().is(ScreenshotTranslationError::translationResourcesUnavailable));
}

TEST_F(TranslationBridgeControllerTest, UnidentifiedLanguageIsRetriedWithoutASourceOnlyWhenThatChangesSomething) {
    const auto unidentified = CannedTranslator::error(TranslatorErrorKind::unableToIdentifyLanguage);
    translator.failText("mixed text", "en", unidentified);
    auto result = translate("mixed text", "en");
    ASSERT_TRUE(result && result->ok()) << "retried with the engine detecting the language";
    ASSERT_EQ(translator.calls().size(), 2u);
    EXPECT_EQ(translator.calls()[1].source, std::nullopt);

    translator.failText("gibberish", unidentified);
    result = translate("gibberish");
    EXPECT_TRUE(result->error().is(ScreenshotTranslationError::internalFailure)) << "no source either time";
    EXPECT_EQ(translator.calls().size(), 3u);

    result = translate("gibberish", "en");
    ASSERT_FALSE(result->ok());
    ASSERT_TRUE(result->error().engineError()) << "the retry's own error comes back unchanged";
    EXPECT_EQ(result->error().engineError()->kind, TranslatorErrorKind::unableToIdentifyLanguage);
}

} // namespace
} // namespace brisklet
