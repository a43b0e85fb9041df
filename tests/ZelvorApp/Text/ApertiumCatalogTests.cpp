#include "Platform/Fake/CannedLanguageIdentifier.h"
#include "Platform/Fake/TemporaryPaths.h"
#include "Platform/Linux/Apertium/ApertiumPairCatalog.h"
#include "Platform/Linux/Apertium/ApertiumTranslator.h"

#include <fstream>
#include <gtest/gtest.h>

namespace brisklet {
namespace {

TEST(ApertiumPairCatalogTest, ModeNamesMapToLanguageDirections) {
    EXPECT_EQ(ApertiumPairCatalog::directionOfMode("eng-spa"), std::make_pair(std::string("en"), std::string("es")));
    EXPECT_EQ(ApertiumPairCatalog::directionOfMode("fr-es"), std::make_pair(std::string("fr"), std::string("es")));
    EXPECT_FALSE(ApertiumPairCatalog::directionOfMode("spa-eng_US")) << "regional variants are not separate pairs";
    EXPECT_FALSE(ApertiumPairCatalog::directionOfMode("eco-es-fr"));
    EXPECT_FALSE(ApertiumPairCatalog::directionOfMode("eng-spa-tagger"));
    EXPECT_FALSE(ApertiumPairCatalog::directionOfMode("xyz-spa")) << "unknown codes are skipped";
}

TEST(ApertiumPairCatalogTest, RoutesPreferInstalledAndDirectDirections) {
    const ApertiumPairCatalog catalog(std::vector<std::string>{"eng-spa", "spa-eng", "es-fr", "fr-es"});
    const auto direct = catalog.route("en", "es");
    ASSERT_TRUE(direct && direct->isInstalled());
    EXPECT_EQ(direct->legs.size(), 1u);
    EXPECT_EQ(direct->legs[0].mode, "eng-spa");
    EXPECT_EQ(direct->legs[0].package, "apertium-eng-spa") << "installed modes are matched to their package";

    const auto pivot = catalog.route("en", "fr");
    ASSERT_TRUE(pivot && pivot->isInstalled());
    ASSERT_EQ(pivot->legs.size(), 2u);
    EXPECT_EQ(pivot->legs[0].to, "es");

    const auto missing = catalog.route("en", "ca");
    ASSERT_TRUE(missing);
    EXPECT_FALSE(missing->isInstalled());
    EXPECT_EQ(missing->missingPackages(), (std::vector<std::string>{"apertium-eng-cat"}));
    EXPECT_FALSE(catalog.route("en", "zh"));
}

TEST(ApertiumPairCatalogTest, ModesAreReadFromTheDirectory) {
    TemporaryPaths paths;
    std::filesystem::create_directories(paths.root() / "modes");
    for (const char* name : {"eng-spa.mode", "spa-eng.mode", "README"}) {
        std::ofstream(paths.root() / "modes" / name) << "x";
    }
    const ApertiumPairCatalog catalog(paths.root() / "modes");
    EXPECT_TRUE(catalog.route("es", "en")->isInstalled());
    EXPECT_FALSE(catalog.route("fr", "es")->isInstalled());
    const ApertiumPairCatalog none(paths.root() / "absent");
    EXPECT_FALSE(none.route("en", "es")->isInstalled());
}

class ApertiumTranslatorTest : public ::testing::Test {
protected:
    TemporaryPaths paths;
    CannedLanguageIdentifier languages{"en"};
    std::vector<std::vector<std::string>> commands;
    ProcessOutcome nextOutcome{true, false, 0, "hola mundo\n", ""};
    int translators = 0;

    ApertiumTranslator makeTranslator(std::vector<std::string> modes, bool engineInstalled = true) {
        const auto root = paths.root() / std::to_string(++translators);
        const auto modesDir = root / "modes";
        const auto binDir = root / "bin";
        std::filesystem::create_directories(modesDir);
        std::filesystem::create_directories(binDir);
        for (const auto& mode : modes) {
            std::ofstream(modesDir / (mode + ".mode")) << "x";
        }
        if (engineInstalled) {
            std::ofstream(binDir / "apertium") << "x";
        }
        ApertiumTranslator::Options options;
        options.modesDirectory = modesDir;
        options.searchDirectories = {binDir};
        options.packageManager = binDir / "apt-get";
        return ApertiumTranslator(languages, options,
                                  [this](const std::vector<std::string>& arguments, std::string_view, double) {
                                      commands.push_back(arguments);
                                      return nextOutcome;
                                  });
    }
};

TEST_F(ApertiumTranslatorTest, AvailabilityFollowsInstalledModesAndKnownPackages) {
    auto translator = makeTranslator({"eng-spa", "spa-eng"});
    EXPECT_EQ(translator.status("en-US", "es"), TranslationAvailabilityStatus::installed);
    EXPECT_EQ(translator.status("en", "ca"), TranslationAvailabilityStatus::supported);
    EXPECT_EQ(translator.status("en", "zh-Hans"), TranslationAvailabilityStatus::unsupported);
    EXPECT_EQ(translator.statusForText("hello", "es"), TranslationAvailabilityStatus::installed);
    EXPECT_EQ(translator.missingResourcePackages(std::string("en"), "ca"),
              (std::vector<std::string>{"apertium-eng-cat"}));
    EXPECT_FALSE(translator.canInstallLanguageResources());
    const auto supported = translator.supportedLanguages();
    EXPECT_NE(std::find(supported.begin(), supported.end(), "es"), supported.end());

    auto withoutEngine = makeTranslator({}, false);
    EXPECT_EQ(withoutEngine.status("en", "es"), TranslationAvailabilityStatus::supported);
    EXPECT_EQ(withoutEngine.missingResourcePackages(std::string("en"), "es"),
              (std::vector<std::string>{"apertium", "apertium-eng-spa"}));
}

TEST_F(ApertiumTranslatorTest, TranslatesThroughTheEngineAndKeepsTheTextShape) {
    auto translator = makeTranslator({"eng-spa"});
    const auto result = translator.translate("hello world", std::nullopt, "es");
    ASSERT_TRUE(result.ok());
    EXPECT_EQ(result.value().targetText, "hola mundo") << "the engine's added line break is dropped";
    EXPECT_EQ(result.value().sourceLanguage, "en") << "detected";
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(commands[0], (std::vector<std::string>{"apertium", "-u", "-f", "txt", "eng-spa"}));
}

TEST_F(ApertiumTranslatorTest, PairsWithoutADirectModeGoThroughAPivot) {
    auto translator = makeTranslator({"eng-spa", "es-fr"});
    ASSERT_TRUE(translator.translate("hello", std::string("en"), "fr").ok());
    ASSERT_EQ(commands.size(), 2u);
    EXPECT_EQ(commands[0].back(), "eng-spa");
    EXPECT_EQ(commands[1].back(), "es-fr");
}

TEST_F(ApertiumTranslatorTest, FailuresMapToTheEngineErrorKinds) {
    auto translator = makeTranslator({"eng-spa"});
    EXPECT_EQ(translator.translate("  ", std::nullopt, "es").error().kind, TranslatorErrorKind::nothingToTranslate);
    languages.assign("12345", std::nullopt);
    EXPECT_EQ(translator.translate("12345", std::nullopt, "es").error().kind,
              TranslatorErrorKind::unableToIdentifyLanguage);
    EXPECT_EQ(translator.translate("hi", std::string("en"), "zh-Hans").error().kind,
              TranslatorErrorKind::unsupportedLanguagePairing);
    const auto notInstalled = translator.translate("hi", std::string("en"), "ca");
    EXPECT_EQ(notInstalled.error().kind, TranslatorErrorKind::internalError);
    EXPECT_NE(notInstalled.error().failureReason.find("apertium-eng-cat"), std::string::npos);
    EXPECT_TRUE(commands.empty()) << "nothing was run for these";

    nextOutcome = ProcessOutcome{true, true, -1, "", ""};
    EXPECT_EQ(translator.translate("hi", std::string("en"), "es").error().code, 6) << "timed out";
    nextOutcome = ProcessOutcome{true, false, 1, "", "Error: Mode eng-spa does not exist"};
    const auto failed = translator.translate("hi", std::string("en"), "es");
    EXPECT_EQ(failed.error().kind, TranslatorErrorKind::internalError);
    EXPECT_NE(failed.error().failureReason.find("does not exist"), std::string::npos);
    nextOutcome = ProcessOutcome{false, false, -1, "", "cannot start apertium"};
    EXPECT_EQ(translator.translate("hi", std::string("en"), "es").error().kind, TranslatorErrorKind::internalError);

    const auto same = translator.translate("hi", std::string("es-ES"), "es");
    ASSERT_TRUE(same.ok());
    EXPECT_EQ(same.value().targetText, "hi") << "text already in the target language is kept";
}

} // namespace
} // namespace brisklet
