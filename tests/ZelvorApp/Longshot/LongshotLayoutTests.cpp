#include "LongshotTestSupport.h"

#include "ZelvorApp/Longshot/BorderHighlightModel.h"
#include "ZelvorApp/Longshot/LongshotPreviewLayout.h"
#include "ZelvorApp/Longshot/LongshotPreviewModel.h"

#include <gtest/gtest.h>

namespace brisklet {
namespace {

using namespace testing_support;

constexpr Rect visible{{0, 0}, {1920, 1050}};

TEST(LongshotPreviewLayoutTest, PrefersTheRightSideCentredOnTheSelection) {
    const Rect selection{{300, 200}, {800, 600}};
    const auto frame = LongshotPreviewLayout::frame(selection, visible);
    ASSERT_TRUE(frame);
    EXPECT_EQ(*frame, (Rect{{1112, 305}, {246, 390}}));
}

TEST(LongshotPreviewLayoutTest, FallsBackToTheLeftBelowAndAboveInThatOrder) {
    const Rect wideRight{{1500, 200}, {400, 600}}; // no room on the right
    EXPECT_EQ(LongshotPreviewLayout::frame(wideRight, visible), (Rect{{1242, 305}, {246, 390}}));

    const Rect wide{{100, 500}, {1720, 300}}; // no room at either side: below (y grows upwards)
    EXPECT_EQ(LongshotPreviewLayout::frame(wide, visible), (Rect{{837, 98}, {246, 390}}));

    const Rect low{{100, 50}, {1720, 300}}; // no room below either: above
    EXPECT_EQ(LongshotPreviewLayout::frame(low, visible), (Rect{{837, 362}, {246, 390}}));
}

TEST(LongshotPreviewLayoutTest, ACandidateIsClampedIntoTheVisibleFrame) {
    const Rect nearTop{{300, 900}, {400, 140}}; // centred on it, the preview would leave the screen
    const auto frame = LongshotPreviewLayout::frame(nearTop, visible);
    ASSERT_TRUE(frame);
    EXPECT_EQ(*frame, (Rect{{712, 660}, {246, 390}}));
}

TEST(LongshotPreviewLayoutTest, TheControlBarIsAvoidedAndNoSafeSpaceHidesThePreview) {
    CapturedLog log;
    const Rect selection{{300, 200}, {800, 600}};
    const Rect controlBar{{1100, 400}, {300, 60}};
    const auto frame = LongshotPreviewLayout::frame(selection, visible, LongshotPreviewLayout::contentSize, controlBar);
    ASSERT_TRUE(frame);
    EXPECT_EQ(frame->origin.x, 300 - 12 - 246) << "the right side would cover the control bar";

    const Rect everything{{20, 20}, {1880, 1010}};
    EXPECT_FALSE(LongshotPreviewLayout::frame(everything, visible));
    EXPECT_EQ(log.lines(), std::vector<std::string>{"longshot preview hidden reason=noSafeSpaceOutsideSelection"});
}

TEST(BorderHighlightModelTest, TheLineIsStrokedInsideTheBoundsAndTheWindowSurroundsTheRegion) {
    EXPECT_EQ(BorderHighlightModel::strokeRect(Rect{{0, 0}, {812, 512}}), (Rect{{1.5, 1.5}, {809, 509}}));
    const Rect region{{100, 300}, {800, 500}};
    EXPECT_EQ(BorderHighlightModel::windowFrame(region), (Rect{{94, 294}, {812, 512}}));
    EXPECT_EQ(BorderHighlightModel::region(BorderHighlightModel::windowFrame(region)), region);
}

TEST(BorderHighlightModelTest, DraggingMovesTheWindowByThePointersOffsetAndReportsTheRegion) {
    BorderHighlightModel border;
    EXPECT_EQ(border.cursor(), BorderHighlightModel::Cursor::arrow);
    EXPECT_FALSE(border.mouseDown({10, 10}, Rect{{94, 294}, {812, 512}})) << "without a handler presses are ignored";
    EXPECT_FALSE(border.mouseDragged({30, 40}));

    std::vector<Rect> regions;
    border.setOnMove([&](const Rect& region) { regions.push_back(region); });
    EXPECT_EQ(border.cursor(), BorderHighlightModel::Cursor::openHand);
    ASSERT_TRUE(border.mouseDown({500, 500}, Rect{{94, 294}, {812, 512}}));
    EXPECT_EQ(border.mouseDragged({520, 470}), (Rect{{114, 264}, {812, 512}}));
    EXPECT_EQ(border.mouseDragged({510, 510}), (Rect{{104, 304}, {812, 512}})) << "always from the press";
    EXPECT_EQ(regions, (std::vector<Rect>{Rect{{120, 270}, {800, 500}}, Rect{{110, 310}, {800, 500}}}));
    border.mouseUp();
    EXPECT_FALSE(border.mouseDragged({600, 600}));
    EXPECT_EQ(regions.size(), 2u);
}

TEST(LongshotPreviewModelTest, UpdatesAndClearsAndTellsItsObservers) {
    LongshotPreviewModel model;
    int told = 0;
    const int token = model.addObserver([&](const LongshotPreviewModel&) { ++told; });
    model.update(LongshotPreviewSnapshot{Image(22, 32), 4, 1800});
    EXPECT_EQ(model.frameCount(), 4);
    EXPECT_EQ(model.pixelHeight(), 1800);
    ASSERT_TRUE(model.image());
    EXPECT_EQ(model.image()->width(), 22);
    model.clear();
    EXPECT_FALSE(model.image());
    EXPECT_EQ(told, 2);
    model.removeObserver(token);
    model.update(LongshotPreviewSnapshot{Image(1, 1), 1, 1});
    EXPECT_EQ(told, 2);
}

} // namespace
} // namespace brisklet
