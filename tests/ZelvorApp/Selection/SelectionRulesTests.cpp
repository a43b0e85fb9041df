#include "ZelvorApp/Selection/RememberedSelectionPolicy.h"
#include "ZelvorApp/Selection/SelectionGeometry.h"
#include "ZelvorApp/Selection/SelectionOverlayLayout.h"
#include "ZelvorApp/Selection/SelectionOverlaySnapshotConfirmationPolicy.h"

#include <gtest/gtest.h>

namespace brisklet {
namespace {

const Rect bounds{{0, 0}, {1280, 800}};

TEST(SelectionGeometryTest, ValiditySizes) {
    EXPECT_FALSE(SelectionGeometry::isValidSelection({{10, 10}, {3, 100}}));
    EXPECT_TRUE(SelectionGeometry::isValidSelection({{10, 10}, {4, 24}}));
    EXPECT_TRUE(SelectionGeometry::isValidSelection({{10, 10}, {24, -4}})) << "judged after standardising";
    EXPECT_FALSE(SelectionGeometry::isValidSelection({{10, 10}, {23, 23}}));
    EXPECT_FALSE(SelectionGeometry::isValidSelection({}));
}

TEST(SelectionGeometryTest, HandlesAreHitInOrderAndBeatTheInside) {
    const Rect selection{{100, 100}, {200, 100}};
    const auto squares = SelectionGeometry::handleRects(selection, 2);
    EXPECT_EQ(squares[0], (Rect{{96, 96}, {8, 8}}));
    EXPECT_EQ(squares[3], (Rect{{296, 146}, {8, 8}}));
    // 9 points inside the left edge: within the grown left handle (96-6 … 104+6), though inside.
    EXPECT_EQ(SelectionGeometry::hitHandle({109, 150}, selection, 2), SelectionHandle::left);
    EXPECT_EQ(SelectionGeometry::hitHandle({200, 100}, selection, 2), SelectionHandle::top);
    EXPECT_EQ(SelectionGeometry::hitHandle({301, 203}, selection, 2), SelectionHandle::bottomRight);
    EXPECT_EQ(SelectionGeometry::hitHandle({200, 150}, selection, 2), std::nullopt);
    EXPECT_EQ(SelectionGeometry::hitHandle({100, 100}, Rect{}, 2), std::nullopt);
    // Half-pixel handle origins at scale 2 stay on the pixel grid.
    const auto odd = SelectionGeometry::handleRects({{10, 10}, {31, 31}}, 2);
    EXPECT_EQ(odd[1].origin.x, 21.5);
}

TEST(SelectionGeometryTest, DraggingCreatesMovesAndResizesInsideTheScreen) {
    EXPECT_EQ(SelectionGeometry::created({100, 100}, {40, 160}, bounds), (Rect{{40, 100}, {60, 60}}));
    EXPECT_EQ(SelectionGeometry::created({100, 100}, {-50, 900}, bounds), (Rect{{0, 100}, {100, 700}}));
    const Rect selection{{100, 100}, {200, 100}};
    EXPECT_EQ(SelectionGeometry::moved(selection, {1250, 50}, {10, 10}, bounds), (Rect{{1080, 40}, {200, 100}}));
    // The right edge pulled past the left one stops 20 points before it.
    EXPECT_EQ(SelectionGeometry::resized(selection, SelectionHandle::right, {20, 150}, bounds),
              (Rect{{100, 100}, {20, 100}}));
    EXPECT_EQ(SelectionGeometry::resized(selection, SelectionHandle::topLeft, {50, 60}, bounds),
              (Rect{{50, 60}, {250, 140}}));
    EXPECT_EQ(SelectionGeometry::resized(selection, SelectionHandle::bottom, {999, 2000}, bounds),
              (Rect{{100, 100}, {200, 700}}))
        << "a side handle moves only its edge, and not past the screen";
}

TEST(SelectionLayoutTest, ActionBarGoesBelowElseBeside) {
    const Size bar{176, 42};
    EXPECT_EQ(OverlayAccessoryLayout::frame({{500, 300}, {200, 100}}, bounds, bar), (Rect{{512, 246}, bar}));
    // Too close to the bottom: beside, on the right.
    EXPECT_EQ(OverlayAccessoryLayout::frame({{500, 20}, {200, 100}}, bounds, bar), (Rect{{712, 0}, bar}));
    // No room on the right either: on the left.
    EXPECT_EQ(OverlayAccessoryLayout::frame({{1000, 20}, {200, 100}}, bounds, bar), (Rect{{812, 0}, bar}));
    // The whole screen selected: centred, inside the screen.
    EXPECT_EQ(OverlayAccessoryLayout::frame(bounds, bounds, bar), (Rect{{552, 0}, bar}));
}

TEST(SelectionLayoutTest, MagnifierFlipsAwayFromTheEdges) {
    EXPECT_EQ(MagnifierLayout::frame({100, 100}, bounds), (Rect{{116, 116}, {136, 176}}));
    EXPECT_EQ(MagnifierLayout::frame({1270, 100}, bounds), (Rect{{1118, 116}, {136, 176}}));
    EXPECT_EQ(MagnifierLayout::frame({100, 790}, bounds), (Rect{{116, 598}, {136, 176}}));
    EXPECT_EQ(MagnifierLayout::frame({2, 2}, bounds), (Rect{{18, 18}, {136, 176}}));
}

TEST(SelectionLayoutTest, TargetScreenSharesMostArea) {
    const std::vector<Rect> screens{{{0, 0}, {1280, 800}}, {{1280, 0}, {1920, 1080}}};
    EXPECT_EQ(SelectionOverlayTargetScreenPolicy::bestFrame({{1200, 100}, {200, 100}}, screens), screens[1]);
    EXPECT_EQ(SelectionOverlayTargetScreenPolicy::bestFrame({{1180, 100}, {200, 100}}, screens), screens[0])
        << "equal areas: the earlier screen";
    EXPECT_EQ(SelectionOverlayTargetScreenPolicy::bestFrame({{5000, 0}, {10, 10}}, screens), std::nullopt);
}

TEST(SelectionPoliciesTest, SnapshotConfirmation) {
    using P = SelectionOverlaySnapshotConfirmationPolicy;
    using A = P::Action;
    EXPECT_EQ(P::decide({true, true, false, true, true, false}), A::completeWithAvailableSnapshot);
    EXPECT_EQ(P::decide({false, true, true, true, true, false}), A::completeWithAvailableSnapshot);
    EXPECT_EQ(P::decide({false, true, false, true, true, false}), A::waitForInFlightCapture);
    EXPECT_EQ(P::decide({false, true, false, false, true, false}), A::startCaptureAndWait);
    EXPECT_EQ(P::decide({false, true, false, false, false, true}), A::completeNow);
    EXPECT_EQ(P::decide({false, false, false, false, true, true}), A::completeWithAvailableSnapshot);
    EXPECT_EQ(P::decide({false, false, false, true, true, false}), A::completeNow);
    EXPECT_EQ(toString(A::startCaptureAndWait), "startCaptureAndWait");
}

TEST(SelectionPoliciesTest, RememberedSelectionOnlyOnItsDisplayAndOnlyWhenValid) {
    const Rect screen{{1280, 0}, {1920, 1080}};
    const Rect view{{0, 0}, {1920, 1080}};
    const RememberedSelectionArea area{2, {{1380.4, 100}, {300, 200.2}}};
    EXPECT_EQ(RememberedSelectionPolicy::initialSelectionRect(area, 2, screen, view), (Rect{{100, 100}, {301, 201}}));
    EXPECT_EQ(RememberedSelectionPolicy::initialSelectionRect(area, 3, screen, view), Rect{});
    EXPECT_EQ(RememberedSelectionPolicy::initialSelectionRect(area, std::nullopt, screen, view), Rect{});
    EXPECT_EQ(RememberedSelectionPolicy::initialSelectionRect(std::nullopt, 2, screen, view), Rect{});
    // Cut by the screen's edge down to 3 points wide: ignored.
    const RememberedSelectionArea edge{std::nullopt, {{3197, 100}, {300, 300}}};
    EXPECT_EQ(RememberedSelectionPolicy::initialSelectionRect(edge, std::nullopt, screen, view), Rect{});
}

} // namespace
} // namespace brisklet
