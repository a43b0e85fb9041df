#include "ZelvorApp/SuperScreenshot/SuperScreenshotContextFormatter.h"

#include <gtest/gtest.h>

namespace brisklet {
namespace {

using F = SuperScreenshotContextFormatter;
using Lines = std::vector<std::string>;

SuperScreenshotSource app(const std::string& name, std::optional<std::string> sourceURL = std::nullopt) {
    SuperScreenshotSource source;
    source.appName = name;
    source.processIdentifier = 42;
    source.sourceURL = std::move(sourceURL);
    return source;
}

BrowserCaptureMetadata page(std::optional<std::string> url, std::optional<std::string> title) {
    return {std::move(url), std::move(title), BrowserDeepCaptureStatus::metadataAvailable};
}

// A window as its accessibility text reads: the title, a menu, a summary, a key-value block,
// prose and a repeated button; and what text recognition saw of the same window.
const char* const reportAccessibility = "Quarterly Report\n"
                                        "  File\n"
                                        "  Edit\n"
                                        "  Summary:\n"
                                        "    Revenue grew in every region this quarter.\n"
                                        "    Costs stayed flat.\n"
                                        "  Status: Approved\n"
                                        "    Owner Alice\n"
                                        "    Q3 2024\n"
                                        "  Approved by the finance team after review of all regional figures\n"
                                        "  Delete\n"
                                        "  delete";
const char* const reportOcr = "Quarterly Report\n"
                              "FILE\n"
                              "Revenue grew in every region this quarter.\n"
                              "Download PDF\n"
                              "Page 1 of 3\n"
                              "\u2022 Download PDF";

TEST(SuperScreenshotContextDocumentTest, BuildsEverySectionFromAccessibilityAndRecognisedText) {
    const std::string document = F::format("Quarterly Report", app("Firefox"), reportOcr, reportAccessibility,
                                           page("https://example.com/report", "  Quarterly   Report "));
    EXPECT_EQ(document, "# Quarterly Report\n\n"
                        "## Source\n\n"
                        "- URL: https://example.com/report\n\n"
                        "## Main Text\n\n"
                        "### Summary\n\n"
                        "Revenue grew in every region this quarter. Costs stayed flat.\n\n"
                        "### Status\n\n"
                        "- Approved\n"
                        "- Owner Alice\n"
                        "- Q3 2024\n\n"
                        "Approved by the finance team after review of all regional figures\n\n"
                        "## UI Text\n\n"
                        "- File\n"
                        "- Edit\n"
                        "- Delete\n\n"
                        "## OCR Fallback\n\n"
                        "Download PDF Page 1 of 3");
}

TEST(SuperScreenshotContextDocumentTest, SourceSectionRules) {
    // Nothing to say: only the title.
    EXPECT_EQ(F::format("Notes", app("Notes"), "", "", std::nullopt), "# Notes");
    // The page's address wins over the source's; the source's stands in without one.
    EXPECT_EQ(F::format("T", app("Firefox", "https://source.example/"), "", "", page("https://page.example/", {})),
              "# T\n\n## Source\n\n- URL: https://page.example/");
    EXPECT_EQ(F::format("T", app("Firefox", "https://source.example/"), "", "", page({}, {})),
              "# T\n\n## Source\n\n- URL: https://source.example/");
    // A page title that merely restates the document title, in another case, width or accent.
    EXPECT_EQ(F::format("Release notes", app("Firefox"), "", "", page({}, "  \uFF32\uFF45lease   NOTES  ")),
              "# Release notes");
    EXPECT_EQ(F::format("Cafe menu", app("Firefox"), "", "", page({}, "Caf\u00E9 Menu")), "# Cafe menu");
    // A different page title is listed, cleaned like a readable line.
    EXPECT_EQ(
        F::format("Mozilla Firefox", app("Firefox"), "", "", page("https://a.example/", " \u2022 Release   notes ")),
        "# Mozilla Firefox\n\n## Source\n\n- URL: https://a.example/\n- Page Title: Release notes");
}

TEST(SuperScreenshotContextDocumentTest, HeadingsWithAndWithoutRemainder) {
    EXPECT_EQ(F::markdownMainText({"Details:", "The build finished without warnings today."}),
              "### Details\n\nThe build finished without warnings today.");
    EXPECT_EQ(F::markdownMainText(
                  {"Status: Open", "High", "Assigned to Bob", "This issue blocks the release of the next version."}),
              "### Status\n\n- Open\n- High\n- Assigned to Bob\n\nThis issue blocks the release of the next version.");
    // Without a remainder, the short line after a heading is a paragraph, not a list item.
    EXPECT_EQ(F::markdownMainText({"Details:", "High"}), "### Details\n\nHigh");
    // A heading closes the open list and paragraph.
    EXPECT_EQ(F::markdownMainText({"Name: Ada", "Notes", "Role: Admin"}),
              "### Name\n\n- Ada\n- Notes\n\n### Role\n\n- Admin");
}

TEST(SuperScreenshotContextDocumentTest, KeyValueContinuationsAreMainTextNotUiText) {
    const std::string accessibility = "Ticket 4711\n"
                                      "Priority: High\n"
                                      "Blocker\n"
                                      "Due Friday\n"
                                      "Save\n"
                                      "Cancel\n";
    const std::string document = F::format("Ticket 4711", app("Tracker"), "", accessibility, std::nullopt);
    EXPECT_EQ(document, "# Ticket 4711\n\n"
                        "## Main Text\n\n"
                        "### Priority\n\n- High\n- Blocker\n- Due Friday\n- Save\n- Cancel");

    // A long line ends the continuation: the labels after it are UI text again.
    const std::string broken = "Priority: High\n"
                               "Blocker\n"
                               "this line has far too many words to be a value\n"
                               "Save\n";
    EXPECT_EQ(F::format("Ticket", app("Tracker"), "", broken, std::nullopt),
              "# Ticket\n\n## Main Text\n\n### Priority\n\n- High\n- Blocker\n\n"
              "this line has far too many words to be a value\n\n## UI Text\n\n- Save");
}

TEST(SuperScreenshotContextDocumentTest, MainTextRules) {
    const Lines lines{"Inbox",                             // the title: skipped, the flag unchanged
                      "From: Alice",                       // heading with a remainder: flag on
                      "Inbox",                             // the title again
                      "Yesterday",                         // continuation
                      "From: Alice",                       // a repeated prose line is skipped, flag unchanged
                      "Tomorrow",                          // still a continuation
                      "Yesterday",                         // repeated continuation: not taken twice, flag stays on
                      "Later",                             // still on
                      "aaaa-----------------------------", // not prose, but 33 characters: flag off
                      "Label"};                            // flag off: skipped
    EXPECT_EQ(F::mainTextLines(lines, "Inbox"), (Lines{"From: Alice", "Yesterday", "Tomorrow", "Later"}));
}

TEST(SuperScreenshotContextDocumentTest, OcrFallbackKeepsOnlyWhatAccessibilityLacks) {
    const std::string accessibility = "Caf\u00E9 Menu\nOrder now\nOpening hours are from nine to five every day";
    const std::string ocr =
        "CAFE MENU\n\uFF2F\uFF52\uFF44\uFF45\uFF52 now\nopening hours are from nine to five every day\n"
        "Espresso 2.50\nCafe Menu\nReceipt";
    EXPECT_EQ(F::format("Cafe", app("Browser"), ocr, accessibility, std::nullopt),
              "# Cafe\n\n"
              "## Main Text\n\nOpening hours are from nine to five every day\n\n"
              "## UI Text\n\n- Caf\u00E9 Menu\n- Order now\n\n"
              "## OCR Fallback\n\nEspresso 2.50 Receipt");
    // Recognised text alone is all fallback, except what repeats the title.
    EXPECT_EQ(F::format("Receipt", app("Viewer"), "Receipt\nTotal 12.00\nThank you", "", std::nullopt),
              "# Receipt\n\n## OCR Fallback\n\nTotal 12.00 Thank you");
}

TEST(SuperScreenshotContextDocumentTest, JoinsCjkLinesWithoutSpaces) {
    const std::string accessibility = "\u8FD9\u662F\u4E00\u4E2A\u5F88\u957F\u7684\u4E2D\u6587\u8BF4\u660E\u6587\u5B57\n"
                                      "\u7B2C\u4E8C\u884C\u7684\u8BF4\u660E\u6587\u5B57\u4E5F\u5F88\u957F\u5F88\u957F\n"
                                      "Mixed English line that is long enough to be prose";
    EXPECT_EQ(F::format("Doc", app("Reader"), "", accessibility, std::nullopt),
              "# Doc\n\n## Main Text\n\n"
              "\u8FD9\u662F\u4E00\u4E2A\u5F88\u957F\u7684\u4E2D\u6587\u8BF4\u660E\u6587\u5B57"
              "\u7B2C\u4E8C\u884C\u7684\u8BF4\u660E\u6587\u5B57\u4E5F\u5F88\u957F\u5F88\u957F"
              " Mixed English line that is long enough to be prose");
}

TEST(SuperScreenshotContextLinesTest, ReadableLines) {
    EXPECT_EQ(
        F::readableLines("  \u2022 Item   one \n---\n\u00B7\u00B7\nx\n* Item one\r\nSecond  line -\n\n42\n\u2028Third"),
        (Lines{"Item one", "Second line", "42", "Third"}));
    EXPECT_EQ(F::normalizedLine(" - * \u2022 Mixed - dash - "), "Mixed - dash");
    EXPECT_TRUE(F::readableLines("").empty());
}

TEST(SuperScreenshotContextLinesTest, ComparisonKeysIgnoreCaseAccentsAndWidth) {
    EXPECT_EQ(F::comparisonKey("  \uFF23\uFF41\uFF46\u00E9   Men\u00DC "), "cafe menu");
    EXPECT_EQ(F::comparisonKey("Cafe\u0301"), "cafe") << "combining accents";
    EXPECT_EQ(F::comparisonKey("Stra\u00DFe"), F::comparisonKey("STRASSE"));
    EXPECT_EQ(F::comparisonKey("\u0141\u00F3d\u017A \u0218tefan \u1EA0nh"), "lodz stefan anh");
    EXPECT_EQ(F::comparisonKey("\uFF76\uFF9E\uFF72\uFF84\uFF9E"), F::comparisonKey("\u30AC\u30A4\u30C9"))
        << "half-width katakana with sound marks";
    EXPECT_EQ(F::comparisonKey("\uFF8A\uFF9F\uFF9D"), F::comparisonKey("\u30D1\u30F3"));
    EXPECT_NE(F::comparisonKey("\u30AB"), F::comparisonKey("\u30AC")) << "kana keep their sound marks";
    EXPECT_NE(F::comparisonKey("resume"), F::comparisonKey("resumes"));
}

TEST(SuperScreenshotContextLinesTest, ProseAndHeadingTests) {
    EXPECT_TRUE(F::isMainText(std::string(41, 'x')));
    EXPECT_FALSE(F::isMainText("abc def ghi" + std::string(29, '.'))) << "40 characters, 3 words, 9 letters";
    EXPECT_TRUE(F::isMainText("one two three four"));
    EXPECT_FALSE(F::isMainText("one two three"));
    EXPECT_TRUE(F::isMainText("\u8FD9\u662F\u4E00\u4E2A\u5F88\u957F\u7684\u4E2D\u6587\u8BF4\u660E\u6587")) << "12 CJK";
    EXPECT_FALSE(F::isMainText("\u8FD9\u662F\u4E00\u4E2A\u5F88\u957F\u7684\u4E2D\u6587\u8BF4\u660E")) << "11 CJK";
    EXPECT_TRUE(F::isMainText("Settings\uFF1A"));
    EXPECT_TRUE(F::isMainText("Key: v"));
    EXPECT_FALSE(F::isMainText("OK"));

    using H = F::Heading;
    EXPECT_EQ(F::markdownHeading("Settings:"), (H{"Settings", std::nullopt}));
    EXPECT_EQ(F::markdownHeading("\u8BBE\u7F6E\uFF1A"), (H{"\u8BBE\u7F6E", std::nullopt}));
    EXPECT_EQ(F::markdownHeading(" :"), std::nullopt);
    EXPECT_EQ(F::markdownHeading("Time: 10:30"), (H{"Time", "10:30"}));
    EXPECT_EQ(F::markdownHeading("Time: 10\uFF1A30"), (H{"Time: 10", "30"})) << "the full-width colon comes first";
    EXPECT_EQ(F::markdownHeading("\u59D3\u540D\uFF1A\u5F20\u4E09"), (H{"\u59D3\u540D", "\u5F20\u4E09"}));
    EXPECT_EQ(F::markdownHeading(std::string(24, 'k') + ": v"), (H{std::string(24, 'k'), "v"}));
    EXPECT_EQ(F::markdownHeading(std::string(25, 'k') + ": v"), std::nullopt);
    EXPECT_EQ(F::markdownHeading(": value"), std::nullopt);
    EXPECT_EQ(F::markdownHeading("No colon here"), std::nullopt);
}

} // namespace
} // namespace brisklet
