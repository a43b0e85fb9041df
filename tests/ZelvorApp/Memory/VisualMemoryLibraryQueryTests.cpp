#include "MemoryTestSupport.h"

#include "ZelvorCore/Stores/VisualMemoryCollections.h"
#include "ZelvorCore/Stores/VisualMemoryDragPayloadPolicy.h"
#include "ZelvorCore/Stores/VisualMemoryOrdering.h"
#include "ZelvorCore/Stores/VisualMemorySearch.h"

#include <gtest/gtest.h>

namespace brisklet {
namespace {

using namespace memory_testing;

constexpr double t0 = 1'700'000'000;

std::vector<std::string> ids(const std::vector<VisualMemoryItem>& items) {
    std::vector<std::string> result;
    for (const auto& entry : items) {
        result.push_back(entry.id);
    }
    return result;
}

VisualMemoryItem named(const std::string& id, double seconds) {
    VisualMemoryItem entry = item("/lib/" + id + ".png", seconds);
    entry.id = id;
    return entry;
}

TEST(VisualMemoryOrderingTest, ChronologicalNewestFirstEqualDatesByAscendingId) {
    const auto ordered = VisualMemoryOrdering::chronological(
        {named("b", t0), named("old", t0 - 10), named("a", t0), named("new", t0 + 10)});
    EXPECT_EQ(ids(ordered), (std::vector<std::string>{"new", "a", "b", "old"}));
}

TEST(VisualMemoryOrderingTest, PinnedFirstLatestPinLeadsMissingPinDateIsTheDistantPast) {
    VisualMemoryItem early = named("early-pin", t0);
    early.isPinned = true;
    early.pinnedAt = Date{t0 + 1};
    VisualMemoryItem late = named("late-pin", t0 - 100);
    late.isPinned = true;
    late.pinnedAt = Date{t0 + 50};
    VisualMemoryItem undated = named("undated-pin", t0 + 500);
    undated.isPinned = true;
    VisualMemoryItem sameA = named("same-a", t0 - 5);
    sameA.isPinned = true;
    sameA.pinnedAt = Date{t0 + 1};
    const auto ordered = VisualMemoryOrdering::pinnedFirst(
        {named("newest", t0 + 1000), undated, early, named("older", t0), late, sameA});
    EXPECT_EQ(ids(ordered),
              (std::vector<std::string>{"late-pin", "early-pin", "same-a", "undated-pin", "newest", "older"}));
}

class VisualMemorySearchTest : public ::testing::Test {
protected:
    VisualMemorySearchTest() {
        VisualMemoryItem chat = named("chat", t0);
        chat.summary = "Pricing discussion";
        chat.sourceApp = "Slack";
        chat.tags = {"pricing", "design"};
        chat.removedAutoTags = {"design"};
        VisualMemoryItem browser = named("browser", t0 + 1);
        browser.summary = "Release notes";
        browser.sourceApp = "Firefox";
        browser.sourceWindow = "Changelog — Mozilla Firefox";
        browser.sourceURL = "https://example.com/Release";
        browser.browserDeepCaptureStatus = BrowserDeepCaptureStatus::metadataUnavailable;
        browser.contextKind = VisualMemoryContextKind::appshot;
        browser.isFavorite = true;
        VisualMemoryItem favoritesTag = named("favorites-tag", t0 + 2);
        favoritesTag.manualTags = {"favorites"};
        favoritesTag.ocrText = "Grüße aus Köln";
        VisualMemoryItem bare = named("bare", t0 + 3);
        bare.isPinned = true;
        items_ = {chat, browser, favoritesTag, bare};
    }
    std::vector<std::string> search(const std::string& query, std::optional<std::string> collection = std::nullopt) {
        return ids(VisualMemorySearch::filter(items_, query, collection));
    }
    std::vector<VisualMemoryItem> items_;
};

TEST_F(VisualMemorySearchTest, QueryIsATrimmedCaseInsensitiveSubstringOverEveryField) {
    EXPECT_EQ(search(""), (std::vector<std::string>{"chat", "browser", "favorites-tag", "bare"}));
    EXPECT_EQ(search("  sLaCk "), std::vector<std::string>{"chat"});
    EXPECT_EQ(search("FIREFOX"), std::vector<std::string>{"browser"});
    EXPECT_EQ(search("metadataunavailable"), std::vector<std::string>{"browser"});
    EXPECT_EQ(search("appshot"), std::vector<std::string>{"browser"});
    EXPECT_EQ(search("example.com/release"), std::vector<std::string>{"browser"});
    EXPECT_EQ(search("bare.png"), std::vector<std::string>{"bare"}) << "the file name counts";
    EXPECT_EQ(search("GRÜSSE"), std::vector<std::string>{}) << "no folding of ß into ss";
    EXPECT_EQ(search("GRÜßE AUS"), std::vector<std::string>{"favorites-tag"}) << "non-ASCII letters fold too";
    EXPECT_TRUE(search("design").empty()) << "a hidden automatic tag is not searched";
    EXPECT_EQ(search("discussion  "), std::vector<std::string>{"chat"});
}

TEST_F(VisualMemorySearchTest, CollectionsMatchTagsAppsAndTheReservedNamesExactly) {
    EXPECT_EQ(search("", "Favorites"), (std::vector<std::string>{"browser", "favorites-tag"}))
        << "the capitalised name is the reserved collection, and still matches the tag ignoring case";
    EXPECT_EQ(search("", "favorites"), std::vector<std::string>{"favorites-tag"})
        << "lower case names a tag or app, not the reserved collection";
    EXPECT_EQ(search("", " Pinned "), std::vector<std::string>{"bare"});
    EXPECT_EQ(search("", "Untagged"), (std::vector<std::string>{"browser", "bare"}));
    EXPECT_EQ(search("", "SLACK"), std::vector<std::string>{"chat"});
    EXPECT_EQ(search("", "PRICING"), std::vector<std::string>{"chat"});
    EXPECT_TRUE(search("", "design").empty());
    EXPECT_EQ(search("notes", "Favorites"), std::vector<std::string>{"browser"});
    EXPECT_TRUE(search("pricing", "Favorites").empty());
    EXPECT_EQ(search("", "   ").size(), 4u) << "a blank collection does not filter";
}

TEST(VisualMemoryCollectionsTest, TagsAndAppsOnceEachAppSpellingReplacesATagsLowerCase) {
    VisualMemoryItem a = named("a", t0);
    a.tags = {"figma", "zeta", "hidden"};
    a.removedAutoTags = {"hidden"};
    VisualMemoryItem b = named("b", t0);
    b.sourceApp = "  Figma ";
    b.manualTags = {"Alpha"};
    VisualMemoryItem c = named("c", t0);
    c.sourceApp = "Xcode";
    VisualMemoryItem d = named("d", t0);
    d.sourceApp = "XCODE";
    d.tags = {"xcode"};
    EXPECT_EQ(VisualMemoryCollections::values({a, b, c, d}),
              (std::vector<std::string>{"alpha", "Figma", "Xcode", "zeta"}));
}

TEST(VisualMemoryDragPayloadPolicyTest, CopiedTextTravelsAsTextEverythingElseAsItsFile) {
    VisualMemoryItem text = item("/lib/Text/clipboard-1.txt", t0, ExportKind::clipboardText);
    text.summary = "Summary";
    text.ocrText = "the copied text";
    using Policy = VisualMemoryDragPayloadPolicy;
    EXPECT_EQ(Policy::payload(text), Policy::Payload(Policy::PlainText{"the copied text"}));
    text.ocrText.clear();
    EXPECT_EQ(Policy::payload(text), Policy::Payload(Policy::PlainText{"Summary"}));
    const VisualMemoryItem gif = item("/lib/a.gif", t0, ExportKind::gif);
    EXPECT_EQ(Policy::payload(gif), Policy::Payload(Policy::File{"/lib/a.gif"}));
}

} // namespace
} // namespace brisklet
