#include "ZelvorApp/Control/PinnedScreenshotViewModel.h"
#include "ZelvorCore/Models/AppPreferences.h"

#include <gtest/gtest.h>

namespace brisklet {
namespace {

TEST(PinnedScreenshotViewModel, TheWheelZoomsAroundTheCentreWithinItsLimits) {
    PinnedScreenshotViewModel pin({400, 300}, {{100, 100}, {400, 300}});
    ASSERT_TRUE(pin.wheel(120));
    EXPECT_DOUBLE_EQ(pin.scale(), 1.08);
    EXPECT_EQ(pin.frame(), (Rect{{84, 88}, {432, 324}})) << "grown around the centre (300, 250), on whole points";
    EXPECT_FALSE(pin.wheel(0)) << "a horizontal scroll leaves it";

    for (int i = 0; i < 100; ++i) {
        pin.wheel(120);
    }
    EXPECT_DOUBLE_EQ(pin.scale(), PinnedScreenshotViewModel::maximumScale);
    EXPECT_FALSE(pin.wheel(120)) << "no further than 3";
    EXPECT_EQ(pin.frame().size, (Size{1200, 900}));
    for (int i = 0; i < 100; ++i) {
        pin.wheel(-15);
    }
    EXPECT_DOUBLE_EQ(pin.scale(), PinnedScreenshotViewModel::minimumScale);
    EXPECT_EQ(pin.frame().size, (Size{40, 30}));
    EXPECT_NEAR(pin.frame().midX(), 300, 1) << "the centre stays where it was";
    EXPECT_NEAR(pin.frame().midY(), 250, 1);

    ASSERT_TRUE(pin.resetZoom());
    EXPECT_EQ(pin.frame().size, (Size{400, 300}));
    EXPECT_FALSE(pin.resetZoom()) << "already at its size";
}

TEST(PinnedScreenshotViewModel, StepsUpAndDownReturnToTheSameSizeAndMovesAreKept) {
    PinnedScreenshotViewModel pin({333, 211}, {{0, 0}, {333, 211}});
    for (int i = 0; i < 8; ++i) {
        pin.wheel(120);
    }
    for (int i = 0; i < 8; ++i) {
        pin.wheel(-120);
    }
    EXPECT_DOUBLE_EQ(pin.scale(), 1) << "no drift from adding 0.08 again and again";
    EXPECT_EQ(pin.frame().size, (Size{333, 211}));
    for (int i = 0; i < 60; ++i) {
        pin.wheel(i % 3 == 0 ? -120 : 120);
    }
    EXPECT_NEAR(pin.frame().midX(), 166.5, 0.5) << "rounding each frame never walks the window away";
    EXPECT_NEAR(pin.frame().midY(), 105.5, 0.5);
    const double width = pin.frame().width();
    pin.moveTo({500, 40});
    pin.wheel(120);
    EXPECT_NEAR(pin.frame().midX(), 500 + width / 2, 1) << "zoom is around the moved window";
}

TEST(PinnedScreenshotViewModel, OpacityAndDoubleClickActionsFollowThePreferences) {
    PinnedScreenshotViewModel pin({10, 10}, {{0, 0}, {10, 10}});
    pin.setOpacity(0);
    EXPECT_DOUBLE_EQ(pin.opacity(), PinnedScreenshotViewModel::minimumOpacity) << "never invisible";
    pin.setOpacity(2);
    EXPECT_DOUBLE_EQ(pin.opacity(), 1);
    pin.setOpacity(0.6);
    EXPECT_DOUBLE_EQ(pin.opacity(), 0.6);

    AppPreferences preferences = AppPreferences::defaults();
    EXPECT_EQ(PinnedScreenshotViewModel::doubleClickAction(PinnedWindowButton::left, preferences),
              PinnedMouseDoubleClickAction::close);
    EXPECT_EQ(PinnedScreenshotViewModel::doubleClickAction(PinnedWindowButton::right, preferences),
              PinnedMouseDoubleClickAction::copyAndClose);
    preferences.pinnedLeftDoubleClickAction = PinnedMouseDoubleClickAction::none;
    EXPECT_EQ(PinnedScreenshotViewModel::doubleClickAction(PinnedWindowButton::left, preferences),
              PinnedMouseDoubleClickAction::none);
}

} // namespace
} // namespace brisklet
