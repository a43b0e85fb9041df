#include "ZelvorApp/Capture/WindowPickerViewModel.h"

#include <gtest/gtest.h>

#include <memory>

namespace brisklet {
namespace {

using Key = WindowPickerViewModel::Key;

CapturedWindowInfo window(std::int64_t id, Rect bounds = Rect{{0, 0}, {400, 300}}) {
    CapturedWindowInfo info;
    info.id = id;
    info.title = "Window " + std::to_string(id);
    info.ownerName = "Owner";
    info.bounds = bounds;
    return info;
}

std::vector<std::int64_t> ids(const WindowPickerViewModel& model) {
    std::vector<std::int64_t> result;
    for (const CapturedWindowInfo& w : model.windows()) {
        result.push_back(w.id);
    }
    return result;
}

class WindowPickerViewModelTest : public ::testing::Test {
protected:
    std::unique_ptr<WindowPickerViewModel> make(std::vector<CapturedWindowInfo> windows) {
        return std::make_unique<WindowPickerViewModel>(
            std::move(windows), WindowPickerViewModel::Handlers{[this](CapturedWindowInfo w) { picked_.push_back(w); },
                                                                [this] { ++cancels_; }});
    }

    std::vector<CapturedWindowInfo> picked_;
    int cancels_ = 0;
};

TEST_F(WindowPickerViewModelTest, FrontWindowStartsSelectedSoReturnRecordsIt) {
    auto model = make({window(7), window(3)});
    EXPECT_EQ(model->selectedID(), 7);
    EXPECT_TRUE(model->canConfirm());
    EXPECT_TRUE(model->handleKey(Key::confirm));
    ASSERT_EQ(picked_.size(), 1u);
    EXPECT_EQ(picked_[0], window(7));
    EXPECT_EQ(cancels_, 0);
}

TEST_F(WindowPickerViewModelTest, ArrowsHomeAndEndMoveTheSelectionWithinTheList) {
    auto model = make({window(1), window(2), window(3)});
    int changes = 0;
    model->onChange = [&changes] { ++changes; };
    EXPECT_TRUE(model->handleKey(Key::down));
    EXPECT_TRUE(model->handleKey(Key::down));
    EXPECT_EQ(model->selectedIndex(), 2u);
    model->handleKey(Key::down);
    EXPECT_EQ(model->selectedID(), 3) << "Down stops at the last row";
    model->handleKey(Key::home);
    EXPECT_EQ(model->selectedID(), 1);
    model->handleKey(Key::up);
    EXPECT_EQ(model->selectedID(), 1) << "Up stops at the first row";
    model->handleKey(Key::end);
    model->handleKey(Key::up);
    EXPECT_EQ(model->selectedID(), 2);
    // Moves that land where the selection already was do not redraw.
    EXPECT_EQ(changes, 5);
    model->handleKey(Key::confirm);
    ASSERT_EQ(picked_.size(), 1u);
    EXPECT_EQ(picked_[0].id, 2);
}

TEST_F(WindowPickerViewModelTest, AnEmptyListHasNothingToConfirmButCancels) {
    auto model = make({});
    EXPECT_EQ(model->selectedID(), std::nullopt);
    EXPECT_FALSE(model->canConfirm());
    EXPECT_FALSE(model->handleKey(Key::down));
    EXPECT_FALSE(model->handleKey(Key::confirm));
    model->confirm();
    EXPECT_TRUE(picked_.empty());
    EXPECT_TRUE(model->handleKey(Key::cancel));
    EXPECT_EQ(cancels_, 1);
}

TEST_F(WindowPickerViewModelTest, ClicksSelectAndDoubleClicksPickTheirRow) {
    auto model = make({window(1), window(2), window(3)});
    model->select(99);
    EXPECT_EQ(model->selectedID(), 1) << "an id that is not listed changes nothing";
    model->select(3);
    EXPECT_EQ(model->selectedID(), 3);
    model->activate(99);
    EXPECT_TRUE(picked_.empty());
    model->activate(2);
    ASSERT_EQ(picked_.size(), 1u);
    EXPECT_EQ(picked_[0].id, 2);
}

TEST_F(WindowPickerViewModelTest, TheChoiceEndsExactlyOnce) {
    auto picking = make({window(1), window(2)});
    picking->confirm();
    picking->confirm();
    picking->cancel();
    EXPECT_FALSE(picking->handleKey(Key::cancel));
    EXPECT_FALSE(picking->handleKey(Key::down));
    picking->activate(2);
    picking->setWindows({window(5)});
    EXPECT_EQ(picked_.size(), 1u);
    EXPECT_EQ(cancels_, 0);
    EXPECT_FALSE(picking->canConfirm());
    EXPECT_EQ(ids(*picking), (std::vector<std::int64_t>{1, 2})) << "a finished picker takes no new list";

    auto cancelling = make({window(1)});
    cancelling->cancel();
    cancelling->cancel();
    cancelling->confirm();
    EXPECT_EQ(cancels_, 1);
    EXPECT_EQ(picked_.size(), 1u);
}

TEST_F(WindowPickerViewModelTest, AHandlerMayDestroyThePickerThatCalledIt) {
    std::unique_ptr<WindowPickerViewModel> model;
    std::int64_t pickedID = 0;
    WindowPickerViewModel::Handlers handlers;
    handlers.onPick = [&](CapturedWindowInfo w) {
        model.reset();
        pickedID = w.id;
    };
    model = std::make_unique<WindowPickerViewModel>(std::vector<CapturedWindowInfo>{window(4)}, std::move(handlers));
    model->handleKey(Key::confirm);
    EXPECT_EQ(model, nullptr);
    EXPECT_EQ(pickedID, 4);
}

TEST_F(WindowPickerViewModelTest, RefreshedListsKeepRowsInPlaceAndAppendNewcomers) {
    auto model = make({window(1), window(2), window(3)});
    model->select(2);
    CapturedWindowInfo moved = window(2, Rect{{50, 60}, {400, 300}});
    moved.title = "Renamed";
    // The window server now has 3 in front and a new window 4 behind 2; 1 closed.
    model->setWindows({window(3), window(4), moved});
    EXPECT_EQ(ids(*model), (std::vector<std::int64_t>{2, 3, 4}));
    EXPECT_EQ(model->windows()[0], moved) << "a kept row shows the window's new title and bounds";
    EXPECT_EQ(model->selectedID(), 2);
    EXPECT_EQ(model->selectedIndex(), 0u);
}

TEST_F(WindowPickerViewModelTest, TheSuggestionMovesOnButAVanishedChoiceIsNotReplaced) {
    auto suggested = make({window(1), window(2)});
    suggested->setWindows({window(2), window(3)});
    EXPECT_EQ(suggested->selectedID(), 2) << "the suggested front window closed: the new first row is suggested";

    auto emptyAtFirst = make({});
    emptyAtFirst->setWindows({window(8)});
    EXPECT_EQ(emptyAtFirst->selectedID(), 8);

    auto chosen = make({window(1), window(2), window(3)});
    chosen->handleKey(Key::down);
    chosen->setWindows({window(1), window(3)});
    EXPECT_EQ(chosen->selectedID(), std::nullopt);
    EXPECT_FALSE(chosen->canConfirm());
    EXPECT_FALSE(chosen->handleKey(Key::confirm));
    chosen->setWindows({window(1), window(3), window(4)});
    EXPECT_EQ(chosen->selectedID(), std::nullopt) << "later refreshes do not bring a suggestion back";
    chosen->handleKey(Key::down);
    EXPECT_EQ(chosen->selectedID(), 1) << "Down from nothing starts at the top";
    chosen->select(4);
    chosen->setWindows({window(1), window(3)});
    chosen->handleKey(Key::up);
    EXPECT_EQ(chosen->selectedID(), 3) << "Up from nothing starts at the bottom";
    EXPECT_TRUE(picked_.empty());
}

TEST_F(WindowPickerViewModelTest, OnlyWindowsClearOfThePickerCanRefreshTheirThumbnails) {
    const Rect picker{{400, 200}, {520, 420}};
    auto model = make({window(1, Rect{{0, 0}, {400, 300}}),       // touches the picker's left edge
                       window(2, Rect{{300, 100}, {200, 200}}),   // overlaps its top-left corner
                       window(3, Rect{{500, 300}, {100, 100}}),   // lies underneath it
                       window(4, Rect{{920, 620}, {300, 120}}),   // starts at its bottom-right corner
                       window(5, Rect{{150, 400}, {252, 200}})}); // reaches 2 points under it
    EXPECT_EQ(model->windowsClearOf(picker), (std::vector<std::int64_t>{1, 4}));
}

} // namespace
} // namespace brisklet
