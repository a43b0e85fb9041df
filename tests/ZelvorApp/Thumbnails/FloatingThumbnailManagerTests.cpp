#include "Platform/Fake/ManualClock.h"
#include "Platform/Fake/ManualMainQueue.h"
#include "Platform/Fake/TemporaryPaths.h"
#include "Platform/Linux/Codec/LinuxImageCodec.h"
#include "ZelvorApp/Thumbnails/FloatingThumbnailFileStore.h"
#include "ZelvorApp/Thumbnails/FloatingThumbnailManager.h"
#include "support/CapturedLog.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <utility>
#include <vector>

namespace brisklet {
namespace {

namespace fs = std::filesystem;

/// Answers every action with `answer` unless told otherwise, and remembers what it was asked.
class RecordingDelegate final : public FloatingThumbnailManagerDelegate {
public:
    bool handle(FloatingThumbnailAction action, const FloatingThumbnailItem& item) override {
        calls.emplace_back(action, item.id);
        return declined.count(action) == 0;
    }
    std::vector<std::pair<FloatingThumbnailAction, Uuid>> calls;
    std::set<FloatingThumbnailAction> declined;
};

class FloatingThumbnailManagerTest : public ::testing::Test {
protected:
    FloatingThumbnailManagerTest() {
        manager.setDelegate(&delegate);
        manager.setOnChange([this] { ++changes; });
    }

    FloatingThumbnailItem exported(ExportKind kind = ExportKind::screenshot) {
        FloatingThumbnailItem item;
        item.url = paths.root() / "exports" / (item.id.toString() + ".png");
        item.kind = kind;
        item.ownership = FloatingThumbnailOwnership::exported;
        return item;
    }

    FloatingThumbnailItem temporary() {
        Image image(4, 3);
        image.fill(10, 20, 30);
        auto url = store.writeTemporaryPNG(image);
        EXPECT_TRUE(url.ok());
        FloatingThumbnailItem item;
        item.url = url.value();
        item.ownership = FloatingThumbnailOwnership::temporary;
        return item;
    }

    std::vector<Uuid> ids() const {
        std::vector<Uuid> result;
        for (const auto& item : manager.items()) {
            result.push_back(item.id);
        }
        return result;
    }

    ManualClock clock;
    ManualMainQueue queue{clock};
    TemporaryPaths paths;
    LinuxImageCodec codec;
    FloatingThumbnailFileStore store{paths.applicationSupportDirectory() / "FloatingThumbnails", codec, queue};
    FloatingThumbnailManager manager{FloatingThumbnailPosition::bottomRight, 10, queue, clock, store};
    RecordingDelegate delegate;
    int changes = 0;
};

TEST_F(FloatingThumbnailManagerTest, AddingShowsTheNewestFirstAndLogsIt) {
    testing::CapturedLog log;
    auto first = exported(ExportKind::gif);
    first.displayID = 2;
    first.captureFrame = Rect{{10, 20}, {300, 200}};
    manager.add(first);
    EXPECT_EQ(manager.presentationContext(), (FloatingThumbnailPresentationContext{first.displayID, first.captureFrame}));
    const auto second = temporary();
    manager.add(second);

    EXPECT_EQ(ids(), (std::vector<Uuid>{second.id, first.id}));
    EXPECT_TRUE(manager.isVisible());
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(manager.presentationContext(), (FloatingThumbnailPresentationContext{}))
        << "the stack follows the latest capture's display, unknown here";
    EXPECT_EQ(log.linesStartingWith("floating thumbnail added"),
              (std::vector<std::string>{"floating thumbnail added kind=gif temporary=false count=1",
                                        "floating thumbnail added kind=screenshot temporary=true count=2"}));
}

TEST_F(FloatingThumbnailManagerTest, ASixthCardHidesTheOldestThroughTheDelegate) {
    std::vector<FloatingThumbnailItem> added;
    for (int i = 0; i < 6; ++i) {
        added.push_back(i == 0 ? temporary() : exported());
        manager.add(added.back());
    }
    ASSERT_EQ(manager.items().size(), 5u);
    EXPECT_EQ(manager.items().front().id, added[5].id);
    EXPECT_EQ(manager.items().back().id, added[1].id);
    ASSERT_EQ(delegate.calls.size(), 1u);
    EXPECT_EQ(delegate.calls[0].first, FloatingThumbnailAction::hide);
    EXPECT_EQ(delegate.calls[0].second, added[0].id);
    EXPECT_FALSE(fs::exists(added[0].url)) << "the hidden card's temporary file goes with it";
    EXPECT_EQ(manager.timer(added[0].id), nullptr);

    // Even a delegate that refuses to hide cannot make the stack grow.
    delegate.declined.insert(FloatingThumbnailAction::hide);
    manager.add(exported());
    EXPECT_EQ(manager.items().size(), 5u);
    EXPECT_EQ(manager.items().back().id, added[2].id);
}

TEST_F(FloatingThumbnailManagerTest, CardsExpireAfterTheDelayUnlessHovered) {
    const auto hovered = exported();
    const auto other = temporary();
    manager.add(hovered);
    manager.add(other);
    queue.runFor(4);
    manager.pauseDismissal(hovered.id);
    queue.runFor(30);
    EXPECT_EQ(ids(), (std::vector<Uuid>{hovered.id})) << "the hovered card stays, the other one expired";
    EXPECT_FALSE(fs::exists(other.url));
    EXPECT_TRUE(delegate.calls.empty()) << "expiry needs no delegate";

    manager.resumeDismissal(hovered.id);
    queue.runFor(5.9);
    EXPECT_EQ(manager.items().size(), 1u);
    queue.runFor(0.2);
    EXPECT_TRUE(manager.items().empty());
    EXPECT_FALSE(manager.isVisible());
}

TEST_F(FloatingThumbnailManagerTest, AnnotateWaitsWhileTheEditorIsOpenAndResumesWhenDeclined) {
    const auto item = exported();
    manager.add(item);
    queue.runFor(3);
    EXPECT_TRUE(manager.perform(FloatingThumbnailAction::annotate, item.id));
    queue.runFor(60);
    EXPECT_EQ(manager.items().size(), 1u) << "the card stays while the editor is open";

    const auto declinedItem = exported();
    manager.add(declinedItem);
    delegate.declined.insert(FloatingThumbnailAction::annotate);
    queue.runFor(2);
    EXPECT_FALSE(manager.perform(FloatingThumbnailAction::annotate, declinedItem.id));
    EXPECT_FALSE(manager.timer(declinedItem.id)->isPaused());
    EXPECT_DOUBLE_EQ(manager.timer(declinedItem.id)->remaining(), 8);
    queue.runFor(8.1);
    EXPECT_EQ(ids(), (std::vector<Uuid>{item.id}));
}

TEST_F(FloatingThumbnailManagerTest, SuccessfulActionsRemoveTheCardAndReleaseTemporaryFiles) {
    const auto copied = temporary();
    const auto kept = temporary();
    const auto exportedItem = exported();
    fs::create_directories(exportedItem.url.parent_path());
    std::ofstream(exportedItem.url) << "png";
    manager.add(copied);
    manager.add(kept);
    manager.add(exportedItem);

    EXPECT_TRUE(manager.perform(FloatingThumbnailAction::copy, copied.id));
    EXPECT_FALSE(fs::exists(copied.url));

    delegate.declined.insert(FloatingThumbnailAction::open);
    EXPECT_FALSE(manager.perform(FloatingThumbnailAction::open, kept.id));
    EXPECT_TRUE(fs::exists(kept.url)) << "a declined action changes nothing";

    EXPECT_TRUE(manager.perform(FloatingThumbnailAction::reveal, exportedItem.id));
    EXPECT_TRUE(fs::exists(exportedItem.url)) << "exported files are never the stack's to delete";
    EXPECT_EQ(ids(), (std::vector<Uuid>{kept.id}));
    EXPECT_FALSE(manager.perform(FloatingThumbnailAction::copy, Uuid::generate()));

    manager.setDelegate(nullptr);
    EXPECT_FALSE(manager.perform(FloatingThumbnailAction::delete_, kept.id)) << "nobody to carry it out";
    EXPECT_EQ(manager.items().size(), 1u);
}

TEST_F(FloatingThumbnailManagerTest, DraggingPausesAndEndsInRetainedOrRestartedTimers) {
    const auto dropped = temporary();
    const auto cancelled = exported();
    manager.add(dropped);
    manager.add(cancelled);
    queue.runFor(6);
    manager.beginDragging({dropped.id, cancelled.id});
    queue.runFor(20);
    EXPECT_EQ(manager.items().size(), 2u) << "dragged cards do not expire";

    manager.finishDragging({dropped.id}, true);
    ASSERT_EQ(delegate.calls.size(), 1u);
    EXPECT_EQ(delegate.calls[0].first, FloatingThumbnailAction::retainedAfterDrag);
    EXPECT_EQ(ids(), (std::vector<Uuid>{cancelled.id}));
    EXPECT_TRUE(fs::exists(dropped.url)) << "the receiving application may still be reading it";

    manager.finishDragging({cancelled.id}, false);
    EXPECT_EQ(delegate.calls.size(), 1u);
    EXPECT_DOUBLE_EQ(manager.timer(cancelled.id)->remaining(), 10) << "a failed drop restarts the full delay";
    queue.runFor(9.9);
    EXPECT_EQ(manager.items().size(), 1u);
    queue.runFor(0.2);
    EXPECT_TRUE(manager.items().empty());
}

TEST_F(FloatingThumbnailManagerTest, UpdatingTheConfigurationRestartsTimersWithTheNewDelay) {
    const auto item = exported();
    manager.add(item);
    queue.runFor(8);
    manager.updateConfiguration(FloatingThumbnailPosition::topLeft, 3);
    EXPECT_EQ(manager.position(), FloatingThumbnailPosition::topLeft);
    queue.runFor(2.9);
    EXPECT_EQ(manager.items().size(), 1u) << "the old deadline (10 s) is gone, the new one counts from now";
    queue.runFor(0.2);
    EXPECT_TRUE(manager.items().empty());

    manager.updateConfiguration(FloatingThumbnailPosition::topLeft, 30);
    const auto later = exported();
    manager.add(later);
    queue.runFor(29);
    EXPECT_EQ(manager.items().size(), 1u) << "new cards use the new delay";
}

TEST_F(FloatingThumbnailManagerTest, SuspendingReportsWhetherAnythingShowedAndDismissAllEmptiesTheStack) {
    EXPECT_FALSE(manager.suspendPresentation()) << "an empty stack shows nothing";
    manager.resumePresentation();

    const auto file = temporary();
    manager.add(file);
    manager.add(exported());
    const int before = changes;
    EXPECT_TRUE(manager.suspendPresentation());
    EXPECT_TRUE(manager.isPresentationSuspended());
    EXPECT_FALSE(manager.isVisible());
    EXPECT_FALSE(manager.suspendPresentation()) << "already hidden";
    manager.resumePresentation();
    EXPECT_TRUE(manager.isVisible());
    EXPECT_EQ(changes, before + 2);

    manager.dismissAll();
    EXPECT_TRUE(manager.items().empty());
    EXPECT_FALSE(fs::exists(file.url));
    EXPECT_TRUE(delegate.calls.empty());
    queue.runFor(30); // stale expiries must not touch anything
    EXPECT_TRUE(manager.items().empty());
}

} // namespace
} // namespace brisklet
