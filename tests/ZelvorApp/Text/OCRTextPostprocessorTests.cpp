#include "TextTestSupport.h"

#include "ZelvorApp/Text/OCRTextPostprocessor.h"

#include <gtest/gtest.h>

namespace brisklet {
namespace {

using texttest::makeLine;

const Size screen{1000, 800};

bool keeps(const std::string& text, float confidence = 0.9f, double height = 20, Size image = screen) {
    return OCRTextPostprocessor::shouldKeepLine(makeLine(text, Rect{{10, 10}, {200, height}}, confidence), image);
}

TEST(OCRTextPostprocessorTest, ConfidenceAndEmptinessComeFirst) {
    EXPECT_FALSE(keeps("   "));
    EXPECT_FALSE(keeps("Clearly readable text", 0.21f));
    EXPECT_TRUE(keeps("Clearly readable text", 0.22f));
}

TEST(OCRTextPostprocessorTest, ShortFragmentsNeedATrustedTermOrAConfidentIdeographPair) {
    EXPECT_TRUE(keeps("UI")) << "trusted term";
    EXPECT_TRUE(keeps("A P I")) << "compared without spaces and lower-cased";
    EXPECT_FALSE(keeps("Q7", 0.99f));
    EXPECT_TRUE(keeps("设置", 0.8f));
    EXPECT_FALSE(keeps("设置", 0.7f));
    EXPECT_FALSE(keeps("한국", 0.99f)) << "Hangul pairs are not ideographs";
}

TEST(OCRTextPostprocessorTest, SymbolNoiseIsDropped) {
    EXPECT_FALSE(keeps("--- ... ---")) << "no alphanumerics at all";
    EXPECT_FALSE(keeps("ab?!.")) << "two letters: dropped by the short rule before the noise ratio";
    EXPECT_FALSE(keeps("abc-*-*")) << "3 of 7 meaningful: 57% symbols";
    EXPECT_TRUE(keeps("abc-d")) << "20% symbols";
    EXPECT_TRUE(keeps("abcd-*-*-*")) << "four meaningful scalars are never noise";
}

TEST(OCRTextPostprocessorTest, TinyLinesSurviveOnlyWhenLongOrTrusted) {
    const Size large{3000, 2000}; // minimum height 12
    EXPECT_FALSE(keeps("abcd", 0.9f, 9, large));
    EXPECT_TRUE(keeps("abcdef", 0.9f, 9, large));
    EXPECT_TRUE(keeps("abcd", 0.9f, 12, large));
    EXPECT_TRUE(keeps("ocr", 0.9f, 5, large));
    EXPECT_TRUE(keeps("abcd", 0.9f, 0, large)) << "a line without height is kept";
    EXPECT_FALSE(keeps("abcd", 0.9f, 5.9, Size{100, 100})) << "the minimum never drops below 6";
    EXPECT_FALSE(keeps("abcd", 0.9f, 13.9, Size{9000, 100})) << "and never exceeds 14";
    EXPECT_TRUE(keeps("abcd", 0.9f, 14, Size{9000, 100}));
}

TEST(OCRTextPostprocessorTest, LinesSharingABandReadLeftToRightOthersTopToBottom) {
    const auto right = makeLine("right side", Rect{{500, 100}, {100, 12}});
    const auto leftSlightlyLower = makeLine("left side", Rect{{10, 94}, {100, 12}}); // mid 100 vs 106: 6 ≤ 6.6
    const auto clearlyLower = makeLine("lower line", Rect{{0, 90}, {100, 12}});      // mid 96: 10 > 6.6
    const auto top = makeLine("top line", Rect{{300, 400}, {100, 12}});
    const auto cleaned =
        OCRTextPostprocessor::cleanedLines({right, clearlyLower, leftSlightlyLower, top}, Size{1000, 1000});
    ASSERT_EQ(cleaned.size(), 4u);
    EXPECT_EQ(cleaned[0].text, "top line");
    EXPECT_EQ(cleaned[1].text, "left side");
    EXPECT_EQ(cleaned[2].text, "right side");
    EXPECT_EQ(cleaned[3].text, "lower line");
}

TEST(OCRTextPostprocessorTest, ReindexingKeepsIdentitiesAndUpdatesWords) {
    auto second = makeLine("second line", Rect{{0, 100}, {100, 20}});
    auto first = makeLine("first line", Rect{{0, 300}, {100, 20}});
    auto noise = makeLine("~~", Rect{{0, 200}, {100, 20}});
    second.index = 0;
    first.index = 1;
    const auto cleaned = OCRTextPostprocessor::cleanedLines({second, noise, first}, screen);
    ASSERT_EQ(cleaned.size(), 2u);
    EXPECT_EQ(cleaned[0].id, first.id);
    EXPECT_EQ(cleaned[0].index, 0);
    EXPECT_EQ(cleaned[1].index, 1);
    for (const auto& line : cleaned) {
        for (const auto& word : line.words) {
            EXPECT_EQ(word.lineIndex, line.index);
            EXPECT_EQ(word.lineID, line.id);
        }
    }
    EXPECT_EQ(cleaned[1].words, [&] {
        auto words = second.words;
        for (auto& w : words) {
            w.lineIndex = 1;
        }
        return words;
    }()) << "only the index changes";
}

} // namespace
} // namespace brisklet
