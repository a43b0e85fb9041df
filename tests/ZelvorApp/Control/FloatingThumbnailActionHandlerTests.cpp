#include "Platform/Fake/InMemoryPasteboard.h"
#include "Platform/Fake/ManualClock.h"
#include "Platform/Fake/ManualMainQueue.h"
#include "Platform/Fake/TemporaryPaths.h"
#include "Platform/Linux/Codec/LinuxImageCodec.h"
#include "ZelvorApp/Control/AppModel.h"
#include "ZelvorApp/Control/FloatingThumbnailActionHandler.h"
#include "ZelvorApp/Export/AppClipboardWriteTracker.h"
#include "ZelvorApp/Export/ExportService.h"
#include "ZelvorApp/Thumbnails/FloatingThumbnailFileStore.h"
#include "ZelvorApp/Control/RecordingPorts.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace brisklet {
namespace {

namespace fs = std::filesystem;
using control_testing::RecordingHost;
using control_testing::RecordingPinnedWindows;

Image picture() {
    Image image(40, 30);
    image.fill(10, 120, 200);
    return image;
}

/// The handler over a real codec and file store in a temporary directory, with recorded ports.
class FloatingThumbnailActionHandlerTest : public ::testing::Test {
protected:
    FloatingThumbnailActionHandlerTest() {
        AppPreferences preferences = AppPreferences::defaults();
        preferences.exportDirectory = (paths.root() / "Exports").string();
        model.setPreferences(preferences);
    }

    FloatingThumbnailItem temporaryItem() {
        FloatingThumbnailItem item;
        item.url = store.writeTemporaryPNG(picture()).value();
        item.ownership = FloatingThumbnailOwnership::temporary;
        item.captureFrame = Rect{{10, 20}, {40, 30}};
        return item;
    }
    FloatingThumbnailItem exportedItem(ExportKind kind = ExportKind::screenshot) {
        fs::create_directories(paths.root() / "Exports");
        FloatingThumbnailItem item;
        item.url = paths.root() / "Exports" / (kind == ExportKind::gif ? "clip.gif" : "shot.png");
        EXPECT_TRUE(codec.writeFile(picture(), item.url, ImageFormat::png));
        item.kind = kind;
        return item;
    }

    TemporaryPaths paths;
    ManualClock clock;
    ManualMainQueue mainQueue{clock};
    LinuxImageCodec codec;
    InMemoryPasteboard pasteboard;
    AppClipboardWriteTracker tracker;
    ExportService exportService{pasteboard, tracker};
    AppModel model;
    RecordingHost host;
    RecordingPinnedWindows pins;
    FloatingThumbnailFileStore store{paths.root() / "FloatingThumbnails", codec, mainQueue};
    std::vector<fs::path> saved;
    std::vector<ExportedAsset> deleted;
    std::vector<Image> annotated;
    std::vector<std::string> annotatedIDs;
    bool editorFree = true;
    FloatingThumbnailActionHandler handler{
        {host, exportService, codec, clock, model, store, &pins},
        {[this](Image image, const VisualMemorySource&, const std::string& id) {
             if (editorFree) {
                 annotated.push_back(std::move(image));
                 annotatedIDs.push_back(id);
             }
             return editorFree;
         },
         [this](const fs::path& url, ExportKind) { saved.push_back(url); },
         [this](const ExportedAsset& asset) { deleted.push_back(asset); }}};
};

TEST_F(FloatingThumbnailActionHandlerTest, ATemporaryCardIsSavedIntoTheExportsAndKeptAfterADrag) {
    const FloatingThumbnailItem item = temporaryItem();
    ASSERT_TRUE(handler.handle(FloatingThumbnailAction::copy, item));
    ASSERT_TRUE(pasteboard.readImage());
    EXPECT_EQ(pasteboard.readImage()->width(), 40) << "the whole picture, not the card's preview";

    ASSERT_TRUE(handler.handle(FloatingThumbnailAction::pin, item));
    ASSERT_EQ(pins.images.size(), 1u);
    EXPECT_EQ(pins.images[0].second, (Rect{{10, 20}, {40, 30}})) << "pinned where it was captured";

    const FloatingThumbnailItem dragged = temporaryItem();
    ASSERT_TRUE(handler.handle(FloatingThumbnailAction::retainedAfterDrag, dragged));
    mainQueue.runFor(599);
    EXPECT_TRUE(fs::exists(dragged.url)) << "the receiving application still has ten minutes to read it";
    mainQueue.runFor(2);
    EXPECT_FALSE(fs::exists(dragged.url));

    ASSERT_TRUE(handler.handle(FloatingThumbnailAction::open, item));
    ASSERT_EQ(host.opened.size(), 1u);
    EXPECT_NE(host.opened[0], item.url) << "the viewer gets a copy that outlives the card";
    EXPECT_TRUE(FloatingThumbnailFileStore::isInside(host.opened[0], store.rootDirectory()));
    mainQueue.runFor(601);
    EXPECT_FALSE(fs::exists(host.opened[0])) << "and is removed in the end";

    ASSERT_TRUE(handler.handle(FloatingThumbnailAction::saveOrReveal, item));
    ASSERT_EQ(saved.size(), 1u);
    EXPECT_EQ(saved[0].parent_path(), paths.root() / "Exports");
    EXPECT_TRUE(fs::exists(saved[0]));
    EXPECT_FALSE(fs::exists(item.url)) << "moved, not copied";
    EXPECT_TRUE(host.revealed.empty());
}

TEST_F(FloatingThumbnailActionHandlerTest, AnExportedCardIsShownOpenedDeletedOrAnnotated) {
    const FloatingThumbnailItem item = exportedItem();
    ASSERT_TRUE(handler.handle(FloatingThumbnailAction::saveOrReveal, item));
    EXPECT_EQ(host.revealed, std::vector<fs::path>{item.url}) << "already saved: shown in the file viewer";
    EXPECT_TRUE(saved.empty());
    ASSERT_TRUE(handler.handle(FloatingThumbnailAction::open, item));
    EXPECT_EQ(host.opened, std::vector<fs::path>{item.url});

    editorFree = false;
    EXPECT_FALSE(handler.handle(FloatingThumbnailAction::annotate, item)) << "declined: the card stays";
    editorFree = true;
    ASSERT_TRUE(handler.handle(FloatingThumbnailAction::annotate, item));
    EXPECT_EQ(annotated.at(0).width(), 40);
    EXPECT_EQ(annotatedIDs.at(0), item.id.toString()) << "the card to replace travels with its picture";

    ASSERT_TRUE(handler.handle(FloatingThumbnailAction::delete_, item));
    ASSERT_EQ(deleted.size(), 1u);
    EXPECT_EQ(deleted[0].url, item.url);
    EXPECT_TRUE(handler.handle(FloatingThumbnailAction::delete_, temporaryItem()));
    EXPECT_EQ(deleted.size(), 1u) << "a temporary file is not an export to delete";

    const FloatingThumbnailItem gif = exportedItem(ExportKind::gif);
    ASSERT_TRUE(handler.handle(FloatingThumbnailAction::copy, gif));
    EXPECT_EQ(pasteboard.fileURL(), gif.url) << "a recording is copied as its file";
    EXPECT_FALSE(handler.handle(FloatingThumbnailAction::pin, gif)) << "only pictures can be pinned";
}

} // namespace
} // namespace brisklet
