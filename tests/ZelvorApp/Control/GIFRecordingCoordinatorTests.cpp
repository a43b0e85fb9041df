#include "Platform/Fake/FakeGIFEncoder.h"
#include "Platform/Fake/InMemoryPasteboard.h"
#include "Platform/Fake/ManualClock.h"
#include "Platform/Fake/ManualMainQueue.h"
#include "Platform/Fake/ManualSerialQueue.h"
#include "Platform/Fake/ScriptedDisplayServer.h"
#include "Platform/Fake/ScriptedInputMonitor.h"
#include "Platform/Fake/ScriptedScreenCaptureBackend.h"
#include "Platform/Fake/TemporaryPaths.h"
#include "ZelvorApp/Control/GIFRecordingCoordinator.h"
#include "ZelvorApp/Control/Ports/GIFPostProcessingPort.h"
#include "ZelvorApp/Export/AppClipboardWriteTracker.h"
#include "ZelvorApp/Export/ExportService.h"
#include "ZelvorApp/Infrastructure/LocalizationStore.h"
#include "ZelvorApp/Recording/GIFAnnotationCreationRules.h"
#include "ZelvorApp/Recording/MouseTrackingService.h"

#include <gtest/gtest.h>

#include <set>

namespace brisklet {
namespace {

namespace fs = std::filesystem;

class RecordingWindows final : public GIFRecordingCoordinator::Windows {
public:
    void show(const Rect& region, const DisplayScreen&, GIFAnnotationPrototypeSession& session) override {
        shownRegions.push_back(region);
        annotations = &session;
        visible = true;
    }
    void hide() override {
        visible = false;
        annotations = nullptr;
    }
    std::vector<Rect> shownRegions;
    GIFAnnotationPrototypeSession* annotations = nullptr;
    bool visible = false;
};

class RecordingPostProcessing final : public GIFPostProcessingPort {
public:
    void present(const GIFRecordingDraft& draft, Handlers handlers) override {
        drafts.push_back(draft);
        handlers_ = std::move(handlers);
        open = true;
    }
    void exportProgressed(double fraction) override { progress.push_back(fraction); }
    void exportFailed(const std::string& message) override { failures.push_back(message); }
    void close() override {
        open = false;
        ++closes;
    }
    void pressExport(GIFPostProcessingOptions options = GIFPostProcessingOptions::none()) { handlers_.onExport(options); }
    void pressDiscard() { handlers_.onCancel(); }

    std::vector<GIFRecordingDraft> drafts;
    std::vector<double> progress;
    std::vector<std::string> failures;
    bool open = false;
    int closes = 0;

private:
    Handlers handlers_;
};

class GIFRecordingCoordinatorTest : public ::testing::Test {
protected:
    GIFRecordingCoordinatorTest() {
        displays.setScreens({ScriptedDisplayServer::screen(1, Rect{{0, 0}, {800, 600}}, true)});
        preferences.exportDirectory = (paths.root() / "Exports").string();
        preferences.gifFPS = 10;
        encoder.createsFiles = true;
    }

    /// A coordinator already recording `region`.
    std::unique_ptr<GIFRecordingCoordinator> started(GIFPostProcessingPort* editingWindow,
                                                     bool framesIncludeDrawings = false) {
        GIFRecordingCoordinator::Hooks hooks;
        hooks.progressed = [this](double elapsed, double) { progress.push_back(elapsed); };
        hooks.finished = [this](const ExportOutcome& outcome, ExportKind kind) {
            EXPECT_EQ(kind, ExportKind::gif);
            outcomes.push_back(outcome);
        };
        hooks.stopRequested = [this] { ++stopRequests; };
        hooks.copyFile = [this](const fs::path& file) { copied.push_back(file); };
        auto coordinator = std::make_unique<GIFRecordingCoordinator>(
            GIFRecordingCoordinator::Dependencies{recorder, encoder, clock, mainQueue, exportQueue, displays,
                                                  localization, [this] { return preferences; }, nullptr, nullptr,
                                                  framesIncludeDrawings},
            std::move(hooks), &windows, editingWindow);
        EXPECT_TRUE(startAgain(*coordinator));
        return coordinator;
    }
    bool startAgain(GIFRecordingCoordinator& coordinator) {
        return coordinator.start(region, displays.screens().front(), {});
    }
    /// A coordinator that recorded `seconds` and was stopped.
    std::unique_ptr<GIFRecordingCoordinator> stoppedAfter(double seconds, GIFPostProcessingPort* editingWindow) {
        auto coordinator = started(editingWindow);
        record(seconds);
        coordinator->stop();
        return coordinator;
    }

    /// Lets `seconds` of recording pass with every capture answered at once.
    void record(double seconds) {
        for (double t = 0; t < seconds - 1e-9; t += 0.01) {
            mainQueue.runFor(0.01);
            captureQueue.runPending();
            mainQueue.drain();
        }
    }

    /// Runs the export queue and what it sends back.
    void runExport() {
        exportQueue.runPending();
        mainQueue.drain();
    }

    std::set<fs::path> exportedFiles() const {
        std::set<fs::path> files;
        std::error_code error;
        for (const auto& entry : fs::directory_iterator(paths.root() / "Exports", error)) {
            files.insert(entry.path().filename());
        }
        return files;
    }

    const Rect region{{100, 100}, {80, 40}};
    AppPreferences preferences;
    ManualClock clock;
    ManualMainQueue mainQueue{clock};
    ManualSerialQueue captureQueue{"com.brisklet.brisklet.gif-capture"};
    ManualSerialQueue exportQueue{"com.brisklet.brisklet.gif-export"};
    ScriptedDisplayServer displays;
    ScriptedScreenCaptureBackend backend;
    InMemoryPasteboard pasteboard;
    AppClipboardWriteTracker tracker;
    ExportService exportService{pasteboard, tracker};
    ScriptedInputMonitor input;
    MouseTrackingService mouse{input, clock};
    FakeGIFEncoder encoder;
    TemporaryPaths paths;
    LocalizationStore localization{[] { return std::vector<std::string>{"en"}; }};
    GIFRecorder recorder{{backend, exportService, mouse, encoder, mainQueue, captureQueue, exportQueue, clock}};
    RecordingWindows windows;
    RecordingPostProcessing post;
    std::vector<double> progress;
    std::vector<ExportOutcome> outcomes;
    std::vector<fs::path> copied;
    int stopRequests = 0;
};

TEST_F(GIFRecordingCoordinatorTest, TheSessionFollowsThePreferencesAndTheChosenOptions) {
    RecordingOptions options;
    options.quality = RecordingQuality::high;
    options.showsCursor = false;
    preferences.gifFPS = 0;
    preferences.gifMaxDuration = 0.2;
    preferences.exportAfterCopy = true;
    const auto session = GIFRecordingCoordinator::makeSession(region, {}, preferences, options);
    EXPECT_EQ(session.fps, 1);
    EXPECT_DOUBLE_EQ(session.maxDuration, 1);
    EXPECT_EQ(session.maxFramePixelDimension, 1600);
    EXPECT_EQ(session.quality, RecordingQuality::high) << "and the GIF is encoded at that quality";
    EXPECT_FALSE(session.mouseOverlayOptions.showsCursor);
    EXPECT_TRUE(session.autoCopy);
    EXPECT_EQ(session.mappingRect, region);
    options.quality = RecordingQuality::low;
    EXPECT_EQ(GIFRecordingCoordinator::makeSession(region, {}, preferences, options).maxFramePixelDimension, 960);
}

TEST_F(GIFRecordingCoordinatorTest, StopHandsTheDraftToTheEditingWindowAndItsExportWritesTheFile) {
    auto coordinator = started(&post);
    EXPECT_TRUE(coordinator->isActive());
    EXPECT_FALSE(startAgain(*coordinator)) << "one recording at a time";
    ASSERT_EQ(windows.shownRegions.size(), 1u);
    EXPECT_EQ(windows.shownRegions[0], region);
    record(1.05);
    ASSERT_FALSE(progress.empty());
    EXPECT_NEAR(progress.back(), 1.0, 0.02);
    coordinator->stop();
    EXPECT_FALSE(windows.visible);
    ASSERT_EQ(post.drafts.size(), 1u);
    EXPECT_GE(post.drafts[0].frames.size(), 9u);
    EXPECT_EQ(post.drafts[0].exportDirectory, paths.root() / "Exports");
    EXPECT_FALSE(post.drafts[0].annotationExportPlan.has_value()) << "nothing was drawn";
    EXPECT_EQ(stopRequests, 0) << "Stop came from the controller already";
    EXPECT_TRUE(exportedFiles().empty()) << "nothing is written before Export";

    post.pressExport();
    EXPECT_TRUE(coordinator->isExporting());
    runExport();
    ASSERT_EQ(outcomes.size(), 1u);
    ASSERT_TRUE(outcomes[0].ok());
    const fs::path file = outcomes[0].value();
    EXPECT_EQ(file.extension(), ".gif");
    EXPECT_EQ(exportedFiles(), (std::set<fs::path>{file.filename()})) << "no temporary file is left behind";
    EXPECT_EQ(encoder.written().quality, GIFEncodingQuality::standard) << "the draft keeps the recording's quality";
    EXPECT_FALSE(post.progress.empty());
    EXPECT_DOUBLE_EQ(post.progress.back(), 1.0);
    EXPECT_EQ(post.closes, 1);
    EXPECT_FALSE(coordinator->isActive());
    EXPECT_TRUE(copied.empty()) << "copy after export is off";
}

TEST_F(GIFRecordingCoordinatorTest, WithoutAnEditingWindowTheRecordingIsExportedAsCapturedAndCopiedWhenAsked) {
    preferences.exportAfterCopy = true;
    auto coordinator = stoppedAfter(0.5, nullptr);
    EXPECT_TRUE(coordinator->isActive()) << "still writing";
    runExport();
    ASSERT_EQ(outcomes.size(), 1u);
    ASSERT_TRUE(outcomes[0].ok());
    EXPECT_EQ(copied, (std::vector<fs::path>{outcomes[0].value()}));
    EXPECT_EQ(encoder.written().frames.size(), 5u) << "half a second at 10 frames per second";
    EXPECT_EQ(encoder.written().quality, GIFEncodingQuality::standard) << "the options' medium quality";
}

TEST_F(GIFRecordingCoordinatorTest, ReachingTheLengthLimitAsksTheControllerToStop) {
    preferences.gifMaxDuration = 1;
    auto coordinator = started(&post);
    record(1.2);
    EXPECT_EQ(stopRequests, 1);
    EXPECT_EQ(post.drafts.size(), 1u);
    coordinator->stop(); // the controller's Stop, arriving after the fact, changes nothing
    EXPECT_EQ(post.drafts.size(), 1u);
}

TEST_F(GIFRecordingCoordinatorTest, AFailedExportKeepsTheWindowOpenForAnotherTry) {
    auto coordinator = stoppedAfter(0.3, &post);
    encoder.failFinish = GIFEncoderError{GIFEncoderError::Kind::encodeFailed, "disk full"};
    post.pressExport();
    runExport();
    EXPECT_TRUE(outcomes.empty());
    ASSERT_EQ(post.failures.size(), 1u);
    EXPECT_EQ(post.failures[0], localization.text(L10nKey::errorGifExportFailed));
    EXPECT_TRUE(exportedFiles().empty());
    EXPECT_TRUE(post.open);
    encoder.failFinish.reset();
    post.pressExport();
    runExport();
    ASSERT_EQ(outcomes.size(), 1u);
    EXPECT_TRUE(outcomes[0].ok());
}

TEST_F(GIFRecordingCoordinatorTest, DiscardingWritesNothingEvenWhenTheExportWasAlreadyRunning) {
    auto coordinator = stoppedAfter(0.3, &post);
    post.pressExport();
    post.pressDiscard();
    EXPECT_FALSE(coordinator->isActive());
    EXPECT_FALSE(post.open);
    runExport();
    EXPECT_TRUE(outcomes.empty());
    EXPECT_TRUE(exportedFiles().empty());
}

TEST_F(GIFRecordingCoordinatorTest, CancelWhileRecordingDropsEverythingAndStoppingBeforeAnyFrameReportsNoFrames) {
    auto coordinator = started(&post);
    record(0.3);
    coordinator->cancel();
    EXPECT_FALSE(coordinator->isActive());
    EXPECT_FALSE(windows.visible);
    record(0.5);
    runExport();
    EXPECT_TRUE(post.drafts.empty());
    EXPECT_TRUE(outcomes.empty());
    EXPECT_FALSE(recorder.isRecording());

    ASSERT_TRUE(startAgain(*coordinator));
    coordinator->stop();
    ASSERT_EQ(outcomes.size(), 1u);
    ASSERT_FALSE(outcomes[0].ok());
    EXPECT_EQ(outcomes[0].error(), AppFlowError{GIFRecorderError::noFrames});
    EXPECT_FALSE(coordinator->isActive());
}

TEST_F(GIFRecordingCoordinatorTest, DrawingsMadeWhileRecordingTravelWithTheDraftStampedWithTheirTime) {
    auto coordinator = started(&post);
    ASSERT_NE(windows.annotations, nullptr);
    record(0.4);
    windows.annotations->commit(*GIFAnnotationCreationRules::drag(GIFPrototypeTool::rectangle, Point{5, 5},
                                                                   Point{40, 30}, {}, region.size));
    coordinator->pause();
    clock.advance(5);
    coordinator->resume();
    record(0.3);
    coordinator->stop();
    ASSERT_EQ(post.drafts.size(), 1u);
    const auto& plan = post.drafts[0].annotationExportPlan;
    ASSERT_TRUE(plan.has_value());
    EXPECT_EQ(plan->canvasSize, region.size);
    EXPECT_TRUE(plan->timeline.activeAnnotations(0.35).empty());
    EXPECT_EQ(plan->timeline.activeAnnotations(0.45).size(), 1u);
    EXPECT_NEAR(post.drafts[0].recordingDuration, 0.7, 0.02) << "the pause does not count";
}

TEST_F(GIFRecordingCoordinatorTest, DrawingsTheFramesAlreadyShowAreNotDrawnAgain) {
    auto coordinator = started(&post, true);
    record(0.2);
    windows.annotations->commit(*GIFAnnotationCreationRules::drag(GIFPrototypeTool::rectangle, Point{5, 5},
                                                                   Point{40, 30}, {}, region.size));
    record(0.2);
    coordinator->stop();
    ASSERT_EQ(post.drafts.size(), 1u);
    EXPECT_FALSE(post.drafts[0].annotationExportPlan.has_value());
}

} // namespace
} // namespace brisklet
