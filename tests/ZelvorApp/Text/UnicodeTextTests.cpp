#include "ZelvorApp/Text/UnicodeText.h"

#include <gtest/gtest.h>

namespace brisklet {
namespace {

using namespace unicode;

TEST(UnicodeTextTest, CJKRangesIncludeKanaAndIdeographsOnly) {
    EXPECT_TRUE(isCJK(U'あ'));
    EXPECT_TRUE(isCJK(U'カ'));
    EXPECT_TRUE(isCJK(U'中'));
    EXPECT_TRUE(isCJK(U'\u3400'));
    EXPECT_TRUE(isCJK(U'\uF900'));
    EXPECT_FALSE(isCJK(U'한')) << "Hangul is not counted";
    EXPECT_FALSE(isCJK(U'，')) << "full-width punctuation is not counted";
    EXPECT_FALSE(isCJK(U'\u3002'));
    EXPECT_FALSE(isCJK(U'a'));
}

TEST(UnicodeTextTest, AlphanumericsCoverEveryScriptButNotSymbols) {
    for (const char32_t c : {U'a', U'Z', U'7', U'é', U'ß', U'Ж', U'中', U'한', U'٣'}) {
        EXPECT_TRUE(isAlphanumeric(c)) << static_cast<unsigned>(c);
    }
    for (const char32_t c : {U'-', U'•', U'*', U'，', U'—', U' ', U'€', U'→'}) {
        EXPECT_FALSE(isAlphanumeric(c)) << static_cast<unsigned>(c);
    }
}

TEST(UnicodeTextTest, TrimmingAndCollapsingUseUnicodeWhitespace) {
    EXPECT_EQ(trimmed("\u3000 hello world\n\u00A0"), "hello world");
    EXPECT_EQ(trimmed(" \t\n"), "");
    EXPECT_EQ(collapsedWhitespace("  a \t\n b\u2003c  "), "a b c");
    EXPECT_EQ(removingWhitespace("U I\u3000x"), "UIx");
    EXPECT_EQ(toLower("ÉCOLE Straße"), "école straße");
}

TEST(UnicodeTextTest, WordRunsIncludeOneReachingTheEnd) {
    const auto runs = nonWhitespaceRuns("  ab c\u3000中文");
    ASSERT_EQ(runs.size(), 3u);
    EXPECT_EQ(runs[0], (ByteRange{2, 4}));
    EXPECT_EQ(runs[1], (ByteRange{5, 6}));
    EXPECT_EQ(runs[2].end, std::string("  ab c\u3000中文").size());
}

TEST(UnicodeTextTest, MalformedUtf8NeverThrowsOrLoops) {
    const std::string broken = "ok\xff\xc3";
    EXPECT_EQ(decodeUtf8(broken).size(), 4u);
    EXPECT_EQ(lastScalar(broken), 0xFFFDu);
    EXPECT_EQ(trimmed(broken), broken);
    EXPECT_EQ(characterCount("e\u0301"), 1u) << "a combining mark is part of its letter";
}

} // namespace
} // namespace brisklet
