#include "ZelvorApp/Editor/EditorToolbarLayout.h"

#include <gtest/gtest.h>

namespace brisklet {
namespace {

using Layout = EditorToolbarLayout;

const Rect screen{{0, 0}, {1280, 800}};
const Size bar{500, 40};
const Size secondaryBar{300, 34};

bool inside(const Rect& inner, const Rect& outer) {
    return inner.minX() >= outer.minX() && inner.maxX() <= outer.maxX() && inner.minY() >= outer.minY() &&
           inner.maxY() <= outer.maxY();
}

bool overlaps(const Rect& a, const Rect& b) {
    return a.minX() < b.maxX() && b.minX() < a.maxX() && a.minY() < b.maxY() && b.minY() < a.maxY();
}

/// The band along the selection's edges where its resize handles are grabbed.
Rect grownBy(const Rect& r, double d) {
    return {{r.minX() - d, r.minY() - d}, {r.width() + 2 * d, r.height() + 2 * d}};
}

TEST(EditorToolbarLayoutTest, SitsBelowTheSelectionCentredWhenThereIsRoom) {
    const Rect selection{{300, 100}, {600, 400}};
    const Rect frame = Layout::frame(selection, screen, bar);
    EXPECT_EQ(frame.size, bar);
    EXPECT_DOUBLE_EQ(frame.midX(), selection.midX());
    EXPECT_DOUBLE_EQ(frame.minY(), selection.maxY() + Layout::selectionGap);
    EXPECT_FALSE(overlaps(frame, grownBy(selection, 8))) << "clear of the handles";
}

TEST(EditorToolbarLayoutTest, FlipsAboveThenInsideWhenTheScreenRunsOut) {
    const Rect nearBottom{{300, 300}, {600, 460}};
    const Rect above = Layout::frame(nearBottom, screen, bar);
    EXPECT_DOUBLE_EQ(above.maxY(), nearBottom.minY() - Layout::selectionGap);
    EXPECT_FALSE(overlaps(above, grownBy(nearBottom, 8)));

    const Rect exactFit{{300, 100},
                        {600, screen.maxY() - 100 - Layout::selectionGap - bar.height - Layout::boundsMargin}};
    EXPECT_DOUBLE_EQ(Layout::frame(exactFit, screen, bar).minY(), exactFit.maxY() + Layout::selectionGap)
        << "a bar that just fits stays below";

    const Rect wholeScreen = screen;
    const Rect insideFrame = Layout::frame(wholeScreen, screen, bar);
    EXPECT_TRUE(inside(insideFrame, wholeScreen));
    EXPECT_DOUBLE_EQ(insideFrame.maxY(), wholeScreen.maxY() - Layout::insideInset);
    EXPECT_FALSE(overlaps(insideFrame, {{0, wholeScreen.maxY() - 8}, {1280, 8}})) << "clear of the bottom handles";

    const Rect pastTheScreen{{100, 20}, {900, 900}};
    EXPECT_TRUE(inside(Layout::frame(pastTheScreen, screen, bar), screen))
        << "a selection running off the screen still gets a visible bar";
}

TEST(EditorToolbarLayoutTest, IsClampedIntoTheBoundsHorizontally) {
    const Rect leftEdge{{0, 100}, {80, 80}};
    const Rect left = Layout::frame(leftEdge, screen, bar);
    EXPECT_DOUBLE_EQ(left.minX(), Layout::boundsMargin);
    const Rect rightEdge{{1200, 100}, {80, 80}};
    EXPECT_DOUBLE_EQ(Layout::frame(rightEdge, screen, bar).maxX(), screen.maxX() - Layout::boundsMargin);

    const Rect secondScreen{{1280, 0}, {1920, 1080}};
    const Rect onSecond = Layout::frame({{1290, 500}, {40, 40}}, secondScreen, bar);
    EXPECT_DOUBLE_EQ(onSecond.minX(), secondScreen.minX() + Layout::boundsMargin)
        << "the bounds of a screen right of the first";
    const Rect narrow{{0, 0}, {300, 800}};
    EXPECT_DOUBLE_EQ(Layout::frame({{10, 10}, {100, 100}}, narrow, bar).minX(), Layout::boundsMargin)
        << "a bar wider than the bounds starts at their left edge";
}

TEST(EditorToolbarLayoutTest, TheSecondaryBarStandsOnTheSideAwayFromTheSelection) {
    const Rect selection{{300, 100}, {600, 400}};
    const auto below = Layout::frames(selection, screen, bar, secondaryBar);
    ASSERT_TRUE(below.secondary);
    EXPECT_EQ(below.primary, Layout::frame(selection, screen, bar));
    EXPECT_DOUBLE_EQ(below.secondary->minY(), below.primary.maxY() + Layout::barSpacing);
    EXPECT_DOUBLE_EQ(below.secondary->midX(), selection.midX());

    const Rect nearBottom{{300, 300}, {600, 440}};
    const auto above = Layout::frames(nearBottom, screen, bar, secondaryBar);
    EXPECT_DOUBLE_EQ(above.primary.maxY(), nearBottom.minY() - Layout::selectionGap);
    EXPECT_DOUBLE_EQ(above.secondary->maxY(), above.primary.minY() - Layout::barSpacing);

    const auto full = Layout::frames(screen, screen, bar, secondaryBar);
    EXPECT_DOUBLE_EQ(full.primary.maxY(), screen.maxY() - Layout::insideInset);
    EXPECT_DOUBLE_EQ(full.secondary->maxY(), full.primary.minY() - Layout::barSpacing)
        << "inside, away from the bottom edge";
    EXPECT_FALSE(Layout::frames(selection, screen, bar, std::nullopt).secondary);
}

TEST(EditorToolbarLayoutTest, ThePairMovesAsOneBlockWhenOnlyThePrimaryBarWouldFit) {
    // Room below for the primary bar alone, not for both.
    const double bottom = screen.maxY() - Layout::boundsMargin - Layout::selectionGap - bar.height - 10;
    const Rect selection{{300, 300}, {600, bottom - 300}};
    EXPECT_GT(Layout::frame(selection, screen, bar).minY(), selection.maxY());
    const auto pair = Layout::frames(selection, screen, bar, secondaryBar);
    EXPECT_LT(pair.primary.maxY(), selection.minY());
    EXPECT_LT(pair.secondary->maxY(), pair.primary.minY());
    EXPECT_TRUE(inside(*pair.secondary, screen));
}

TEST(EditorToolbarLayoutTest, APopoverOpensBelowItsAnchorElseAboveAndStaysOnScreen) {
    const Size panel{240, 150};
    const Rect button{{600, 300}, {30, 30}};
    const Rect below = Layout::popoverFrame(button, screen, panel);
    EXPECT_DOUBLE_EQ(below.minY(), button.maxY() + Layout::popoverGap);
    EXPECT_DOUBLE_EQ(below.midX(), button.midX());

    const Rect low{{600, 700}, {30, 30}};
    EXPECT_DOUBLE_EQ(Layout::popoverFrame(low, screen, panel).maxY(), low.minY() - Layout::popoverGap);
    const Rect corner{{1260, 700}, {20, 30}};
    EXPECT_TRUE(inside(Layout::popoverFrame(corner, screen, panel), screen));
    const Rect tiny{{0, 0}, {300, 120}};
    EXPECT_DOUBLE_EQ(Layout::popoverFrame({{10, 10}, {30, 30}}, tiny, panel).minY(), Layout::boundsMargin)
        << "with room on neither side it is pinned to the top";
}

} // namespace
} // namespace brisklet
