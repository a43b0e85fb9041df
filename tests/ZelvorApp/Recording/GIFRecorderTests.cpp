#include "Platform/Fake/FakeGIFEncoder.h"
#include "Platform/Fake/InMemoryPasteboard.h"
#include "Platform/Fake/ManualClock.h"
#include "Platform/Fake/ManualMainQueue.h"
#include "Platform/Fake/ManualSerialQueue.h"
#include "Platform/Fake/ScriptedInputMonitor.h"
#include "Platform/Fake/ScriptedScreenCaptureBackend.h"
#include "Platform/Fake/TemporaryPaths.h"
#include "ZelvorApp/Export/AppClipboardWriteTracker.h"
#include "ZelvorApp/Export/ExportService.h"
#include "ZelvorApp/Recording/GIFMouseOverlayRenderer.h"
#include "ZelvorApp/Recording/GIFRecorder.h"
#include "ZelvorApp/Recording/MouseTrackingService.h"

#include <gtest/gtest.h>

namespace brisklet {
namespace {

class GIFRecorderTest : public ::testing::Test {
protected:
    GIFRecorder::Session session(double maxDuration = 2, int fps = 10) {
        GIFRecorder::Session s;
        s.rect = Rect{{0, 0}, {40, 20}};
        s.mappingRect = s.rect;
        s.fps = fps;
        s.maxDuration = maxDuration;
        s.maxFramePixelDimension = 960;
        s.preferences.exportDirectory = (paths.root() / "exports").string();
        return s;
    }
    /// Lets `seconds` of main-queue time pass, running captures as soon as they are queued.
    void advance(double seconds, bool runCaptures = true) {
        const double step = 0.01;
        for (double t = 0; t < seconds - 1e-9; t += step) {
            mainQueue.runFor(step);
            if (runCaptures) {
                captureQueue.runPending();
                mainQueue.drain();
            }
        }
    }
    void startDraft(GIFRecorder::Session s) {
        recorder.start(
            std::move(s), [this](double elapsed, double) { ticks.push_back(elapsed); },
            [this](Result<GIFRecordingDraft, GIFRecorderError> r) { drafts.push_back(std::move(r)); }, nullptr);
    }

    ManualClock clock;
    ManualMainQueue mainQueue{clock};
    ManualSerialQueue captureQueue{"com.brisklet.brisklet.gif-capture"};
    ManualSerialQueue exportQueue{"com.brisklet.brisklet.gif-export"};
    ScriptedScreenCaptureBackend backend;
    InMemoryPasteboard pasteboard;
    AppClipboardWriteTracker tracker;
    ExportService exportService{pasteboard, tracker};
    ScriptedInputMonitor input;
    MouseTrackingService mouse{input, clock};
    FakeGIFEncoder encoder = [] {
        FakeGIFEncoder e;
        e.createsFiles = true;
        return e;
    }();
    TemporaryPaths paths;
    GIFRecorder recorder{{backend, exportService, mouse, encoder, mainQueue, captureQueue, exportQueue, clock}};
    std::vector<double> ticks;
    std::vector<Result<GIFRecordingDraft, GIFRecorderError>> drafts;
};

TEST_F(GIFRecorderTest, CapturesOnEveryTickAndHandsOverADraftAtTheLengthLimit) {
    startDraft(session(1.0));
    EXPECT_TRUE(input.isRunning());
    advance(0.55);
    EXPECT_EQ(recorder.frameCount(), 5u);
    EXPECT_TRUE(drafts.empty());
    advance(1.0);
    ASSERT_EQ(drafts.size(), 1u);
    ASSERT_TRUE(drafts[0].ok());
    const auto& draft = drafts[0].value();
    EXPECT_EQ(draft.fps, 10);
    EXPECT_NEAR(draft.recordingDuration, 1.0, 0.011);
    ASSERT_GE(draft.frames.size(), 9u);
    EXPECT_NEAR(draft.frames[0].timestamp, 0.1, 1e-6);
    EXPECT_EQ(draft.frames[0].image->width(), 40);
    EXPECT_EQ(draft.exportDirectory, paths.root() / "exports");
    EXPECT_FALSE(recorder.isRecording());
    EXPECT_FALSE(input.isRunning());
    EXPECT_NEAR(ticks.back(), 1.0, 0.011);
    // Nothing more arrives once the recording is over.
    const int captures = backend.captureCount();
    advance(0.5);
    EXPECT_EQ(backend.captureCount(), captures);
    EXPECT_EQ(drafts.size(), 1u);
}

TEST_F(GIFRecorderTest, AnOwnerMayLetGoOfTheRecorderInsideTheCallbackThatEndsIt) {
    // The owner keeps the recorder only until the draft arrives, as a window controller would.
    auto owned = std::make_unique<GIFRecorder>(
        GIFRecorder::Dependencies{backend, exportService, mouse, encoder, mainQueue, captureQueue, exportQueue, clock});
    std::optional<Result<GIFRecordingDraft, GIFRecorderError>> draft;
    owned->start(
        session(1.0), nullptr,
        [&](Result<GIFRecordingDraft, GIFRecorderError> result) {
            draft = std::move(result);
            owned.reset();
        },
        nullptr);
    advance(1.5);
    ASSERT_TRUE(draft);
    EXPECT_TRUE(draft->ok());
    EXPECT_EQ(owned, nullptr);
}

TEST_F(GIFRecorderTest, TheDraftCarriesTheAnnotationPlanAskedForAtTheEnd) {
    auto s = session(1.0);
    int asked = 0;
    s.annotationExportPlanProvider = [&]() -> std::optional<GIFAnnotationExportPlan> {
        ++asked;
        return GIFAnnotationExportPlan{{}, Size{40, 20}};
    };
    startDraft(s);
    advance(0.5);
    EXPECT_EQ(asked, 0);
    recorder.finish();
    EXPECT_EQ(asked, 1);
    ASSERT_EQ(drafts.size(), 1u);
    ASSERT_TRUE(drafts[0].ok());
    ASSERT_TRUE(drafts[0].value().annotationExportPlan.has_value());
    EXPECT_EQ(drafts[0].value().annotationExportPlan->canvasSize, (Size{40, 20}));
    EXPECT_NEAR(drafts[0].value().recordingDuration, 0.5, 0.011);
}

TEST_F(GIFRecorderTest, LargeRegionsAreDownscaledBeforeTheyAreStored) {
    auto s = session(1.0);
    s.rect = Rect{{0, 0}, {4000, 1000}};
    s.mappingRect = s.rect;
    startDraft(s);
    advance(1.05);
    ASSERT_EQ(drafts.size(), 1u);
    ASSERT_TRUE(drafts[0].ok());
    EXPECT_EQ(drafts[0].value().frames[0].image->width(), 960);
    EXPECT_EQ(drafts[0].value().frames[0].image->height(), 240);
}

TEST_F(GIFRecorderTest, PausedTimeDoesNotCountTowardTheLimit) {
    startDraft(session(1.0));
    advance(0.5);
    recorder.pause();
    const auto framesAtPause = recorder.frameCount();
    advance(10.0);
    EXPECT_TRUE(drafts.empty());
    EXPECT_EQ(recorder.frameCount(), framesAtPause);
    EXPECT_NEAR(recorder.recordingElapsedTime(), 0.5, 0.011);
    recorder.resume();
    advance(0.3);
    EXPECT_TRUE(drafts.empty());
    advance(0.3);
    ASSERT_EQ(drafts.size(), 1u);
    ASSERT_TRUE(drafts[0].ok());
    EXPECT_NEAR(drafts[0].value().recordingDuration, 1.0, 0.02);
    for (const auto& frame : drafts[0].value().frames) {
        EXPECT_LE(frame.timestamp, 1.0 + 1e-6);
    }
}

TEST_F(GIFRecorderTest, CancelledCapturesNeverReachALaterRecording) {
    startDraft(session(5.0));
    advance(0.105, false); // the first capture is queued but not run
    EXPECT_TRUE(recorder.isCaptureInFlight());
    recorder.cancel();
    EXPECT_FALSE(recorder.isRecording());
    startDraft(session(5.0));
    captureQueue.runPending(); // the old capture completes now
    mainQueue.drain();
    EXPECT_EQ(recorder.frameCount(), 0u);
    advance(0.105);
    EXPECT_EQ(recorder.frameCount(), 1u);
    recorder.cancel();
    advance(1.0);
    EXPECT_TRUE(drafts.empty()); // cancel delivers nothing
}

TEST_F(GIFRecorderTest, OnlyOneCaptureRunsAtATimeAndFailuresSkipAFrame) {
    startDraft(session(5.0));
    advance(0.35, false);
    EXPECT_EQ(captureQueue.pendingTaskCount(), 1u);
    captureQueue.runPending();
    mainQueue.drain();
    EXPECT_EQ(recorder.frameCount(), 1u);
    backend.failNext(1);
    advance(0.1);
    EXPECT_EQ(recorder.frameCount(), 1u);
    advance(0.1);
    EXPECT_EQ(recorder.frameCount(), 2u);
}

TEST_F(GIFRecorderTest, FinishingWithoutFramesReportsNoFrames) {
    startDraft(session());
    recorder.finish();
    ASSERT_EQ(drafts.size(), 1u);
    ASSERT_FALSE(drafts[0].ok());
    EXPECT_EQ(drafts[0].error(), GIFRecorderError::noFrames);
    recorder.finish(); // no session: nothing more
    EXPECT_EQ(drafts.size(), 1u);
}

TEST_F(GIFRecorderTest, DirectExportWritesANewFileAndCopiesItWhenAsked) {
    auto s = session(1.0);
    s.autoCopy = true;
    std::vector<Result<std::filesystem::path, GIFExportFailure>> results;
    recorder.start(s, nullptr, nullptr, [&](auto r) { results.push_back(std::move(r)); });
    advance(1.05);
    EXPECT_TRUE(results.empty());
    exportQueue.runPending();
    mainQueue.drain();
    ASSERT_EQ(results.size(), 1u);
    ASSERT_TRUE(results[0].ok()) << results[0].error().detail;
    const auto file = results[0].value();
    EXPECT_EQ(file.parent_path(), paths.root() / "exports");
    EXPECT_EQ(file.extension(), ".gif");
    EXPECT_TRUE(std::filesystem::exists(file));
    EXPECT_EQ(pasteboard.fileURL(), file);
    EXPECT_EQ(encoder.written().frames.size(), 10u);
    EXPECT_EQ(encoder.written().delays.front(), 10);
    // Only the final file remains: the temporary name was moved, not copied.
    int entries = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(file.parent_path()))
        ++entries;
    EXPECT_EQ(entries, 1);
}

TEST_F(GIFRecorderTest, FailedExportsRemoveTheTemporaryFileAndLeaveThePasteboardAlone) {
    auto s = session(1.0);
    s.autoCopy = true;
    encoder.failFinish = GIFEncoderError{GIFEncoderError::Kind::finalizeFailed, "disk full"};
    std::vector<Result<std::filesystem::path, GIFExportFailure>> results;
    recorder.start(s, nullptr, nullptr, [&](auto r) { results.push_back(std::move(r)); });
    advance(1.05);
    exportQueue.runPending();
    mainQueue.drain();
    ASSERT_EQ(results.size(), 1u);
    ASSERT_FALSE(results[0].ok());
    EXPECT_EQ(results[0].error().error, GIFRecorderError::exportFailed);
    EXPECT_TRUE(std::filesystem::is_empty(paths.root() / "exports"));
    EXPECT_FALSE(pasteboard.fileURL().has_value());
}

TEST(MouseTrackingServiceTest, RipplesExpireAfterTheirLifetime) {
    ManualClock clock;
    ScriptedInputMonitor input;
    MouseTrackingService mouse(input, clock);
    mouse.start();
    input.move({5, 6});
    input.click({7, 8});
    EXPECT_EQ(mouse.snapshot(clock.monotonicSeconds()).globalLocation, (Point{7, 8}));
    clock.advance(0.4);
    EXPECT_EQ(mouse.snapshot(clock.monotonicSeconds()).ripples.size(), 1u);
    clock.advance(0.1);
    EXPECT_TRUE(mouse.snapshot(clock.monotonicSeconds()).ripples.empty());
    mouse.invalidate();
    EXPECT_FALSE(input.isRunning());
}

TEST(GIFMouseOverlayRendererTest, DrawsTheCursorDotAndRipplesOnlyInsideTheRegion) {
    Image frame(80, 40); // 2 pixels per point for a 40 × 20 point region
    frame.fill(255, 255, 255);
    const Rect region{{100, 100}, {40, 20}};
    // 10 points right of the left edge, 5 points below the top edge (origin bottom-left).
    const MouseSnapshot snapshot{{110, 115}, {ClickRipple{{130, 110}, 0.0}}};
    GIFMouseOverlayRenderer::draw(frame, snapshot, {true, true}, region, region, 0.0);
    const std::uint8_t* dot = frame.row(10) + 20 * 4;
    EXPECT_EQ(dot[0], 0);
    EXPECT_EQ(dot[1], 122);
    EXPECT_EQ(dot[2], 255);
    // A fresh ripple is a ring of radius 10 points (20 pixels) around (60, 20) px: its centre stays white.
    EXPECT_EQ(frame.row(20)[60 * 4], 255);
    const std::uint8_t* ring = frame.row(20) + 40 * 4;
    EXPECT_LT(ring[0], 200);

    Image untouched(80, 40);
    untouched.fill(255, 255, 255);
    Image outside = untouched;
    GIFMouseOverlayRenderer::draw(outside, MouseSnapshot{{10, 10}, {}}, {true, true}, region, region, 0.0);
    EXPECT_EQ(outside, untouched);
    GIFMouseOverlayRenderer::draw(outside, snapshot, {false, false}, region, region, 0.0);
    EXPECT_EQ(outside, untouched);
}

} // namespace
} // namespace brisklet
