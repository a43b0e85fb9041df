#include "Platform/Fake/ScriptedDisplayServer.h"
#include "Platform/Fake/ScriptedWindowList.h"
#include "ZelvorApp/Capture/WindowEnumerator.h"
#include "ZelvorApp/Infrastructure/LocalizationStore.h"
#include "ZelvorCore/Foundation/JsonCoding.h"

#include <gtest/gtest.h>

namespace brisklet {
namespace {

WindowServerWindow window(std::uint32_t number, const Rect& bounds, std::string name = "Doc", std::int32_t pid = 100) {
    WindowServerWindow w;
    w.number = number;
    w.name = std::move(name);
    w.ownerName = "Editor";
    w.ownerPID = pid;
    w.bounds = bounds;
    return w;
}

class WindowEnumeratorTest : public ::testing::Test {
protected:
    std::vector<std::int64_t> ids(std::optional<std::int32_t> excluded = 42) const {
        std::vector<std::int64_t> result;
        for (const CapturedWindowInfo& info : enumerator_.systemWindows(excluded)) {
            result.push_back(info.id);
        }
        return result;
    }

    ScriptedWindowList list_;
    LocalizationStore localization_{[] { return std::vector<std::string>{"en"}; }};
    WindowEnumerator enumerator_{list_, localization_, [] { return std::int64_t{4242}; }};
};

TEST_F(WindowEnumeratorTest, OnlyLargeVisibleNormalWindowsOfOthersAreListedInOrder) {
    WindowServerWindow narrow = window(2, Rect{{0, 0}, {119, 800}});
    WindowServerWindow square = window(3, Rect{{0, 0}, {120, 120}});
    WindowServerWindow faint = window(4, Rect{{0, 0}, {300, 300}});
    faint.alpha = 0.05;
    WindowServerWindow barelyVisible = window(5, Rect{{0, 0}, {300, 300}});
    barelyVisible.alpha = 0.06;
    WindowServerWindow dock = window(6, Rect{{0, 0}, {1920, 40}});
    dock.layer = 20;
    WindowServerWindow own = window(7, Rect{{0, 0}, {500, 500}}, "Brisklet", 42);
    own.layer = 3;
    WindowServerWindow ownNormal = window(8, Rect{{0, 0}, {500, 500}}, "Brisklet editor", 42);
    WindowServerWindow secret = window(9, Rect{{0, 0}, {500, 500}});
    secret.isShareable = false;
    WindowServerWindow noBounds = window(10, Rect{});
    noBounds.bounds.reset();
    list_.setWindows({window(1, Rect{{0, 0}, {800, 600}}), narrow, square, faint, barelyVisible, dock, own, ownNormal,
                      secret, noBounds});
    EXPECT_EQ(ids(), (std::vector<std::int64_t>{1, 3, 5}));
    EXPECT_EQ(ids(std::nullopt), (std::vector<std::int64_t>{1, 3, 5, 8}));
}

TEST_F(WindowEnumeratorTest, MissingNamesAndNumbersGetFallbacks) {
    WindowServerWindow untitled = window(0, Rect{{10, 20}, {300, 200}}, "");
    WindowServerWindow orphan = window(11, Rect{{10, 20}, {300, 200}});
    orphan.ownerName.reset();
    orphan.ownerPID.reset();
    list_.setWindows({untitled, orphan});
    const auto windows = enumerator_.systemWindows(42);
    ASSERT_EQ(windows.size(), 2u);
    EXPECT_EQ(windows[0].id, 4242);
    EXPECT_EQ(windows[0].title, "Editor");
    EXPECT_EQ(windows[0].bounds, (Rect{{10, 20}, {300, 200}}));
    EXPECT_EQ(windows[1].ownerName, localization_.text(L10nKey::windowPickerUnknownApp));
    EXPECT_EQ(windows[1].title, "Doc");
    EXPECT_FALSE(windows[1].ownerPID);
}

TEST_F(WindowEnumeratorTest, FrontmostWindowIsTheFirstContainingThePoint) {
    list_.setWindows({window(1, Rect{{100, 100}, {200, 200}}), window(2, Rect{{0, 0}, {500, 500}})});
    EXPECT_EQ(enumerator_.frontmostWindow(Point{150, 150}, 42)->id, 1);
    EXPECT_EQ(enumerator_.frontmostWindow(Point{50, 50}, 42)->id, 2);
    EXPECT_FALSE(enumerator_.frontmostWindow(Point{600, 50}, 42));
}

TEST(WindowEnumeratorGeometryTest, CaptureRectFlipsTheOverlapAndBestScreenPicksTheLargestOverlap) {
    const Rect primary{{0, 0}, {1000, 800}};
    // 100 points from the top of an 800-point screen: the desktop rectangle starts at 800 - 300.
    EXPECT_EQ(WindowEnumerator::captureRect(Rect{{50, 100}, {400, 200}}, primary), (Rect{{50, 500}, {400, 200}}));
    EXPECT_EQ(WindowEnumerator::captureRect(Rect{{900.5, 700}, {300, 300}}, primary), (Rect{{900, 0}, {100, 100}}));
    EXPECT_TRUE(WindowEnumerator::captureRect(Rect{{2000, 0}, {100, 100}}, primary).isEmpty());

    const auto left = ScriptedDisplayServer::screen(1, primary, true);
    const auto right = ScriptedDisplayServer::screen(2, Rect{{1000, 0}, {1000, 800}});
    EXPECT_EQ(WindowEnumerator::bestScreen(Rect{{900, 0}, {300, 300}}, {left, right})->displayID, 2u);
    EXPECT_EQ(WindowEnumerator::bestScreen(Rect{{5000, 0}, {300, 300}}, {left})->displayID, 1u);
    EXPECT_FALSE(WindowEnumerator::bestScreen(Rect{{0, 0}, {300, 300}}, {}));
}

TEST(CapturedWindowInfoTest, JsonRoundTripsAndRejectsBadProcessIdentifiers) {
    const CapturedWindowInfo info{12, "Notes", "Editor", 77, Rect{{1, 2}, {300, 400}}};
    CapturedWindowInfo back;
    read(write(info), back);
    EXPECT_EQ(back, info);
    EXPECT_EQ(write(info)["bounds"]["width"], 300);
    Json bad = write(info);
    bad["ownerPID"] = -3;
    EXPECT_ANY_THROW(read(bad, back));
}

} // namespace
} // namespace brisklet
