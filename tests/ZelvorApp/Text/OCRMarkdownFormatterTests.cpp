#include "TextTestSupport.h"

#include "ZelvorApp/Text/OCRMarkdownFormatter.h"

#include <gtest/gtest.h>

namespace brisklet {
namespace {

using texttest::makeLine;

// Lines stacked downwards from y = 1000 with the given gap between consecutive lines.
std::vector<RecognizedTextLine> stacked(const std::vector<std::string>& texts, double height = 16, double gap = 4) {
    std::vector<RecognizedTextLine> lines;
    double top = 1000;
    for (const auto& text : texts) {
        lines.push_back(makeLine(text, Rect{{0, top - height}, {300, height}}));
        top -= height + gap;
    }
    return lines;
}

TEST(OCRMarkdownFormatterTest, HeadingsNeedAShortLineEndingInAColon) {
    EXPECT_EQ(OCRMarkdownFormatter::headingText("Summary:"), "Summary");
    EXPECT_EQ(OCRMarkdownFormatter::headingText(" 设置： "), "设置");
    EXPECT_FALSE(OCRMarkdownFormatter::headingText(":"));
    EXPECT_FALSE(OCRMarkdownFormatter::headingText("No colon"));
    const std::string fortyEight = std::string(47, 'a') + ":";
    const std::string fortyNine = std::string(48, 'a') + ":";
    EXPECT_TRUE(OCRMarkdownFormatter::headingText(fortyEight));
    EXPECT_FALSE(OCRMarkdownFormatter::headingText(fortyNine));
    EXPECT_EQ(OCRMarkdownFormatter::markdown(stacked({fortyNine})), fortyNine);
}

TEST(OCRMarkdownFormatterTest, BulletsBecomeDashItems) {
    EXPECT_EQ(OCRMarkdownFormatter::bulletText("• item"), "- item");
    EXPECT_EQ(OCRMarkdownFormatter::bulletText("*   spaced  "), "- spaced");
    EXPECT_EQ(OCRMarkdownFormatter::bulletText("- dash"), "- dash");
    EXPECT_FALSE(OCRMarkdownFormatter::bulletText("-"));
    EXPECT_FALSE(OCRMarkdownFormatter::bulletText("-no space"));
}

TEST(OCRMarkdownFormatterTest, DocumentOfHeadingListAndParagraphs) {
    const auto lines = stacked({"Summary:", "• first", "* second", "Plain text starts", "and continues here",
                                "SUMMARY:", "Another heading:", "Closing words"});
    EXPECT_EQ(OCRMarkdownFormatter::markdown(lines), "## Summary\n\n"
                                                     "- first\n- second\n\n"
                                                     "Plain text starts and continues here\n\n"
                                                     "## Another heading\n\n"
                                                     "Closing words");
}

TEST(OCRMarkdownFormatterTest, DuplicatesIgnoringCaseAppearOnceAndGapsCountFromTheLastShownLine) {
    // The skipped duplicate does not become the previous line, so the next one is 24 px below
    // the last shown line and starts a paragraph of its own.
    auto lines = stacked({"Hello there", "HELLO THERE", "next line"});
    EXPECT_EQ(OCRMarkdownFormatter::markdown(lines), "Hello there\n\nnext line");
    lines = stacked({"Hello there", "HELLO THERE", "next line"}, 16, 1);
    EXPECT_EQ(OCRMarkdownFormatter::markdown(lines), "Hello there next line");
}

TEST(OCRMarkdownFormatterTest, GapsSplitParagraphs) {
    // Small lines (span ≤ 22): a gap above 22 splits.
    auto lines = stacked({"one", "two"}, 16, 22);
    EXPECT_EQ(OCRMarkdownFormatter::markdown(lines), "one two");
    lines = stacked({"one", "two"}, 16, 22.5);
    EXPECT_EQ(OCRMarkdownFormatter::markdown(lines), "one\n\ntwo");
    // Tall lines (span 40 × 1.15 = 46): the gap is compared with the span.
    lines = stacked({"big one", "big two"}, 40, 45);
    EXPECT_EQ(OCRMarkdownFormatter::markdown(lines), "big one big two");
    lines = stacked({"big one", "big two"}, 40, 47);
    EXPECT_EQ(OCRMarkdownFormatter::markdown(lines), "big one\n\nbig two");
}

TEST(OCRMarkdownFormatterTest, IdeographsJoinWithoutSpaces) {
    EXPECT_EQ(OCRMarkdownFormatter::markdown(stacked({"这是第一行", "这是第二行"})), "这是第一行这是第二行");
    EXPECT_EQ(OCRMarkdownFormatter::markdown(stacked({"Latin words", "more words"})), "Latin words more words");
    EXPECT_EQ(OCRMarkdownFormatter::joinedParagraph({"中文", "English"}), "中文 English");
    EXPECT_EQ(OCRMarkdownFormatter::joinedParagraph({"한국어", "한국어"}), "한국어 한국어");
    EXPECT_EQ(OCRMarkdownFormatter::joinedParagraph({}), "");
}

TEST(OCRMarkdownFormatterTest, WhitespaceIsCollapsedAndEmptyInputGivesNothing) {
    EXPECT_EQ(OCRMarkdownFormatter::markdown(stacked({"  spaced \t out  ", "   "})), "spaced out");
    EXPECT_EQ(OCRMarkdownFormatter::markdown({}), "");
}

} // namespace
} // namespace brisklet
