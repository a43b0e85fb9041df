#include "Platform/Fake/ManualClock.h"
#include "Platform/Fake/ManualMainQueue.h"
#include "ZelvorApp/Infrastructure/LocalizationStore.h"
#include "ZelvorApp/Recording/GIFPostProcessingModel.h"
#include "ZelvorApp/Recording/GIFTimelineInteraction.h"
#include "ZelvorApp/Recording/GIFTimelineLayout.h"

#include <gtest/gtest.h>

namespace brisklet {
namespace {

/// Ten frames a second for `seconds`, each a different shade.
GIFRecordingDraft draft(double seconds) {
    GIFRecordingDraft result;
    result.fps = 10;
    result.recordingDuration = seconds;
    const int count = static_cast<int>(seconds * 10);
    for (int i = 0; i < count; ++i) {
        Image image(4, 4);
        image.fill(static_cast<std::uint8_t>(i * 7), 0, 0);
        result.frames.push_back({std::make_shared<const Image>(std::move(image)), i * 0.1});
    }
    return result;
}

/// A track 400 points wide from x = 12 to 412, so one point is 1/100 s of a 4 s recording.
class GIFTimelineInteractionTest : public ::testing::Test {
protected:
    Point at(double time, double y = 40) const { return {layout.x(time), y}; }

    ManualClock clock;
    ManualMainQueue mainQueue{clock};
    LocalizationStore localization{[] { return std::vector<std::string>{"en"}; }};
    GIFPostProcessingModel model{draft(4), mainQueue, localization};
    GIFTimelineLayout layout{Rect{{12, 18}, {400, 52}}, 4};
    GIFTimelineInteraction interaction{model};
};

TEST_F(GIFTimelineInteractionTest, LayoutMapsTimesToTheTrackAndPutsHandlesOutsideTheKeptRange) {
    EXPECT_DOUBLE_EQ(layout.x(0), 12);
    EXPECT_DOUBLE_EQ(layout.x(1), 112);
    EXPECT_DOUBLE_EQ(layout.x(9), 412) << "clamped to the recording";
    EXPECT_DOUBLE_EQ(layout.time(212), 2);
    EXPECT_DOUBLE_EQ(layout.time(-50), 0);
    EXPECT_DOUBLE_EQ(layout.time(1000), 4);

    const auto g = layout.geometry(1, 3, 2);
    EXPECT_DOUBLE_EQ(g.startHandle.maxX(), 112 + GIFTimelineLayout::handleReach);
    EXPECT_DOUBLE_EQ(g.startHandle.minX(), 112 - GIFTimelineLayout::handleWidth);
    EXPECT_DOUBLE_EQ(g.endHandle.minX(), 312 - GIFTimelineLayout::handleReach);
    EXPECT_EQ(g.selectionBody, (Rect{{112, 18}, {200, 52}}));
    EXPECT_DOUBLE_EQ(g.playheadKnob.midX(), 212);
    EXPECT_LE(g.playheadKnob.maxY(), g.track.minY()) << "the knob stands above the thumbnails";

    GIFTimelineLayout degenerate(Rect{{0, 0}, {0, 10}}, 0);
    EXPECT_DOUBLE_EQ(degenerate.x(3), 0);
    EXPECT_DOUBLE_EQ(degenerate.time(50), 0);
}

TEST_F(GIFTimelineInteractionTest, DraggingAHandleTrimsWithoutJumpingAndThePlayheadFollows) {
    // Grabbed 5 points right of the start edge, inside the handle's reach.
    EXPECT_EQ(interaction.press({layout.x(0) + 5, 40}, layout), GIFTimelineHitRegion::startHandle);
    EXPECT_DOUBLE_EQ(model.startTime(), 0) << "a press alone changes nothing";
    interaction.drag({layout.x(1) + 5, 40}, layout);
    EXPECT_NEAR(model.startTime(), 1, 1e-9);
    EXPECT_DOUBLE_EQ(model.endTime(), 4);
    EXPECT_DOUBLE_EQ(model.playheadTime(), model.startTime()) << "the preview shows the cut";
    interaction.release();
    interaction.drag(at(3), layout);
    EXPECT_NEAR(model.startTime(), 1, 1e-9) << "no drag after the release";

    EXPECT_EQ(interaction.press({layout.x(4) - 3, 40}, layout), GIFTimelineHitRegion::endHandle);
    interaction.drag({layout.x(2.5) - 3, 40}, layout);
    EXPECT_NEAR(model.endTime(), 2.5, 1e-9);
    EXPECT_DOUBLE_EQ(model.playheadTime(), model.endTime());
    // Dragged far past the start: the handles do not cross, the kept range stays its minimum.
    interaction.drag(at(0.2), layout);
    EXPECT_NEAR(model.endTime() - model.startTime(), GIFPostProcessingModel::kMinimumSelection, 1e-9);
    EXPECT_LE(model.startTime(), 1);
    ASSERT_EQ(model.options().segments.size(), 1u);
    EXPECT_LT(model.options().segments[0].start, model.options().segments[0].end);
}

TEST_F(GIFTimelineInteractionTest, PressesElsewhereScrubAndStopPlayback) {
    model.setSelection(1, 3);
    model.togglePlayback();
    ASSERT_TRUE(model.isPlaying());
    EXPECT_EQ(interaction.press(at(2), layout), GIFTimelineHitRegion::selectionBody);
    EXPECT_FALSE(model.isPlaying());
    EXPECT_NEAR(model.playheadTime(), 2, 1e-9);
    interaction.drag(at(3.5), layout);
    EXPECT_NEAR(model.playheadTime(), 3.5, 1e-9) << "scrubbing may look outside the kept range";
    EXPECT_DOUBLE_EQ(model.startTime(), 1);
    EXPECT_DOUBLE_EQ(model.endTime(), 3);
    interaction.release();

    EXPECT_EQ(interaction.press(at(0.5), layout), GIFTimelineHitRegion::scrubTrack);
    EXPECT_NEAR(model.playheadTime(), 0.5, 1e-9);
    interaction.release();
    EXPECT_EQ(interaction.press({layout.x(0.5), layout.track().minY() - 4}, layout),
              GIFTimelineHitRegion::playheadKnob);
    interaction.drag(at(1.5), layout);
    EXPECT_NEAR(model.playheadTime(), 1.5, 1e-9);
    EXPECT_EQ(interaction.grabbed(), GIFTimelineHitRegion::playheadKnob);
}

TEST_F(GIFTimelineInteractionTest, OnAVeryShortSelectionThePressedSideDecidesTheHandle) {
    model.setSelection(2, 2.04);
    const double middle = (layout.x(2) + layout.x(2.04)) / 2;
    EXPECT_EQ(interaction.press({middle - 2, 40}, layout), GIFTimelineHitRegion::startHandle);
    interaction.release();
    EXPECT_EQ(interaction.press({middle + 2, 40}, layout), GIFTimelineHitRegion::endHandle);
}

TEST_F(GIFTimelineInteractionTest, TextsAndFrameSteppingFollowTheModel) {
    EXPECT_EQ(GIFPostProcessingModel::formatTimestamp(0), "0:00.00");
    EXPECT_EQ(GIFPostProcessingModel::formatTimestamp(75.456), "1:15.46");
    EXPECT_EQ(GIFPostProcessingModel::formatTimestamp(-2), "0:00.00");
    model.setSelection(0.5, 2);
    EXPECT_EQ(model.selectionSummary(), localization.format(L10nKey::recordingSelectionDuration, {1.5, 4.0}));
    EXPECT_NE(model.selectionSummary().find("1.5"), std::string::npos);

    EXPECT_FALSE(model.exportStatusText().has_value());
    EXPECT_TRUE(model.canExport());
    model.beginExport();
    model.updateExportProgress(0.424);
    EXPECT_EQ(model.exportStatusText(), localization.format(L10nKey::recordingExportProgress, {42}));
    EXPECT_FALSE(model.canExport()) << "one export at a time";
    model.finishExportFailure(std::string("The disk is full."));
    EXPECT_EQ(model.exportErrorMessage(), "The disk is full.");
    EXPECT_FALSE(model.isExporting());
    EXPECT_TRUE(model.canExport()) << "a failed export can be tried again";

    model.setPlayheadTime(1.0);
    model.stepPlayhead(1);
    EXPECT_NEAR(model.playheadTime(), 1.1, 1e-9);
    model.stepPlayhead(-1);
    model.stepPlayhead(-1);
    EXPECT_NEAR(model.playheadTime(), 0.9, 1e-9);
    model.setPlayheadTime(3.95);
    model.stepPlayhead(1);
    EXPECT_DOUBLE_EQ(model.playheadTime(), 4) << "past the last frame: the end of the recording";
    model.togglePlayback();
    model.stepPlayhead(-1);
    EXPECT_FALSE(model.isPlaying());
}

} // namespace
} // namespace brisklet
