#include "Platform/Linux/Apertium/ApertiumTranslator.h"
#include "Platform/Linux/Cld2/Cld2LanguageIdentifier.h"
#include "Platform/Linux/Qt/QtImageConversion.h"
#include "Platform/Linux/System/PipeProcessRunner.h"
#include "Platform/Linux/Tesseract/TesseractTextRecognizer.h"
#include "ZelvorApp/Infrastructure/LocalizationStore.h"
#include "ZelvorApp/Text/OCRMarkdownFormatter.h"
#include "ZelvorApp/Text/ScreenshotOCRService.h"
#include "main/TranslateCommand.h"

#include <QFont>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QPainter>

#include <gtest/gtest.h>
#include <set>
#include <sstream>

namespace brisklet {
namespace {

// Fonts need a GUI application; one is made for the whole program (QT_QPA_PLATFORM=offscreen).
QGuiApplication& application() {
    static int argc = 1;
    static char name[] = "brisklet_text_integration_tests";
    static char* argv[] = {name, nullptr};
    static QGuiApplication app(argc, argv);
    return app;
}

bool hasFontFamily(const QString& family) {
    application();
    return QFontDatabase::families().contains(family);
}

// Text drawn the way a UI shows it: dark on white at screen sizes, one entry per line.
Image renderLines(const QStringList& lines, const QString& family, int pixelSize, QSize size) {
    application();
    QImage canvas(size, QImage::Format_RGBA8888);
    canvas.fill(Qt::white);
    QPainter painter(&canvas);
    QFont font(family);
    font.setPixelSize(pixelSize);
    painter.setFont(font);
    painter.setPen(QColor(30, 30, 30));
    int y = pixelSize * 2;
    for (const auto& line : lines) {
        painter.drawText(24, y, line);
        y += pixelSize * 2;
    }
    painter.end();
    return fromQImage(canvas);
}

std::set<std::string> wordsOf(const std::string& text) {
    std::set<std::string> words;
    std::istringstream stream(text);
    for (std::string word; stream >> word;) {
        std::string clean;
        for (const char c : word) {
            if (std::isalnum(static_cast<unsigned char>(c))) {
                clean += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            }
        }
        if (!clean.empty()) {
            words.insert(clean);
        }
    }
    return words;
}

std::string allText(const std::vector<RecognizedTextLine>& lines) {
    std::string text;
    for (const auto& line : lines) {
        text += line.text + "\n";
    }
    return text;
}

class TesseractIntegrationTest : public ::testing::Test {
protected:
    TesseractTextRecognizer recognizer;
    Cld2LanguageIdentifier languages;
};

TEST_F(TesseractIntegrationTest, RecognisesRenderedEnglishWithWordsAndReadingOrder) {
    const QStringList lines{"Export settings and keyboard shortcuts", "Save screenshots to the Desktop folder",
                            "Copy recognized text with one click"};
    const Image image = renderLines(lines, "DejaVu Sans", 16, QSize(700, 140));
    const auto result = ScreenshotOCRService::recognizeTextNow(image, recognizer, languages);
    ASSERT_TRUE(result.ok()) << result.error().message;
    const auto recognized = wordsOf(allText(result.value()));
    const auto expected = wordsOf(lines.join(' ').toStdString());
    std::size_t found = 0;
    for (const auto& word : expected) {
        found += recognized.count(word);
    }
    EXPECT_GE(static_cast<double>(found) / static_cast<double>(expected.size()), 0.9) << "recognised:\n"
                                                                                      << allText(result.value());

    ASSERT_EQ(result.value().size(), 3u) << allText(result.value());
    const auto& first = result.value()[0];
    EXPECT_GT(first.bounds.minY(), result.value()[2].bounds.maxY()) << "origin bottom-left: the top line is highest";
    EXPECT_LE(first.bounds.maxX(), 1400.0) << "in the 2× recognition image";
    EXPECT_EQ(first.recognizedLanguage, "en");
    EXPECT_GT(first.confidence, 0.5f);
    EXPECT_LE(first.confidence, 1.0f);
    ASSERT_GE(first.words.size(), 4u);
    for (std::size_t i = 1; i < first.words.size(); ++i) {
        EXPECT_GT(first.words[i].bounds.minX(), first.words[i - 1].bounds.minX()) << "words left to right";
        EXPECT_GE(first.words[i].bounds.minY(), first.bounds.minY() - 1);
        EXPECT_LE(first.words[i].bounds.maxY(), first.bounds.maxY() + 1);
    }
}

TEST_F(TesseractIntegrationTest, RecognisesRenderedChineseAsJoinedIdeographs) {
    const QString family = "Noto Sans CJK SC";
    if (!hasFontFamily(family)) {
        GTEST_SKIP() << "the Chinese font is not installed (Debian package fonts-noto-cjk)";
    }
    const QStringList lines{"截图设置和快捷键", "识别文字并复制"};
    const Image image = renderLines(lines, family, 22, QSize(420, 140));
    const auto result = ScreenshotOCRService::recognizeTextNow(image, recognizer, languages);
    ASSERT_TRUE(result.ok()) << result.error().message;
    const std::string text = allText(result.value());
    const std::u32string recognized = QString::fromStdString(text).toStdU32String();
    const std::u32string expected = lines.join("").toStdU32String();
    std::size_t found = 0;
    for (const char32_t c : expected) {
        found += recognized.find(c) != std::u32string::npos ? 1 : 0;
    }
    EXPECT_GE(static_cast<double>(found) / static_cast<double>(expected.size()), 0.8) << text;
    ASSERT_FALSE(result.value().empty());
    EXPECT_EQ(result.value()[0].text.find(' '), std::string::npos) << "no spaces between ideographs: " << text;
    EXPECT_EQ(result.value()[0].recognizedLanguage, "zh-Hans");
    EXPECT_FALSE(OCRMarkdownFormatter::markdown(result.value()).empty());
}

TEST_F(TesseractIntegrationTest, ReadsOneLineInEnglishBetweenPageReadings) {
    const Image image = ScreenshotOCRService::prepareImageForRecognition(
        renderLines({"Orders shipped today"}, "DejaVu Sans", 16, QSize(300, 44)));
    const auto page = recognizer.recognize(image, ScreenshotOCRService::recognitionRequest());
    const auto line = recognizer.recognize(image, ScreenshotOCRService::lineRereadingRequest());
    const auto pageAgain = recognizer.recognize(image, ScreenshotOCRService::recognitionRequest());
    ASSERT_TRUE(page.ok() && line.ok() && pageAgain.ok());
    ASSERT_EQ(line.value().size(), 1u);
    EXPECT_EQ(line.value()[0].candidates.front().string, "Orders shipped today");
    EXPECT_EQ(line.value()[0].candidates.front().rangeBoxes.size(), 3u);
    EXPECT_EQ(pageAgain.value(), page.value()) << "reading with another language order in between changes nothing";
}

TEST_F(TesseractIntegrationTest, MissingLanguageDataNamesThePackage) {
    TesseractTextRecognizer withoutData(std::vector<std::filesystem::path>{"/nonexistent/tessdata"});
    const auto result = withoutData.recognize(Image(10, 10), ScreenshotOCRService::recognitionRequest());
    ASSERT_FALSE(result.ok());
    EXPECT_EQ(result.error().code, TextRecognitionErrorCode::languageDataMissing);
    EXPECT_NE(result.error().message.find("tesseract-ocr-chi-sim"), std::string::npos) << result.error().message;
    EXPECT_NE(result.error().message.find("tesseract-ocr-eng"), std::string::npos);
    EXPECT_EQ(recognizer.recognize(Image(), {}).error().code, TextRecognitionErrorCode::invalidImage);
}

TEST(Cld2IntegrationTest, IdentifiesCommonLanguages) {
    const Cld2LanguageIdentifier identifier;
    EXPECT_EQ(identifier.dominantLanguage("The quick brown fox jumps over the lazy dog"), "en");
    EXPECT_EQ(identifier.dominantLanguage("这是一个用于测试语言识别的中文句子"), "zh-Hans");
    EXPECT_EQ(identifier.dominantLanguage("Ceci est une phrase écrite en français pour le test"), "fr");
    EXPECT_FALSE(identifier.dominantLanguage(""));
    EXPECT_FALSE(identifier.dominantLanguage("\xff\xfe broken"));
}

TEST(PipeProcessRunnerTest, RunsCommandsFeedsInputAndEnforcesTheTimeout) {
    const auto echoed = PipeProcessRunner().run({"cat"}, "some input", 5);
    EXPECT_TRUE(echoed.launched);
    EXPECT_EQ(echoed.exitCode, 0);
    EXPECT_EQ(echoed.standardOutput, "some input");

    const auto failing = PipeProcessRunner().run({"sh", "-c", "echo oops >&2; exit 3"}, "", 5);
    EXPECT_EQ(failing.exitCode, 3);
    EXPECT_EQ(failing.standardError, "oops\n");

    EXPECT_FALSE(PipeProcessRunner().run({"brisklet-no-such-command"}, "", 5).launched);

    const auto large = PipeProcessRunner().run({"cat"}, std::string(1 << 20, 'x'), 5);
    EXPECT_EQ(large.standardOutput.size(), 1u << 20) << "input and output larger than a pipe buffer";

    const auto capped = PipeProcessRunner(1000).run({"cat"}, std::string(1 << 20, 'y'), 5);
    EXPECT_TRUE(capped.succeeded()) << "the rest is read and dropped, so the command still finishes";
    EXPECT_EQ(capped.standardOutput, std::string(1000, 'y'));

    const auto slow = PipeProcessRunner().run({"sh", "-c", "sleep 5 | cat"}, "", 0.3);
    EXPECT_TRUE(slow.timedOut);
}

class ApertiumIntegrationTest : public ::testing::Test {
protected:
    Cld2LanguageIdentifier languages;
    ApertiumTranslator translator{languages, ApertiumTranslator::Options{}};

    void SetUp() override {
        if (translator.status("en", "es") != TranslationAvailabilityStatus::installed) {
            GTEST_SKIP() << "Apertium's English-Spanish pair is not installed (Debian packages apertium and "
                            "apertium-eng-spa)";
        }
    }
};

TEST_F(ApertiumIntegrationTest, TranslatesASentenceFromEnglishToSpanish) {
    const auto result = translator.translate("The cat is sleeping on the table.", std::nullopt, "es");
    ASSERT_TRUE(result.ok()) << result.error().description << " " << result.error().failureReason;
    EXPECT_NE(result.value().targetText.find("gato"), std::string::npos) << result.value().targetText;
    EXPECT_NE(result.value().targetText.find("mesa"), std::string::npos) << result.value().targetText;
    EXPECT_EQ(result.value().sourceLanguage, "en");
}

TEST_F(ApertiumIntegrationTest, TheCommandTranslatesStandardInput) {
    LocalizationStore localization([] { return std::vector<std::string>{"en"}; });
    std::istringstream in("Good morning, my friend.");
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(runTranslateCommand({"--to", "es", "--from", "en"}, translator, localization, in, out, err), 0)
        << err.str();
    EXPECT_NE(out.str().find("amigo"), std::string::npos) << out.str();
}

} // namespace
} // namespace brisklet
