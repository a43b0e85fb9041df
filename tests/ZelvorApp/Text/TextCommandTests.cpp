#include "Platform/Fake/CannedLanguageIdentifier.h"
#include "Platform/Fake/CannedTextRecognizer.h"
#include "Platform/Fake/CannedTranslator.h"
#include "Platform/Fake/TemporaryPaths.h"
#include "Platform/Linux/Codec/LinuxImageCodec.h"
#include "ZelvorApp/Infrastructure/LocalizationStore.h"
#include "ZelvorCore/Foundation/JsonCoding.h"
#include "main/OcrCommand.h"
#include "main/TranslateCommand.h"

#include <gtest/gtest.h>
#include <sstream>

namespace brisklet {
namespace {

class OcrCommandTest : public ::testing::Test {
protected:
    TemporaryPaths paths;
    LinuxImageCodec codec;
    CannedTextRecognizer recognizer;
    CannedLanguageIdentifier languages{"en"};
    std::istringstream in;
    std::ostringstream out;
    std::ostringstream err;
    std::filesystem::path image = paths.root() / "shot.png";

    void SetUp() override {
        Image picture(300, 100);
        picture.fill(255, 255, 255);
        ASSERT_TRUE(codec.writeFile(picture, image, ImageFormat::png).ok());
        recognizer.setObservations({CannedTextRecognizer::line("Notes:", Rect{{0.1, 0.7}, {0.3, 0.2}}, 0.9f),
                                    CannedTextRecognizer::line("• buy milk", Rect{{0.1, 0.4}, {0.6, 0.2}}, 0.9f)});
    }

    int run(std::vector<std::string> args) { return runOcrCommand(args, codec, recognizer, languages, in, out, err); }
};

TEST_F(OcrCommandTest, PrintsTextMarkdownOrJson) {
    EXPECT_EQ(run({image.string()}), 0);
    EXPECT_EQ(out.str(), "Notes:\n• buy milk\n");
    out.str("");
    EXPECT_EQ(run({image.string(), "--markdown"}), 0);
    EXPECT_EQ(out.str(), "## Notes\n\n- buy milk\n");
    out.str("");
    EXPECT_EQ(run({"--json", image.string()}), 0);
    const Json document = json::parse(out.str());
    EXPECT_EQ(document["imageSize"], Json::parse("[300.0, 100.0]"));
    EXPECT_EQ(document["recognitionSize"], Json::parse("[600.0, 200.0]"));
    ASSERT_EQ(document["lines"].size(), 2u);
    EXPECT_EQ(document["lines"][1]["words"][1]["text"], "buy");
}

TEST_F(OcrCommandTest, ReadsTheImageFromStandardInput) {
    in.str(codec.encode(Image(10, 10), ImageFormat::png).value());
    EXPECT_EQ(run({"-"}), 0);
    EXPECT_EQ(recognizer.receivedImages().front().width(), 20);
}

TEST_F(OcrCommandTest, BadInputGivesClearErrors) {
    EXPECT_EQ(run({}), 2);
    EXPECT_NE(err.str().find("no image given"), std::string::npos);
    EXPECT_EQ(run({image.string(), "--pdf"}), 2);
    err.str("");
    EXPECT_EQ(run({(paths.root() / "missing.png").string()}), 1);
    EXPECT_NE(err.str().find("cannot read image"), std::string::npos);
    err.str("");
    in.str("not an image");
    EXPECT_EQ(run({"-"}), 1);
    EXPECT_NE(err.str().find("standard input"), std::string::npos);
    err.str("");
    recognizer.setError(
        {TextRecognitionErrorCode::languageDataMissing, "Tesseract language data is missing: chi_sim.traineddata"});
    EXPECT_EQ(run({image.string()}), 1);
    EXPECT_NE(err.str().find("chi_sim.traineddata"), std::string::npos);
    EXPECT_TRUE(out.str().empty());
}

class TranslateCommandTest : public ::testing::Test {
protected:
    CannedTranslator translator;
    LocalizationStore localization{[] { return std::vector<std::string>{"en"}; }};
    std::istringstream in{"Good morning"};
    std::ostringstream out;
    std::ostringstream err;

    int run(std::vector<std::string> args) { return runTranslateCommand(args, translator, localization, in, out, err); }
};

TEST_F(TranslateCommandTest, TranslatesStandardInput) {
    EXPECT_EQ(run({"--to", "es", "--from", "en"}), 0);
    EXPECT_EQ(out.str(), "[es] GOOD MORNING\n");
    EXPECT_EQ(translator.calls().front(), (CannedTranslator::Call{"Good morning", "en", "es"}));
}

TEST_F(TranslateCommandTest, UsageErrorsAndFailuresAreReported) {
    EXPECT_EQ(run({}), 2);
    EXPECT_NE(err.str().find("--to is required"), std::string::npos);
    EXPECT_EQ(run({"--to", "tlh"}), 2);
    EXPECT_NE(err.str().find("unknown target language"), std::string::npos);
    EXPECT_EQ(run({"--to"}), 2);

    err.str("");
    in.str("   ");
    EXPECT_EQ(run({"--to", "es"}), 1);
    EXPECT_NE(err.str().find(localization.text(L10nKey::errorTranslationEmpty)), std::string::npos);

    err.str("");
    in.clear();
    in.str("Bonjour");
    translator.setStatusForText(TranslationAvailabilityStatus::supported);
    translator.failText("Bonjour", CannedTranslator::error(TranslatorErrorKind::internalError));
    translator.setMissingPackages({"apertium-fr-es"});
    EXPECT_EQ(run({"--to", "es"}), 1);
    EXPECT_NE(err.str().find("apt-get install apertium-fr-es"), std::string::npos);
    EXPECT_TRUE(out.str().empty());
}

} // namespace
} // namespace brisklet
