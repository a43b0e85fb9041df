#include "Platform/Fake/ManualClock.h"
#include "Platform/Fake/ManualMainQueue.h"
#include "ZelvorApp/Selection/SelectionOverlayViewModel.h"
#include "support/CapturedLog.h"

#include <gtest/gtest.h>

namespace brisklet {
namespace {

const Rect screen{{0, 0}, {1280, 800}};

class OverlayTest : public ::testing::Test {
protected:
    std::unique_ptr<SelectionOverlayViewModel> make(SelectionOverlayViewModel::Options options, Rect initial = {}) {
        auto model = std::make_unique<SelectionOverlayViewModel>(options, screen, initial, mainQueue);
        model->onConfirm = [this](Rect rect, std::optional<std::int64_t>) { confirmed.push_back(rect); };
        model->onCancel = [this] { ++cancels; };
        model->onCopyColor = [this](MagnifierColorFormat format) { copies.push_back(format); };
        return model;
    }
    void drag(SelectionOverlayViewModel& model, Point from, Point to) {
        model.mouseDown(from);
        model.mouseDragged({(from.x + to.x) / 2, (from.y + to.y) / 2});
        model.mouseDragged(to);
        model.mouseUp(to);
    }

    testing::CapturedLog log;
    ManualClock clock;
    ManualMainQueue mainQueue{clock};
    std::vector<Rect> confirmed;
    int cancels = 0;
    std::vector<MagnifierColorFormat> copies;
};

TEST_F(OverlayTest, DrawnSelectionShowsTheBarAndReturnConfirmsOnTheNextTurn) {
    auto model = make({});
    drag(*model, {100.4, 100}, {300, 250.6});
    EXPECT_EQ(model->selection(), (Rect{{100.4, 100}, {199.6, 150.6}}));
    EXPECT_TRUE(model->isActionBarVisible());
    EXPECT_TRUE(model->keyDown("RETURN", false));
    EXPECT_TRUE(confirmed.empty());
    mainQueue.drain();
    ASSERT_EQ(confirmed.size(), 1u);
    EXPECT_EQ(confirmed[0], (Rect{{100, 100}, {200, 151}})) << "edges on whole points";
    EXPECT_TRUE(log.mentions("selection overlay visual aids hidden before confirm"));
}

TEST_F(OverlayTest, InvalidSelectionsNeitherConfirmNorShowTheBar) {
    auto model = make({true, true, false, "", 1});
    drag(*model, {100, 100}, {103, 200});
    mainQueue.drain();
    EXPECT_TRUE(confirmed.empty()) << "3 x 100 is not a selection";
    EXPECT_FALSE(model->isActionBarVisible());
    drag(*model, {500, 500}, {524, 504});
    mainQueue.drain();
    EXPECT_EQ(confirmed.size(), 1u) << "24 x 4 is, and confirms on release";
}

TEST_F(OverlayTest, HandlesResizeMovesKeepSizeAndAutoConfirmWaitsForReturnToBeIgnored) {
    auto model = make({});
    drag(*model, {100, 100}, {300, 200});
    // The right handle, pressed 5 points inside the selection, wins over moving.
    drag(*model, {295, 150}, {10, 150});
    EXPECT_EQ(model->selection(), (Rect{{100, 100}, {20, 100}}));
    drag(*model, {110, 120}, {1270, 150});
    EXPECT_EQ(model->selection(), (Rect{{1260, 130}, {20, 100}})) << "moved, kept inside the screen";

    auto autoModel = make({true, true, false, "", 1});
    EXPECT_TRUE(autoModel->keyDown("RETURN", false)) << "swallowed";
    mainQueue.drain();
    EXPECT_TRUE(confirmed.empty());
}

TEST_F(OverlayTest, CornerClickTakesTheWholeScreenOnlyWithAFullScreenShortcut) {
    auto plain = make({});
    drag(*plain, {2, 797}, {2, 797});
    plain->mouseDown({5, 795});
    plain->mouseUp({5, 795});
    mainQueue.drain();
    EXPECT_TRUE(confirmed.empty()) << "without the shortcut a corner click is an ordinary (empty) selection";

    auto armed = make({false, true, true, "⌘A", 1});
    armed->mouseDown({1275, 5});
    armed->mouseUp({1278, 2});
    mainQueue.drain();
    ASSERT_EQ(confirmed.size(), 1u);
    EXPECT_EQ(confirmed[0], screen);
    EXPECT_TRUE(log.mentions("selection full screen source=corner shortcut=⌘A"));

    auto dragged = make({false, true, true, "⌘A", 1});
    drag(*dragged, {5, 5}, {200, 150});
    EXPECT_EQ(dragged->selection(), (Rect{{5, 5}, {195, 145}})) << "a drag from the corner draws a selection";
}

TEST_F(OverlayTest, TheTopCornersReach32PointsDown) {
    auto armed = make({false, true, true, "⌘A", 1});
    armed->mouseDown({6, 775});
    armed->mouseUp({8, 772});
    mainQueue.drain();
    ASSERT_EQ(confirmed.size(), 1u) << "25 points below the top edge, 6 from the left";
    EXPECT_TRUE(log.mentions("selection full screen source=topScreenCornerMonitor"));

    auto bottom = make({false, true, true, "⌘A", 1});
    bottom->mouseDown({6, 25});
    bottom->mouseUp({6, 25});
    mainQueue.drain();
    EXPECT_EQ(confirmed.size(), 1u) << "the bottom corners stay 12 points tall";
}

TEST_F(OverlayTest, RememberedSelectionConfirmsWithOneClickWhenReleaseConfirms) {
    const Rect remembered{{200, 200}, {300, 200}};
    auto model = make({true, true, false, "", 1}, remembered);
    EXPECT_TRUE(model->awaitsRememberedActivation());
    EXPECT_FALSE(model->isActionBarVisible()) << "no bar while the remembered selection waits";
    model->mouseDown({350, 300});
    model->mouseDragged({353, 302});
    model->mouseUp({353, 302});
    mainQueue.drain();
    ASSERT_EQ(confirmed.size(), 1u);
    EXPECT_EQ(confirmed[0], remembered);

    auto moved = make({false, true, false, "", 1}, remembered);
    drag(*moved, {350, 300}, {450, 300});
    mainQueue.drain();
    EXPECT_EQ(confirmed.size(), 1u) << "without confirm-on-release, moving it only moves it";
    EXPECT_EQ(moved->selection(), (Rect{{300, 200}, {300, 200}}));
    EXPECT_TRUE(moved->isActionBarVisible());
}

TEST_F(OverlayTest, KeyboardCopiesColoursTogglesTheFormatAndCancels) {
    auto model = make({});
    model->shiftChanged(true);
    model->shiftChanged(true);
    EXPECT_EQ(model->colorFormat(), MagnifierColorFormat::rgb) << "holding Shift does not toggle again";
    model->shiftChanged(false);
    model->shiftChanged(true);
    EXPECT_EQ(model->colorFormat(), MagnifierColorFormat::hex);
    EXPECT_TRUE(model->keyDown("C", true));
    EXPECT_FALSE(model->keyDown("C", false));
    EXPECT_EQ(copies, std::vector{MagnifierColorFormat::hex});
    EXPECT_FALSE(model->keyDown("X", true));
    EXPECT_TRUE(model->keyDown("ESC", false));
    EXPECT_EQ(cancels, 1);
    drag(*model, {100, 100}, {300, 300});
    model->confirm();
    mainQueue.drain();
    EXPECT_TRUE(confirmed.empty()) << "a cancelled overlay takes no more input";
}

} // namespace
} // namespace brisklet
