#include "TranslationFixture.h"

#include "ZelvorApp/Text/AutomaticScreenshotTranslation.h"

namespace brisklet {
namespace {

using texttest::makeLine;
using TranslationResult = TranslationBridgeController::TranslationResult;

class AutomaticTranslationTest : public texttest::TranslationFixture {
protected:
    std::vector<RecognizedTextLine> lines;

    void addLine(const std::string& text, std::optional<std::string> language) {
        auto line =
            makeLine(text, Rect{{0, 500.0 - 30 * static_cast<double>(lines.size())}, {200, 20}}, 0.9f, language);
        line.index = static_cast<int>(lines.size());
        lines.push_back(line);
    }

    std::optional<TranslationResult> run(TranslationBridgeController* bridge) {
        std::optional<TranslationResult> result;
        const auto translation = AutomaticScreenshotTranslation::start(
            bridge, lines, TranslationTargetLanguage::spanish, localization, [&](TranslationResult r) { result = r; });
        settle();
        return result;
    }
};

TEST_F(AutomaticTranslationTest, WholeTextIsTranslatedAtOnceWithTheLanguageLeftToTheEngine) {
    addLine("Hello", "en");
    addLine("world", "en");
    const auto result = run(controller.get());
    ASSERT_TRUE(result && result->ok());
    EXPECT_EQ(result->value().translatedText, "[es] HELLO\nWORLD");
    ASSERT_EQ(translator.calls().size(), 1u);
    EXPECT_EQ(translator.calls()[0].source, std::nullopt);
}

TEST_F(AutomaticTranslationTest, LineFallbackKeepsUntranslatableLinesInPlace) {
    addLine("Guten Tag", "de");
    addLine("  ", std::nullopt);
    addLine("Good morning", "en");
    addLine("12:30", std::nullopt);
    translator.failText("Guten Tag\n  \nGood morning\n12:30",
                        CannedTranslator::error(TranslatorErrorKind::unsupportedLanguagePairing));
    translator.failText("Guten Tag", CannedTranslator::error(TranslatorErrorKind::internalError));
    translator.failText("12:30", CannedTranslator::error(TranslatorErrorKind::unsupportedLanguagePairing));
    const auto result = run(controller.get());
    ASSERT_TRUE(result && result->ok());
    EXPECT_EQ(result->value().translatedText, "Guten Tag\n[es] GOOD MORNING\n12:30");
    EXPECT_EQ(result->value().sourceText, "Guten Tag\n  \nGood morning\n12:30");
    EXPECT_EQ(result->value().sourceLanguage, std::nullopt);
    EXPECT_EQ(result->value().targetLanguage, "es");
    const auto calls = translator.calls();
    ASSERT_EQ(calls.size(), 4u) << "whole text, then three non-empty lines";
    EXPECT_EQ(calls[1], (CannedTranslator::Call{"Guten Tag", "de", "es"})) << "each line with its own language";
    const std::string unsupported = localization.text(L10nKey::errorTranslationUnsupported);
    EXPECT_TRUE(log.contains("editor automaticTranslation primary failed; trying line fallback error=" + unsupported));
    EXPECT_TRUE(log.contains("editor automaticTranslation line fallback kept original index=0 error=" +
                             localization.text(L10nKey::errorTranslationInternalFailure)));
    EXPECT_TRUE(log.contains("editor automaticTranslation line fallback kept original index=3 error=" + unsupported));
    EXPECT_TRUE(log.contains("editor automaticTranslation line fallback success lines=3"));
}

TEST_F(AutomaticTranslationTest, EveryLineFailingIsAnInternalFailure) {
    addLine("one", "en");
    addLine("two", "en");
    for (const char* text : {"one\ntwo", "one", "two"}) {
        translator.failText(text, CannedTranslator::error(TranslatorErrorKind::unsupportedLanguagePairing));
    }
    const auto result = run(controller.get());
    ASSERT_TRUE(result && !result->ok());
    EXPECT_TRUE(result->error().is(ScreenshotTranslationError::internalFailure));
    EXPECT_TRUE(log.contains("editor automaticTranslation failed error=" +
                             localization.text(L10nKey::errorTranslationInternalFailure)));
}

TEST_F(AutomaticTranslationTest, NoTextAndNoEngineAreReportedDifferently) {
    addLine("   ", std::nullopt);
    auto result = run(controller.get());
    ASSERT_TRUE(result && !result->ok());
    EXPECT_TRUE(result->error().is(ScreenshotTranslationError::emptyText));
    EXPECT_EQ(log.countStartingWith("editor automaticTranslation"), 0u) << "an empty text is shown without a log line";

    lines.clear();
    addLine("Hello", "en");
    result = run(nullptr);
    ASSERT_TRUE(result && !result->ok());
    EXPECT_TRUE(result->error().is(ScreenshotTranslationError::requiresMacOS15));
    EXPECT_EQ(log.countStartingWith("editor automaticTranslation failed error="), 1u);
}

TEST_F(AutomaticTranslationTest, ACancelledRunEndsSilently) {
    addLine("Hello", "en");
    std::optional<TranslationResult> result;
    const auto translation =
        AutomaticScreenshotTranslation::start(controller.get(), lines, TranslationTargetLanguage::spanish, localization,
                                              [&](TranslationResult r) { result = r; });
    translation->cancel();
    settle();
    EXPECT_FALSE(result);
}

} // namespace
} // namespace brisklet
