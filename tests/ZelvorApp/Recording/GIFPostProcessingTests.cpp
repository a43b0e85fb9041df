#include "Platform/Fake/FakeBackgroundRenderer.h"
#include "Platform/Fake/ManualClock.h"
#include "Platform/Fake/ManualMainQueue.h"
#include "ZelvorApp/Background/BackgroundLayout.h"
#include "ZelvorApp/Infrastructure/LocalizationStore.h"
#include "ZelvorApp/Recording/GIFPostProcessingModel.h"
#include "ZelvorApp/Recording/GIFPostProcessor.h"
#include "ZelvorApp/Recording/GIFTimelineHitTester.h"
#include "ZelvorApp/Recording/GIFTimelinePreviewResolver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace brisklet {
namespace {

std::shared_ptr<const Image> solid(std::uint8_t r, int w = 6, int h = 4) {
    Image image(w, h);
    image.fill(r, 0, 0);
    return std::make_shared<const Image>(std::move(image));
}

GIFTrimSegment segment(double start, double end) {
    return GIFTrimSegment{Uuid::generate(), start, end};
}

std::vector<CapturedGIFFrame> tenFramesPerSecond(int count) {
    std::vector<CapturedGIFFrame> frames;
    for (int i = 0; i < count; ++i)
        frames.push_back({solid(static_cast<std::uint8_t>(i)), i * 0.1});
    return frames;
}

TEST(GIFPostProcessorTest, NormalizesSegments) {
    const auto normalized =
        GIFPostProcessor::normalizedSegments({segment(3, 2), segment(-1, 0.005), segment(0.5, 1), segment(4, 9)}, 5);
    ASSERT_EQ(normalized.size(), 3u);
    EXPECT_DOUBLE_EQ(normalized[0].start, 0.5);
    EXPECT_DOUBLE_EQ(normalized[1].start, 2);
    EXPECT_DOUBLE_EQ(normalized[1].end, 3);
    EXPECT_DOUBLE_EQ(normalized[2].end, 5);
    EXPECT_TRUE(GIFPostProcessor::normalizedSegments({segment(1, 2)}, -3).empty());
}

TEST(GIFPostProcessorTest, KeepsGridFramesInsideSegmentsInSegmentOrder) {
    const auto frames = tenFramesPerSecond(10);
    GIFPostProcessingOptions options;
    options.segments = {segment(0.6, 0.8), segment(0.1, 0.2), segment(0.15, 0.3)};
    const auto processed = GIFPostProcessor::processedFrames(frames, 10, 1.0, options);
    std::vector<double> times;
    for (const auto& f : processed)
        times.push_back(std::round(f.originalTimestamp * 10) / 10);
    // Sorted by start: [0.1,0.2] then [0.15,0.3] (0.2 twice) then [0.6,0.8].
    EXPECT_EQ(times, (std::vector<double>{0.1, 0.2, 0.2, 0.3, 0.6, 0.7, 0.8}));
    EXPECT_EQ(processed.front().image, frames[1].image);
    EXPECT_DOUBLE_EQ(processed.front().delay, 0.1);

    EXPECT_EQ(GIFPostProcessor::processedFrames(frames, 10, 1.0, GIFPostProcessingOptions::none()).size(), 10u);
    // A selection between grid slots keeps nothing, so the whole recording is exported instead.
    options.segments = {segment(0.42, 0.48)};
    EXPECT_EQ(GIFPostProcessor::processedFrames(frames, 10, 1.0, options).size(), 10u);
    EXPECT_TRUE(GIFPostProcessor::processedFrames({}, 10, 1.0, options).empty());
    EXPECT_EQ(GIFPostProcessor::exportPlan(frames, 10, 1.0, options).size(), 10u);
}

TEST(GIFTimelinePreviewResolverTest, PicksTheNearestFrame) {
    const auto frames = tenFramesPerSecond(3);
    EXPECT_FALSE(GIFTimelinePreviewResolver::nearestFrame({}, 1).has_value());
    EXPECT_EQ(GIFTimelinePreviewResolver::nearestFrame(frames, -5)->image, frames[0].image);
    EXPECT_EQ(GIFTimelinePreviewResolver::nearestFrame(frames, 0.14)->image, frames[1].image);
    EXPECT_EQ(GIFTimelinePreviewResolver::nearestFrame(frames, 0.16)->image, frames[2].image);
    EXPECT_EQ(GIFTimelinePreviewResolver::nearestFrame(frames, 9)->image, frames[2].image);
}

TEST(GIFTimelineHitTesterTest, HandlesBeatThePlayheadWhichBeatsTheBody) {
    GIFTimelineHitTester::Geometry g;
    g.track = Rect{{0, 0}, {400, 40}};
    g.selectionBody = Rect{{100, 0}, {100, 40}};
    g.startHandle = Rect{{94, 0}, {12, 40}};
    g.endHandle = Rect{{194, 0}, {12, 40}};
    g.playheadKnob = Rect{{98, 0}, {10, 40}};
    EXPECT_EQ(GIFTimelineHitTester::hitRegion({100, 20}, g), GIFTimelineHitRegion::startHandle);
    EXPECT_EQ(GIFTimelineHitTester::hitRegion({200, 20}, g), GIFTimelineHitRegion::endHandle);
    EXPECT_EQ(GIFTimelineHitTester::hitRegion({107, 20}, g), GIFTimelineHitRegion::playheadKnob);
    EXPECT_EQ(GIFTimelineHitTester::hitRegion({150, 20}, g), GIFTimelineHitRegion::selectionBody);
    EXPECT_EQ(GIFTimelineHitTester::hitRegion({300, 20}, g), GIFTimelineHitRegion::scrubTrack);

    // Overlapping handles on a very short selection: the clicked side of their midpoint wins.
    g.startHandle = Rect{{94, 0}, {12, 40}};
    g.endHandle = Rect{{98, 0}, {12, 40}};
    EXPECT_EQ(GIFTimelineHitTester::hitRegion({101, 20}, g), GIFTimelineHitRegion::startHandle);
    EXPECT_EQ(GIFTimelineHitTester::hitRegion({103, 20}, g), GIFTimelineHitRegion::endHandle);
}

class GIFPostProcessingModelTest : public ::testing::Test {
protected:
    GIFRecordingDraft draft(double duration = 1.0, int frames = 10) {
        return GIFRecordingDraft{tenFramesPerSecond(frames), 10, duration, std::nullopt, "/tmp", false};
    }
    ManualClock clock;
    ManualMainQueue mainQueue{clock};
    LocalizationStore localization{[] { return std::vector<std::string>{"en"}; }};
};

TEST_F(GIFPostProcessingModelTest, StartsWithTheWholeRecordingSelected) {
    auto d = draft(1.0, 25);
    std::reverse(d.frames.begin(), d.frames.end());
    GIFPostProcessingModel model(d, mainQueue, localization);
    EXPECT_DOUBLE_EQ(model.startTime(), 0);
    EXPECT_DOUBLE_EQ(model.endTime(), 1.0);
    EXPECT_DOUBLE_EQ(model.playheadTime(), 0);
    EXPECT_EQ(model.frames().front().timestamp, 0);
    EXPECT_EQ(model.timelineThumbnails().size(), 10u);
    EXPECT_EQ(model.timelineThumbnails().back(), model.frames().back().image);
    EXPECT_EQ(model.contentSize(), (Size{6, 4}));
    ASSERT_EQ(model.segments().size(), 1u);
    EXPECT_EQ(model.playheadTimestamp(), "0:00.00");

    GIFPostProcessingModel tiny(GIFRecordingDraft{{}, 10, 0.0, std::nullopt, "/tmp", false}, mainQueue, localization);
    EXPECT_DOUBLE_EQ(tiny.duration(), 0.05);
}

TEST_F(GIFPostProcessingModelTest, SelectionsKeepAMinimumLengthOnTheSideThatDidNotMove) {
    GIFPostProcessingModel model(draft(), mainQueue, localization);
    model.setSelection(0.5, 0.5); // start handle dragged right onto the end
    EXPECT_DOUBLE_EQ(model.startTime(), 0.5);
    EXPECT_NEAR(model.endTime(), 0.58, 1e-12);
    model.setSelection(0.2, 0.2); // start moved left: the start gives way
    EXPECT_NEAR(model.startTime(), 0.12, 1e-12);
    EXPECT_DOUBLE_EQ(model.endTime(), 0.2);
    model.setSelection(-3, 7);
    EXPECT_DOUBLE_EQ(model.startTime(), 0);
    EXPECT_DOUBLE_EQ(model.endTime(), 1);
    model.setSelection(1.0, 1.0); // even at the very end the selection stays 0.08 s long
    EXPECT_NEAR(model.endTime() - model.startTime(), 0.08, 1e-12);
    ASSERT_EQ(model.options().segments.size(), 1u);
    EXPECT_DOUBLE_EQ(model.options().segments[0].end, 1.0);

    GIFPostProcessingModel shortOne(draft(0.06, 1), mainQueue, localization);
    shortOne.setSelection(0.03, 0.03);
    EXPECT_DOUBLE_EQ(shortOne.endTime() - shortOne.startTime(), 0.06);
}

TEST_F(GIFPostProcessingModelTest, PlaybackRestartsAtTheEndAndStopsExactlyThere) {
    GIFPostProcessingModel model(draft(), mainQueue, localization);
    model.setSelection(0.2, 0.4);
    model.setPlayheadTime(0.4);
    model.togglePlayback();
    EXPECT_TRUE(model.isPlaying());
    EXPECT_DOUBLE_EQ(model.playheadTime(), 0.2);
    mainQueue.runFor(1.0 / 24 + 1e-6);
    EXPECT_NEAR(model.playheadTime(), 0.2 + 1.0 / 24, 1e-9);
    mainQueue.runFor(1.0);
    EXPECT_FALSE(model.isPlaying());
    EXPECT_DOUBLE_EQ(model.playheadTime(), 0.4);
    EXPECT_EQ(model.playbackTickCount(), 5);
    EXPECT_EQ(mainQueue.pendingTaskCount(), 0u);

    model.setPlayheadTime(0.3);
    model.togglePlayback();
    EXPECT_DOUBLE_EQ(model.playheadTime(), 0.3); // not at the end: plays from where it is
    model.togglePlayback();
    EXPECT_FALSE(model.isPlaying());
    mainQueue.runFor(1.0);
    EXPECT_DOUBLE_EQ(model.playheadTime(), 0.3);
}

TEST_F(GIFPostProcessingModelTest, ExportFailuresShowTheLocalizedMessage) {
    GIFPostProcessingModel model(draft(), mainQueue, localization);
    int changes = 0;
    model.onChange = [&] { ++changes; };
    model.beginExport();
    EXPECT_TRUE(model.isExporting());
    EXPECT_EQ(model.exportProgress(), 0.0);
    model.updateExportProgress(0.5);
    EXPECT_EQ(model.exportProgress(), 0.5);
    model.finishExportFailure(GIFRecorderError::exportFailed);
    EXPECT_FALSE(model.isExporting());
    ASSERT_TRUE(model.exportErrorMessage().has_value());
    EXPECT_EQ(*model.exportErrorMessage(), localization.text(L10nKey::errorGifExportFailed));
    EXPECT_FALSE(model.exportErrorMessage()->empty());
    EXPECT_GE(changes, 3);
    model.removeSegment(model.segments().front().id);
    EXPECT_TRUE(model.segments().empty());
}

TEST_F(GIFPostProcessingModelTest, BackgroundChoiceIsNoneUntilAPresetIsChosen) {
    GIFPostProcessingModel model(draft(), mainQueue, localization);
    EXPECT_EQ(model.backgroundChoice(), GIFBackgroundChoice::none());
    EXPECT_FALSE(model.backgroundComposition().has_value());
    EXPECT_FALSE(model.options().backgroundComposition.has_value());

    int changes = 0;
    model.onChange = [&] { ++changes; };
    model.setBackgroundChoice(GIFBackgroundChoice::preset("ocean-glass"));
    EXPECT_EQ(changes, 1);
    const auto composition = model.backgroundComposition();
    ASSERT_TRUE(composition.has_value());
    EXPECT_EQ(composition, GIFBackgroundChoice::preset("ocean-glass").composition(model.contentSize()));
    EXPECT_EQ(composition->source, (BackgroundSource{BackgroundSource::Preset{"ocean-glass"}}));
    EXPECT_GE(composition->padding, 76);
    EXPECT_EQ(model.options().backgroundComposition, composition);

    model.setBackgroundChoice(GIFBackgroundChoice::none());
    EXPECT_EQ(changes, 2);
    EXPECT_FALSE(model.options().backgroundComposition.has_value());
}

TEST_F(GIFPostProcessingModelTest, PreviewPutsThePlayheadFrameOnTheChosenBackground) {
    GIFPostProcessingModel model(draft(), mainQueue, localization);
    const FakeBackgroundRenderer renderer;
    model.setPlayheadTime(0.3);
    const auto shown = model.playheadThumbnailImage();
    ASSERT_TRUE(shown);
    EXPECT_EQ(shown, model.frames()[3].image);
    EXPECT_EQ(model.renderedPreviewImage(nullptr, &renderer), *shown) << "no background chosen: the plain frame";

    model.setBackgroundChoice(GIFBackgroundChoice::preset("dark-moon"));
    const Image preview = model.renderedPreviewImage(nullptr, &renderer);
    const BackgroundLayout layout = BackgroundLayout::make(model.contentSize(), *model.backgroundComposition());
    EXPECT_EQ(preview.width(), static_cast<int>(layout.canvasSize.width));
    EXPECT_EQ(preview.height(), static_cast<int>(layout.canvasSize.height));
    const int x = static_cast<int>(layout.contentRect.minX()) + 2;
    const int y = static_cast<int>(layout.contentRect.minY()) + 1;
    EXPECT_EQ(preview.row(y)[x * 4], 3) << "the playhead frame sits in the content rectangle";
    EXPECT_EQ(preview.row(0)[0], 60) << "the canvas around it is the background";

    EXPECT_EQ(model.renderedPreviewImage(nullptr, nullptr), *shown) << "without a renderer there is no background";
    FakeBackgroundRenderer failing;
    failing.failure = BackgroundRenderError::renderFailed;
    EXPECT_EQ(model.renderedPreviewImage(nullptr, &failing), *shown) << "a failing background shows the frame";

    GIFPostProcessingModel empty(GIFRecordingDraft{{}, 10, 1.0, std::nullopt, "/tmp", false}, mainQueue, localization);
    EXPECT_TRUE(empty.renderedPreviewImage(nullptr, &renderer).isEmpty());
    EXPECT_EQ(empty.playheadThumbnailImage(), nullptr);
}

TEST_F(GIFPostProcessingModelTest, PreviewDrawsTheBackgroundOncePerChoice) {
    GIFPostProcessingModel model(draft(), mainQueue, localization);
    const FakeBackgroundRenderer renderer;
    model.setBackgroundChoice(GIFBackgroundChoice::preset("dark-moon"));
    model.setPlayheadTime(0.1);
    const Image first = model.renderedPreviewImage(nullptr, &renderer);
    model.setPlayheadTime(0.7);
    const Image later = model.renderedPreviewImage(nullptr, &renderer);
    EXPECT_EQ(renderer.backgrounds.load(), 1) << "the playhead moved, the background stayed";
    const BackgroundLayout layout = BackgroundLayout::make(model.contentSize(), *model.backgroundComposition());
    const int x = static_cast<int>(layout.contentRect.minX()) + 2;
    const int y = static_cast<int>(layout.contentRect.minY()) + 1;
    EXPECT_EQ(first.row(y)[x * 4], 1);
    EXPECT_EQ(later.row(y)[x * 4], 7) << "each preview shows its own frame";

    model.setBackgroundChoice(GIFBackgroundChoice::preset("ocean-glass"));
    model.renderedPreviewImage(nullptr, &renderer);
    EXPECT_EQ(renderer.backgrounds.load(), 2) << "a new choice draws its background";
    const FakeBackgroundRenderer other;
    model.renderedPreviewImage(nullptr, &other);
    EXPECT_EQ(other.backgrounds.load(), 1) << "nor is one renderer's background shown for another";
}

} // namespace
} // namespace brisklet
