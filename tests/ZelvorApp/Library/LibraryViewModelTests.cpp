#include "Platform/Fake/InMemoryDefaultsStore.h"
#include "ZelvorApp/Control/AppModel.h"
#include "ZelvorApp/Library/LibraryFakes.h"
#include "ZelvorApp/Library/VisualMemoryImageMetrics.h"
#include "ZelvorApp/Library/VisualMemoryLibraryViewModel.h"

#include <gtest/gtest.h>

namespace brisklet {
namespace {

using ViewModel = VisualMemoryLibraryViewModel;

std::vector<std::string> ids(const std::vector<VisualMemoryItem>& items) {
    std::vector<std::string> result;
    for (const auto& item : items) {
        result.push_back(item.url.filename().string());
    }
    return result;
}

class LibraryViewModelTest : public testing::Test {
protected:
    LibraryViewModelTest() {
        auto note = libraryItem("note.txt", 40, ExportKind::clipboardText);
        note.ocrText = "meeting at noon";
        auto invoice = libraryItem("invoice.png", 30);
        invoice.tags = {"invoice"};
        invoice.sourceApp = "Firefox";
        invoice.isFavorite = true;
        auto chart = libraryItem("chart.png", 50);
        chart.manualTags = {"work"};
        chart.isPinned = true;
        auto clip = libraryItem("clip.gif", 10, ExportKind::gif);
        model.setVisualMemoryItems({note, invoice, chart, clip});
    }

    ViewModel::Actions recordingActions() {
        ViewModel::Actions actions;
        actions.itemAction = [this](ViewModel::ItemAction action, const VisualMemoryItem& item) {
            performed.emplace_back(action, item.url.filename().string());
        };
        actions.deleteItems = [this](const std::vector<VisualMemoryItem>& items) { deleted = ids(items); };
        actions.addTag = [this](const VisualMemoryItem&, const std::string& tag) { added.push_back(tag); };
        actions.removeTag = [this](const VisualMemoryItem&, const std::string& tag, bool manual) {
            removed.emplace_back(tag, manual);
        };
        actions.confirmDelete = [this](int count, std::function<void(bool)> answer) {
            askedCount = count;
            answer(confirm);
        };
        return actions;
    }

    AppModel model;
    TableImageCodec codec;
    VisualMemoryImageMetrics metrics{codec};
    InMemoryDefaultsStore defaults;
    std::vector<std::pair<ViewModel::ItemAction, std::string>> performed;
    std::vector<std::string> deleted;
    std::vector<std::string> added;
    std::vector<std::pair<std::string, bool>> removed;
    int askedCount = 0;
    bool confirm = true;
};

TEST_F(LibraryViewModelTest, QueryCollectionAndContentFilterNarrowTheNewestFirstList) {
    ViewModel view(model, metrics, &defaults, {});
    int changes = 0;
    view.setOnChange([&] { ++changes; });
    EXPECT_EQ(ids(view.displayedItems()), (std::vector<std::string>{"chart.png", "note.txt", "invoice.png", "clip.gif"}));
    view.setQuery("  NOON ");
    EXPECT_EQ(ids(view.displayedItems()), (std::vector<std::string>{"note.txt"}));
    view.setQuery("");
    view.setSelectedContentFilter(VisualMemoryLibraryContentFilter::image);
    EXPECT_EQ(ids(view.displayedItems()), (std::vector<std::string>{"chart.png", "invoice.png", "clip.gif"}));
    view.setSelectedCollection(std::string("firefox"));
    EXPECT_EQ(ids(view.displayedItems()), (std::vector<std::string>{"invoice.png"}));
    view.setSelectedCollection(std::string("Pinned"));
    EXPECT_EQ(ids(view.displayedItems()), (std::vector<std::string>{"chart.png"}));
    view.setSelectedContentFilter(VisualMemoryLibraryContentFilter::text);
    EXPECT_TRUE(view.displayedItems().empty());
    EXPECT_EQ(changes, 6);

    // A new item in the model shows at once.
    auto items = model.visualMemoryItems();
    auto pinnedNote = libraryItem("pinned-note.txt", 60, ExportKind::clipboardText);
    pinnedNote.isPinned = true;
    items.push_back(pinnedNote);
    model.setVisualMemoryItems(items);
    EXPECT_EQ(ids(view.displayedItems()), (std::vector<std::string>{"pinned-note.txt"}));
    EXPECT_EQ(changes, 7);
}

TEST_F(LibraryViewModelTest, AHiddenLibraryMeasuresNothingUntilItIsShown) {
    ViewModel view(model, metrics, nullptr, {});
    view.setActive(false);
    int changes = 0;
    view.setOnChange([&] { ++changes; });
    const int reads = codec.headerReads;
    auto items = model.visualMemoryItems();
    items.push_back(libraryItem("new.png", 70));
    model.setVisualMemoryItems(items);
    EXPECT_EQ(codec.headerReads, reads);
    EXPECT_EQ(view.displayedCount(), 4u) << "still the library it showed";
    EXPECT_EQ(changes, 0);
    view.setActive(true);
    view.refresh();
    EXPECT_EQ(ids(view.displayedItems()).front(), "new.png");
    EXPECT_EQ(codec.headerReads, reads + 1);
    EXPECT_EQ(changes, 1);
}

TEST_F(LibraryViewModelTest, SidebarCountsAndTheChoicesAreRestored) {
    {
        ViewModel view(model, metrics, &defaults, {});
        const auto rows = view.sidebarRows();
        ASSERT_EQ(rows.size(), 7u);
        using Kind = ViewModel::SidebarRow::Kind;
        EXPECT_EQ(rows[0], (ViewModel::SidebarRow{Kind::all, std::nullopt, 4}));
        EXPECT_EQ(rows[1], (ViewModel::SidebarRow{Kind::favorites, "Favorites", 1}));
        EXPECT_EQ(rows[2], (ViewModel::SidebarRow{Kind::pinned, "Pinned", 1}));
        EXPECT_EQ(rows[3], (ViewModel::SidebarRow{Kind::untagged, "Untagged", 2}));
        EXPECT_EQ(rows[4], (ViewModel::SidebarRow{Kind::collection, "Firefox", 1}));
        EXPECT_EQ(rows[6], (ViewModel::SidebarRow{Kind::collection, "work", 1}));
        view.setSelectedCollection(std::string("work"));
        view.setSelectedContentFilter(VisualMemoryLibraryContentFilter::image);
        view.setThumbnailWidth(9000);
        EXPECT_EQ(view.thumbnailWidth(), ViewModel::maximumThumbnailWidth);
    }
    ViewModel reopened(model, metrics, &defaults, {});
    EXPECT_EQ(reopened.selectedCollection(), std::optional<std::string>("work"));
    EXPECT_EQ(reopened.selectedContentFilter(), VisualMemoryLibraryContentFilter::image);
    EXPECT_EQ(reopened.thumbnailWidth(), ViewModel::maximumThumbnailWidth);
    EXPECT_EQ(ids(reopened.displayedItems()), (std::vector<std::string>{"chart.png"}));
}

TEST_F(LibraryViewModelTest, LayoutUsesTheCachedRatiosAndTheColumnWidth) {
    codec.sizes["/library/chart.png"] = {100, 4000};
    ViewModel view(model, metrics, nullptr, {});
    const auto& layout = view.layout(1000);
    EXPECT_EQ(layout.columnCount, 4);
    EXPECT_DOUBLE_EQ(layout.placements[0].height, 440);
    EXPECT_DOUBLE_EQ(layout.placements[1].height, 241.0 * 3 / 4) << "copied text";
    const int reads = codec.headerReads;
    view.setThumbnailWidth(480);
    EXPECT_EQ(view.layout(1000).columnCount, 2);
    EXPECT_EQ(codec.headerReads, reads) << "no file is read twice";
}

TEST_F(LibraryViewModelTest, ClicksShiftAndCtrlSelectAndArrowsMoveThroughTheGrid) {
    ViewModel view(model, metrics, nullptr, {});
    view.layout(500); // two columns: chart, note / invoice, clip
    view.select("/library/note.txt");
    view.select("/library/clip.gif", ViewModel::SelectionChange::toggle);
    EXPECT_EQ(view.selectedIDs().size(), 2u);
    EXPECT_EQ(view.selectedID(), std::optional<std::string>("/library/clip.gif"));
    view.select("/library/clip.gif", ViewModel::SelectionChange::toggle);
    EXPECT_EQ(view.selectedID(), std::optional<std::string>("/library/note.txt")) << "back to what is left";

    view.move(ViewModel::Move::down);
    EXPECT_EQ(view.selectedID(), std::optional<std::string>("/library/clip.gif")) << "below in the same column";
    view.move(ViewModel::Move::left, true);
    view.move(ViewModel::Move::left, true);
    EXPECT_EQ(ids(view.selectedItems()), (std::vector<std::string>{"note.txt", "invoice.png", "clip.gif"}));
    view.move(ViewModel::Move::first);
    EXPECT_EQ(ids(view.selectedItems()), (std::vector<std::string>{"chart.png"}));
    view.move(ViewModel::Move::up);
    EXPECT_EQ(view.selectedID(), std::optional<std::string>("/library/chart.png")) << "nothing above";
    view.selectAll();
    EXPECT_EQ(view.selectedIDs().size(), 4u);

    view.setQuery("invoice");
    EXPECT_EQ(ids(view.selectedItems()), (std::vector<std::string>{"invoice.png"})) << "hidden items leave the selection";
    EXPECT_EQ(view.selectedID(), std::optional<std::string>("/library/invoice.png"));
    view.toggleQuickLook();
    EXPECT_TRUE(view.isQuickLookOpen());
    view.setQuery("nothing matches");
    EXPECT_FALSE(view.isQuickLookOpen()) << "the preview closes with its item";
}

TEST_F(LibraryViewModelTest, DeleteAsksFirstAndTagsReachTheActions) {
    ViewModel view(model, metrics, nullptr, recordingActions());
    view.select("/library/chart.png");
    view.select("/library/invoice.png", ViewModel::SelectionChange::extend);
    confirm = false;
    view.deleteSelection();
    EXPECT_EQ(askedCount, 3);
    EXPECT_TRUE(deleted.empty()) << "declined";
    confirm = true;
    view.deleteSelection();
    EXPECT_EQ(deleted, (std::vector<std::string>{"chart.png", "note.txt", "invoice.png"}));

    view.select("/library/invoice.png");
    view.perform(ViewModel::ItemAction::favorite);
    ASSERT_EQ(performed.size(), 1u);
    EXPECT_EQ(performed[0].first, ViewModel::ItemAction::favorite);
    EXPECT_EQ(performed[0].second, "invoice.png");
    EXPECT_TRUE(view.addTags("Tax 2026, invoice"));
    EXPECT_EQ(added, (std::vector<std::string>{"tax-2026"}));
    EXPECT_FALSE(view.addTags("#"));
    view.removeTag("invoice");
    ASSERT_EQ(removed.size(), 1u);
    EXPECT_EQ(removed[0], (std::pair<std::string, bool>{"invoice", false})) << "an automatic tag is hidden";
}

} // namespace
} // namespace brisklet
