#include "TextTestSupport.h"

#include "ZelvorApp/Text/RecognizedTextSelection.h"
#include "ZelvorCore/Foundation/JsonCoding.h"

#include <gtest/gtest.h>

namespace brisklet {
namespace {

using texttest::makeLine;

class RecognizedTextSelectionTest : public ::testing::Test {
protected:
    std::vector<RecognizedTextLine> lines{makeLine("alpha beta gamma", Rect{{0, 100}, {300, 20}}),
                                          makeLine("delta epsilon", Rect{{0, 60}, {300, 20}})};
    std::vector<RecognizedTextItem> words = allWords(lines);

    const Uuid& word(std::size_t i) const { return words[i].id; }
};

TEST_F(RecognizedTextSelectionTest, LineSelectionTakesEveryWordOfTheLine) {
    const auto ids = RecognizedTextSelection::lineWordIDs(lines[1]);
    EXPECT_EQ(ids, (WordIDSet{word(3), word(4)}));
    EXPECT_EQ(RecognizedTextSelection::joinedText(lines, ids), "delta epsilon");
}

TEST_F(RecognizedTextSelectionTest, RangesAcrossLinesWorkInBothDirections) {
    const auto forward = RecognizedTextSelection::rangeWordIDs(word(1), word(3), words);
    const auto backward = RecognizedTextSelection::rangeWordIDs(word(3), word(1), words);
    EXPECT_EQ(forward, (WordIDSet{word(1), word(2), word(3)}));
    EXPECT_EQ(forward, backward);
    EXPECT_EQ(RecognizedTextSelection::joinedText(lines, forward), "beta gamma\ndelta");
    EXPECT_EQ(RecognizedTextSelection::rangeWordIDs(word(2), word(2), words), (WordIDSet{word(2)}));
}

TEST_F(RecognizedTextSelectionTest, UnknownIdsAndEmptySelectionsGiveNothing) {
    EXPECT_TRUE(RecognizedTextSelection::rangeWordIDs(Uuid::generate(), word(1), words).empty());
    EXPECT_TRUE(RecognizedTextSelection::rangeWordIDs(word(1), Uuid::generate(), words).empty());
    EXPECT_EQ(RecognizedTextSelection::joinedText(lines, {}), "");
}

TEST_F(RecognizedTextSelectionTest, JoinedTextKeepsStoredWordOrderNotSelectionOrder) {
    EXPECT_EQ(RecognizedTextSelection::joinedText(lines, {word(2), word(0)}), "alpha gamma");
}

TEST_F(RecognizedTextSelectionTest, RecordsRoundTripThroughJson) {
    lines[0].recognizedLanguage = "en";
    lines[0].words[1].recognizedLanguage = "en";
    const Json encoded = write(lines[0]);
    RecognizedTextLine decoded;
    read(encoded, decoded);
    EXPECT_EQ(decoded, lines[0]);

    Json broken = encoded;
    broken["words"][0]["lineID"] = "not-a-uuid";
    EXPECT_THROW(read(broken, decoded), json::DecodeError);
    broken = encoded;
    broken["confidence"] = 1.5;
    EXPECT_THROW(read(broken, decoded), json::DecodeError);
}

} // namespace
} // namespace brisklet
