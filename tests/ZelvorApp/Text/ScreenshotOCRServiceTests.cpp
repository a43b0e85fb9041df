#include "TextTestSupport.h"

#include "Platform/Fake/CannedLanguageIdentifier.h"
#include "Platform/Fake/CannedTextRecognizer.h"
#include "Platform/Fake/ManualMainQueue.h"
#include "ZelvorApp/Text/ScreenshotOCRService.h"

#include <gtest/gtest.h>

namespace brisklet {
namespace {

TEST(PrepareImageForRecognitionTest, SmallImagesDoubleAndLargeOnesKeepTheirSize) {
    const Image small = ScreenshotOCRService::prepareImageForRecognition(Image(1599, 300));
    EXPECT_EQ(small.width(), 3198);
    EXPECT_EQ(small.height(), 600);
    const Image large = ScreenshotOCRService::prepareImageForRecognition(Image(1600, 300));
    EXPECT_EQ(large.width(), 1600);
    EXPECT_EQ(large.height(), 300);
    EXPECT_EQ(ScreenshotOCRService::recognitionSize(1, 1), (PixelDimensions{2, 2}));
}

TEST(PrepareImageForRecognitionTest, TransparencyBecomesWhiteAndColoursSurvive) {
    Image source(2, 1);
    source.setPixel(0, 0, 0, 0, 0, 0);       // transparent black
    source.setPixel(1, 0, 200, 10, 10, 255); // opaque red
    Image prepared = ScreenshotOCRService::prepareImageForRecognition(source);
    ASSERT_EQ(prepared.width(), 4);
    EXPECT_TRUE(prepared.isOpaque());
    const std::uint8_t* left = prepared.row(0);
    EXPECT_EQ(left[0], 255);
    EXPECT_EQ(left[1], 255);
    const std::uint8_t* right = prepared.row(1) + 3 * 4;
    EXPECT_EQ(right[0], 200);
    EXPECT_EQ(right[1], 10);

    Image halfBlack(1, 1);
    halfBlack.setPixel(0, 0, 0, 0, 0, 128);
    prepared = ScreenshotOCRService::prepareImageForRecognition(halfBlack);
    EXPECT_NEAR(prepared.data()[0], 127, 1) << "half-transparent black over white is mid grey";
}

TEST(PrepareImageForRecognitionTest, LargeImagesAreCompositedPixelForPixel) {
    Image source(1600, 2);
    source.fill(200, 10, 10);
    source.setPixel(0, 0, 0, 0, 0, 0);
    source.setPixel(1, 0, 0, 0, 0, 128);
    const Image prepared = ScreenshotOCRService::prepareImageForRecognition(source);
    ASSERT_EQ(prepared.width(), 1600);
    EXPECT_TRUE(prepared.isOpaque());
    EXPECT_EQ(prepared.data()[0], 255) << "transparent black over white is white";
    EXPECT_NEAR(prepared.data()[4], 127, 1) << "half-transparent black over white is mid grey";
    EXPECT_EQ(prepared.row(1)[0], 200) << "opaque colours are kept";
    EXPECT_EQ(prepared.row(1)[1], 10);
}

TEST(PrepareImageForRecognitionTest, EmptyImagesPassThroughUnchanged) {
    EXPECT_TRUE(ScreenshotOCRService::prepareImageForRecognition(Image()).isEmpty());
}

TEST(MakeRecognizedLinesTest, ObservationsAreOrderedAndWordsLocated) {
    CannedLanguageIdentifier languages("en");
    languages.assign("你好 世界", "zh-Hans");
    std::vector<TextObservation> observations{
        CannedTextRecognizer::line("second row right", Rect{{0.5, 0.49}, {0.3, 0.05}}, 0.8f),
        CannedTextRecognizer::line("second row left", Rect{{0.1, 0.5}, {0.3, 0.05}}, 0.8f),
        CannedTextRecognizer::line("你好 世界", Rect{{0.1, 0.8}, {0.2, 0.05}}, 0.9f),
    };
    const auto lines = ScreenshotOCRService::makeRecognizedLines(observations, Size{1000, 500}, languages);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].text, "你好 世界");
    EXPECT_EQ(lines[0].recognizedLanguage, "zh-Hans");
    EXPECT_EQ(lines[1].text, "second row left") << "within 0.02 of each other: left first";
    EXPECT_EQ(lines[2].text, "second row right");
    EXPECT_EQ(lines[1].index, 1);

    const auto& line = lines[1];
    EXPECT_EQ(line.bounds, (Rect{{100, 250}, {300, 25}})) << "normalised box times image size, no flip";
    ASSERT_EQ(line.words.size(), 3u);
    EXPECT_EQ(line.words[2].text, "left");
    EXPECT_EQ(line.words[2].order, 2);
    EXPECT_EQ(line.words[2].lineID, line.id);
    EXPECT_FLOAT_EQ(line.words[2].confidence, 0.8f);
    EXPECT_EQ(line.words[2].recognizedLanguage, "en");
    EXPECT_NEAR(line.words[2].bounds.minX(), 300, 1e-9);
    EXPECT_NEAR(line.words[2].bounds.width(), 100, 1e-9);
}

TEST(MakeRecognizedLinesTest, BlankCandidatesAreSkippedAndUnlocatedLinesGetOneWord) {
    CannedLanguageIdentifier languages;
    TextObservation blank{Rect{{0, 0.9}, {0.1, 0.05}}, {TextCandidate{" \n ", 0.9f, {}}}};
    TextObservation noCandidate{Rect{{0, 0.8}, {0.1, 0.05}}, {}};
    // Leading whitespace: boxes index the untrimmed string, so "two" is at bytes 6..9.
    TextObservation padded{Rect{{0, 0.5}, {0.4, 0.1}},
                           {TextCandidate{"  one two ",
                                          0.7f,
                                          {{2, 5, Rect{{0, 0.5}, {0.2, 0.1}}}, {6, 9, Rect{{0.2, 0.5}, {0.2, 0.1}}}}}}};
    TextObservation unlocated{Rect{{0, 0.2}, {0.4, 0.1}}, {TextCandidate{"no boxes", 0.7f, {}}}};
    const auto lines =
        ScreenshotOCRService::makeRecognizedLines({blank, noCandidate, padded, unlocated}, Size{100, 100}, languages);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].text, "one two");
    ASSERT_EQ(lines[0].words.size(), 2u);
    EXPECT_EQ(lines[0].words[1].text, "two");
    EXPECT_NEAR(lines[0].words[1].bounds.minX(), 20, 1e-9);
    EXPECT_FALSE(lines[0].recognizedLanguage);
    ASSERT_EQ(lines[1].words.size(), 1u);
    EXPECT_EQ(lines[1].words[0].text, "no boxes");
    EXPECT_EQ(lines[1].words[0].bounds, lines[1].bounds);
    EXPECT_EQ(lines[1].index, 1);
}

class ScreenshotOCRServiceTest : public ::testing::Test {
protected:
    ManualClock clock;
    ManualMainQueue mainQueue{clock};
    CannedTextRecognizer recognizer;
    CannedLanguageIdentifier languages{"en"};
    ManualSerialQueue* worker = nullptr;
    std::unique_ptr<ScreenshotOCRService> service;
    texttest::LogCapture log;

    void SetUp() override {
        auto queue = std::make_unique<ManualSerialQueue>(ScreenshotOCRService::queueLabel);
        worker = queue.get();
        service = std::make_unique<ScreenshotOCRService>(recognizer, languages, std::move(queue), mainQueue);
    }
};

TEST_F(ScreenshotOCRServiceTest, RecognisesOnTheWorkerAndAnswersOnTheMainQueue) {
    recognizer.setObservations({CannedTextRecognizer::line("Settings panel", Rect{{0.1, 0.5}, {0.5, 0.1}}, 0.9f),
                                CannedTextRecognizer::line("~", Rect{{0.1, 0.2}, {0.1, 0.1}}, 0.9f)});
    std::optional<ScreenshotOCRService::RecognitionResult> result;
    service->recognizeText(Image(100, 40), [&](ScreenshotOCRService::RecognitionResult r) { result = std::move(r); });
    EXPECT_TRUE(recognizer.receivedImages().empty()) << "nothing runs on the caller's thread";
    worker->runPending();
    EXPECT_FALSE(result);
    mainQueue.drain();
    ASSERT_TRUE(result && result->ok());
    ASSERT_EQ(result->value().size(), 1u) << "noise is cleaned away";
    EXPECT_EQ(result->value()[0].bounds, (Rect{{20, 40}, {100, 8}})) << "in the 200 × 80 recognition image";

    const auto images = recognizer.receivedImages();
    ASSERT_EQ(images.size(), 2u) << "the page, then the unsure line on its own";
    EXPECT_EQ(images[0].width(), 200);
    EXPECT_EQ(recognizer.receivedRequests()[1].layout, TextLayout::singleLine);
    const auto request = recognizer.receivedRequests().front();
    EXPECT_EQ(request.level, TextRecognitionLevel::accurate);
    EXPECT_EQ(request.recognitionLanguages, (std::vector<std::string>{"zh-Hans", "en-US"}));
    EXPECT_DOUBLE_EQ(request.minimumTextHeight, 0.006);
    EXPECT_TRUE(log.contains("ocr recognition orientation=upright count=2"));
}

TEST_F(ScreenshotOCRServiceTest, RecogniserErrorsReachTheCallerUnchangedWithoutALogLine) {
    const TextRecognitionError error{TextRecognitionErrorCode::languageDataMissing, "chi_sim is missing"};
    recognizer.setError(error);
    std::optional<ScreenshotOCRService::RecognitionResult> result;
    service->recognizeText(Image(10, 10), [&](ScreenshotOCRService::RecognitionResult r) { result = std::move(r); });
    worker->runPending();
    mainQueue.drain();
    ASSERT_TRUE(result && !result->ok());
    EXPECT_EQ(result->error(), error);
    EXPECT_EQ(log.countStartingWith("ocr recognition"), 0u);
}

} // namespace
} // namespace brisklet
