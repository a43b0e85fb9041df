#include "Platform/Fake/CannedTextRecognizer.h"
#include "ZelvorApp/Text/ScreenshotOCRService.h"
#include "ZelvorApp/Text/UncertainTextLines.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace brisklet {
namespace {

constexpr int m = InvertedTextRegions::margin;
constexpr float unsure = UncertainTextLines::rereadBelowConfidence - 0.2f;

// A 400 × 200 image's line at (100, 50), 120 × 20 pixels, normalised with y up.
const Rect lineBox{{100 / 400.0, (200 - 70) / 200.0}, {120 / 400.0, 20 / 200.0}};

void expectNear(const Rect& actual, const Rect& expected) {
    EXPECT_NEAR(actual.minX(), expected.minX(), 1e-9);
    EXPECT_NEAR(actual.minY(), expected.minY(), 1e-9);
    EXPECT_NEAR(actual.width(), expected.width(), 1e-9);
    EXPECT_NEAR(actual.height(), expected.height(), 1e-9);
}

TEST(UncertainTextLinesTest, OnlyUnsureLinesOfLatinTextAreReadAgain) {
    const auto line = [](const std::string& text, float confidence) {
        return CannedTextRecognizer::line(text, lineBox, confidence);
    };
    EXPECT_TRUE(UncertainTextLines::shouldReread(line("orders", unsure)));
    EXPECT_FALSE(UncertainTextLines::shouldReread(line("orders", UncertainTextLines::rereadBelowConfidence)));
    EXPECT_FALSE(UncertainTextLines::shouldReread(line("订单 orders", unsure))) << "Chinese is read best as it was";
    EXPECT_FALSE(UncertainTextLines::shouldReread(line("~ |", unsure))) << "nothing to read in it";
    EXPECT_FALSE(UncertainTextLines::shouldReread(TextObservation{lineBox, {}}));
}

TEST(UncertainTextLinesTest, TheRegionHoldsTheLineWithAPaddingClippedToTheImage) {
    // A fifth of the 20-pixel height on every side.
    EXPECT_EQ(UncertainTextLines::regionAround(lineBox, 400, 200), (InvertedTextRegions::Region{96, 46, 128, 28}));
    const Rect corner{{0, 0.9}, {0.1, 0.1}};
    EXPECT_EQ(UncertainTextLines::regionAround(corner, 400, 200), (InvertedTextRegions::Region{0, 0, 44, 24}));
}

TEST(UncertainTextLinesTest, LightTextOnDarkAndDarkTextOnLightBothComeOutDarkOnLight) {
    for (const bool dark : {true, false}) {
        Image image(60, 20);
        image.fill(dark ? 30 : 230, dark ? 30 : 230, dark ? 40 : 230);
        for (int x = 10; x < 14; ++x) {
            for (int y = 4; y < 16; ++y) {
                image.setPixel(x, y, dark ? 230 : 30, dark ? 230 : 30, dark ? 230 : 30);
            }
        }
        const Image crop = UncertainTextLines::readableCrop(image, {0, 0, 60, 20});
        ASSERT_EQ(crop.width(), 60 + 2 * m);
        ASSERT_EQ(crop.height(), 20 + 2 * m);
        EXPECT_EQ(crop.row(2)[0], 255) << "the margin is white";
        EXPECT_GE(crop.row(m + 2)[(m + 30) * 4], 220) << "the background is light (dark: " << dark << ")";
        EXPECT_LE(crop.row(m + 8)[(m + 11) * 4], 30) << "the stroke is dark (dark: " << dark << ")";
    }
}

class RereadUncertainLinesTest : public ::testing::Test {
protected:
    Image page{400, 200};
    CannedTextRecognizer recognizer;
    // Where the line sits in its crop: the 128 × 28 region starts 4 pixels before the line,
    // inside the margin.
    const Rect lineInCrop{{(m + 4) / 168.0, (68 - m - 4 - 20) / 68.0}, {120 / 168.0, 20 / 68.0}};

    void SetUp() override { page.fill(255, 255, 255); }
};

TEST_F(RereadUncertainLinesTest, ASurerReadingReplacesTheLineWithItsBoxesInTheImage) {
    recognizer.setObservations({CannedTextRecognizer::line("Orders shipped", lineInCrop, unsure + 0.1f)});
    std::vector<TextObservation> observations{
        CannedTextRecognizer::line("orders shipped", lineBox, unsure),
        CannedTextRecognizer::line("sure line", Rect{{0.1, 0.1}, {0.5, 0.1}}, 0.99f),
        CannedTextRecognizer::line("订单已发货", Rect{{0.1, 0.3}, {0.5, 0.1}}, unsure),
    };
    const auto others = std::vector<TextObservation>(observations.begin() + 1, observations.end());

    ScreenshotOCRService::rereadUncertainLines(page, recognizer, observations);

    ASSERT_EQ(recognizer.receivedImages().size(), 1u) << "only the unsure Latin line is read again";
    EXPECT_EQ(recognizer.receivedImages()[0].width(), 168);
    EXPECT_EQ(recognizer.receivedImages()[0].height(), 68);
    const TextRecognitionRequest request = recognizer.receivedRequests()[0];
    EXPECT_EQ(request.layout, TextLayout::singleLine);
    EXPECT_EQ(request.recognitionLanguages, (std::vector<std::string>{"en-US"}));

    ASSERT_EQ(observations.size(), 3u);
    const TextCandidate& reread = observations[0].candidates.front();
    EXPECT_EQ(reread.string, "Orders shipped");
    EXPECT_FLOAT_EQ(reread.confidence, unsure + 0.1f);
    expectNear(observations[0].boundingBox, lineBox);
    ASSERT_EQ(reread.rangeBoxes.size(), 2u);
    expectNear(reread.rangeBoxes[1].box, Rect{{160 / 400.0, lineBox.minY()}, {60 / 400.0, lineBox.height()}});
    EXPECT_EQ(std::vector<TextObservation>(observations.begin() + 1, observations.end()), others);
}

TEST_F(RereadUncertainLinesTest, AReadingNoSurerThanTheFirstIsDropped) {
    const TextObservation first = CannedTextRecognizer::line("orders shipped", lineBox, unsure);
    // Surer by less than two readings of the same words differ is not surer.
    for (const float confidence : {unsure + UncertainTextLines::minimumConfidenceGain / 2, unsure, unsure - 0.1f}) {
        recognizer.setObservations({CannedTextRecognizer::line("Orders shipped", lineInCrop, confidence)});
        std::vector<TextObservation> observations{first};
        ScreenshotOCRService::rereadUncertainLines(page, recognizer, observations);
        EXPECT_EQ(observations, std::vector<TextObservation>{first}) << confidence;
    }
    // Two lines out of one line's crop are not that line.
    recognizer.setObservations({CannedTextRecognizer::line("Orders", lineInCrop, 0.99f),
                                CannedTextRecognizer::line("shipped", lineInCrop, 0.99f)});
    std::vector<TextObservation> observations{first};
    ScreenshotOCRService::rereadUncertainLines(page, recognizer, observations);
    EXPECT_EQ(observations, std::vector<TextObservation>{first});
    EXPECT_EQ(recognizer.receivedImages().size(), 4u);
}

} // namespace
} // namespace brisklet
