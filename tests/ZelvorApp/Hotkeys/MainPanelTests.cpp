#include "Platform/Fake/ManualClock.h"
#include "Platform/Fake/ManualMainQueue.h"
#include "ZelvorApp/Control/AppModel.h"
#include "ZelvorApp/Panel/MainPanelViewModel.h"

#include <gtest/gtest.h>

namespace brisklet {
namespace {

VisualMemoryItem item(int n, ExportKind kind, bool favorite = false, bool pinned = false) {
    VisualMemoryItem entry =
        VisualMemoryItem::forFile("/tmp/item" + std::to_string(n), kind, Date{1000.0 + n});
    entry.isFavorite = favorite;
    entry.isPinned = pinned;
    entry.summary = "item " + std::to_string(n);
    return entry;
}

std::vector<std::string> ids(const std::vector<MainPanelViewModel::Row>& rows) {
    std::vector<std::string> result;
    for (const auto& row : rows) {
        result.push_back(row.item.id);
    }
    return result;
}

class MainPanelTest : public ::testing::Test {
protected:
    MainPanelTest() {
        model.setVisualMemoryItems({item(1, ExportKind::screenshot, true), item(2, ExportKind::clipboardText),
                                    item(3, ExportKind::gif, false, true), item(4, ExportKind::clipboardImage, true),
                                    item(5, ExportKind::videoMP4)});
        panel.setOnChange([this] { ++changes; });
    }

    ManualClock clock;
    ManualMainQueue mainQueue{clock};
    AppModel model;
    std::vector<std::pair<MainPanelViewModel::RowAction, std::string>> rowActions;
    std::vector<MainMenuActionGlyph> quickActions;
    MainPanelViewModel panel{model, mainQueue,
                             {[this](MainMenuActionGlyph glyph) { quickActions.push_back(glyph); },
                              [this](MainPanelViewModel::RowAction action, const VisualMemoryItem& entry) {
                                  rowActions.emplace_back(action, entry.id);
                              },
                              {},
                              {}}};
    int changes = 0;
};

TEST_F(MainPanelTest, FiltersListTheirKindNewestFirst) {
    EXPECT_EQ(ids(panel.rows()), (std::vector<std::string>{"/tmp/item5", "/tmp/item4", "/tmp/item3", "/tmp/item2",
                                                           "/tmp/item1"}));
    panel.setFilter(VisualMemoryQuickFilter::favorite);
    EXPECT_EQ(ids(panel.rows()), (std::vector<std::string>{"/tmp/item4", "/tmp/item1"}));
    panel.setFilter(VisualMemoryQuickFilter::pinned);
    EXPECT_EQ(ids(panel.rows()), (std::vector<std::string>{"/tmp/item3"}));
    panel.setFilter(VisualMemoryQuickFilter::text);
    EXPECT_EQ(ids(panel.rows()), (std::vector<std::string>{"/tmp/item2"}));
    panel.setFilter(VisualMemoryQuickFilter::images);
    EXPECT_EQ(ids(panel.rows()), (std::vector<std::string>{"/tmp/item5", "/tmp/item4", "/tmp/item3", "/tmp/item1"}));
    EXPECT_EQ(changes, 4);
}

TEST_F(MainPanelTest, QueryNarrowsAndRowsStopAtEight) {
    panel.setQuery("item 3");
    EXPECT_EQ(ids(panel.rows()), (std::vector<std::string>{"/tmp/item3"}));
    panel.setQuery("");
    std::vector<VisualMemoryItem> many;
    for (int n = 1; n <= 12; ++n) {
        many.push_back(item(n, ExportKind::screenshot));
    }
    model.setVisualMemoryItems(many);
    EXPECT_EQ(panel.filteredVisualMemories().size(), 12u);
    const auto rows = panel.rows();
    ASSERT_EQ(rows.size(), 8u);
    EXPECT_EQ(rows.front().item.id, "/tmp/item12");
    EXPECT_EQ(rows.back().item.id, "/tmp/item5");
    EXPECT_TRUE(panel.hasAnyItems());
}

TEST_F(MainPanelTest, CopiedStateClearsAfterNineTenthsOfASecond) {
    panel.perform(MainPanelViewModel::RowAction::copy, "/tmp/item2");
    ASSERT_EQ(rowActions.size(), 1u);
    EXPECT_TRUE(panel.rows()[3].didCopy);
    clock.advance(0.5);
    mainQueue.drain();
    panel.perform(MainPanelViewModel::RowAction::copy, "/tmp/item2");
    clock.advance(0.5);
    mainQueue.drain();
    EXPECT_TRUE(panel.rows()[3].didCopy) << "the second copy keeps its own 0.9 s";
    clock.advance(0.45);
    mainQueue.drain();
    EXPECT_FALSE(panel.rows()[3].didCopy);

    panel.perform(MainPanelViewModel::RowAction::favorite, "/tmp/gone");
    EXPECT_EQ(rowActions.size(), 2u) << "an item that left the library is not acted on";
    panel.perform(MainMenuActionGlyph::longshot);
    EXPECT_EQ(quickActions, std::vector{MainMenuActionGlyph::longshot});
}

} // namespace
} // namespace brisklet
