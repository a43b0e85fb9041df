#include "ZelvorApp/Library/LibraryFakes.h"
#include "ZelvorApp/Library/VisualMemoryImageMetrics.h"
#include "ZelvorApp/Library/VisualMemoryLibraryCollectionSummary.h"
#include "ZelvorApp/Library/VisualMemoryMasonryLayout.h"
#include "ZelvorApp/Library/VisualMemoryTagEditor.h"

#include <gtest/gtest.h>

namespace brisklet {
namespace {

TEST(MasonryLayout, ColumnsFollowTheWidthAndCardsTheProportions) {
    EXPECT_EQ(VisualMemoryMasonryLayout::columns(1000, 240, 12), 4);
    EXPECT_EQ(VisualMemoryMasonryLayout::columns(0, 240, 12), 1);
    EXPECT_EQ(VisualMemoryMasonryLayout::columns(100, 240, 12), 1) << "narrower than one column";
    EXPECT_EQ(VisualMemoryMasonryLayout::columns(500, -50, 0), 500) << "a column is at least one point wide";

    const auto layout = VisualMemoryMasonryLayout::make({4000.0 / 100, 100.0 / 4000, 4.0 / 3, 1.0}, 1000, 240, 12);
    EXPECT_EQ(layout.columnCount, 4);
    EXPECT_DOUBLE_EQ(layout.columnWidth, 241);
    ASSERT_EQ(layout.placements.size(), 4u);
    EXPECT_DOUBLE_EQ(layout.placements[0].height, 110) << "a panorama is clamped to the smallest card";
    EXPECT_DOUBLE_EQ(layout.placements[1].height, 440) << "a strip to the tallest";
    EXPECT_DOUBLE_EQ(layout.placements[2].height, 241.0 * 3 / 4);
    EXPECT_DOUBLE_EQ(layout.placements[3].x, 3 * (241.0 + 12));
    EXPECT_DOUBLE_EQ(layout.contentHeight, 440 + 12);
    EXPECT_DOUBLE_EQ(VisualMemoryMasonryLayout::make({}, 1000, 240, 12).contentHeight, 12);
}

TEST(MasonryLayout, EachCardGoesToTheShortestColumnLowestIndexFirst) {
    const auto even = VisualMemoryMasonryLayout::make(std::vector<double>(6, 1.0), 500, 240, 20);
    ASSERT_EQ(even.columnCount, 2);
    std::vector<double> xs;
    std::vector<double> ys;
    for (const auto& placement : even.placements) {
        xs.push_back(placement.x);
        ys.push_back(placement.y);
    }
    EXPECT_EQ(xs, (std::vector<double>{0, 260, 0, 260, 0, 260}));
    EXPECT_EQ(ys, (std::vector<double>{0, 0, 260, 260, 520, 520}));

    // A tall first card leaves column 0 longer, so the next two go to column 1.
    const auto uneven = VisualMemoryMasonryLayout::make({0.5, 2.0, 2.0, 1.0}, 500, 240, 20);
    EXPECT_EQ(uneven.placements[1].x, 260);
    EXPECT_EQ(uneven.placements[2].x, 260);
    EXPECT_DOUBLE_EQ(uneven.placements[2].y, 120 + 20);
    EXPECT_EQ(uneven.placements[3].x, 260) << "column 1 is at 280, column 0 at 460";
}

TEST(MasonryLayout, VisibleBandHitTestAndColumnNeighbours) {
    const auto layout = VisualMemoryMasonryLayout::make(std::vector<double>(10, 1.0), 500, 240, 20);
    const auto band = layout.visible(300, 600);
    std::vector<std::size_t> indexes;
    for (const auto& placement : band) {
        indexes.push_back(placement.index);
    }
    EXPECT_EQ(indexes, (std::vector<std::size_t>{2, 3, 4, 5}));
    ASSERT_NE(layout.hit(270, 530), nullptr);
    EXPECT_EQ(layout.hit(270, 530)->index, 5u);
    EXPECT_EQ(layout.hit(250, 10), nullptr) << "the gap between columns";
    ASSERT_NE(layout.vertical(3, 1), nullptr);
    EXPECT_EQ(layout.vertical(3, 1)->index, 5u);
    EXPECT_EQ(layout.vertical(3, -1)->index, 1u);
    EXPECT_EQ(layout.vertical(1, -1), nullptr);
}

TEST(CollectionSummary, CountsEachItemOncePerKey) {
    auto a = libraryItem("a.png", 1);
    a.tags = {"Invoice", "work"};
    a.sourceApp = "  Firefox ";
    a.isFavorite = true;
    a.isPinned = true;
    auto b = libraryItem("b.png", 2);
    b.manualTags = {"invoice", "firefox"};
    b.sourceApp = "Firefox";
    auto c = libraryItem("c.png", 3);
    c.tags = {"hidden"};
    c.removedAutoTags = {"hidden"};

    const auto summary = VisualMemoryLibraryCollectionSummary::build({a, b, c});
    EXPECT_EQ(summary.countsByKey.at("invoice"), 2) << "a tag shared by two items";
    EXPECT_EQ(summary.countsByKey.at("firefox"), 2) << "b has it as tag and app, counted once";
    EXPECT_EQ(summary.countsByKey.at("favorites"), 1);
    EXPECT_EQ(summary.countsByKey.at("pinned"), 1);
    EXPECT_EQ(summary.countsByKey.at("untagged"), 1) << "a hidden automatic tag leaves c untagged";
    EXPECT_FALSE(summary.countsByKey.contains("hidden"));
    EXPECT_EQ(summary.favoriteCount, 1);
    EXPECT_EQ(summary.pinnedCount, 1);
    EXPECT_EQ(summary.untaggedCount, 1);
    EXPECT_EQ(summary.count("Invoice"), 2);
    EXPECT_EQ(summary.collections, (std::vector<std::string>{"Firefox", "invoice", "work"}));
}

TEST(ImageMetrics, RatiosComeFromHeadersOnceAndCopiedTextIsFixed) {
    TableImageCodec codec;
    VisualMemoryImageMetrics metrics(codec);
    auto wide = libraryItem("wide.png", 1);
    codec.sizes[wide.url] = {4000, 100};
    auto text = libraryItem("text.txt", 2, ExportKind::clipboardText);
    auto video = libraryItem("clip.mp4", 3, ExportKind::videoMP4);
    video.thumbnailPath = "/thumbs/clip.jpg";
    codec.sizes["/thumbs/clip.jpg"] = {320, 180};
    auto gone = libraryItem("gone.png", 4);

    EXPECT_EQ(metrics.prewarm({wide, text, video, gone}), 3u) << "copied text needs no reading";
    EXPECT_EQ(codec.headerReads, 3);
    EXPECT_DOUBLE_EQ(metrics.aspectRatio(wide), 40);
    EXPECT_DOUBLE_EQ(metrics.aspectRatio(text), 4.0 / 3);
    EXPECT_DOUBLE_EQ(metrics.aspectRatio(video), 320.0 / 180) << "a video has its preview's proportion";
    EXPECT_DOUBLE_EQ(metrics.aspectRatio(gone), VisualMemoryImageMetrics::unknownRatio);
    EXPECT_EQ(codec.headerReads, 3) << "every ratio came from the cache";
}

TEST(TagEditor, TypedTagsAreNormalisedSplitAndNeverRepeated) {
    auto item = libraryItem("a.png", 1);
    item.tags = {"invoice", "draft"};
    item.removedAutoTags = {"draft"};
    item.manualTags = {"work-notes"};
    EXPECT_EQ(VisualMemoryTagEditor::tagsToAdd(item, " #Q4 Report#, INVOICE, draft ,, q4-report"),
              (std::vector<std::string>{"q4-report", "draft"}))
        << "a hidden automatic tag can be typed back";
    EXPECT_TRUE(VisualMemoryTagEditor::tagsToAdd(item, "  ,#, Work Notes").empty());
    EXPECT_EQ(VisualMemoryTagEditor::tags(item),
              (std::vector<VisualMemoryTagEditor::Tag>{{"invoice", false}, {"work-notes", true}}));
}

} // namespace
} // namespace brisklet
