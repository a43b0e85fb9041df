#include "Platform/Fake/ManualClock.h"
#include "Platform/Fake/ManualMainQueue.h"
#include "Platform/Fake/ManualSerialQueue.h"
#include "Platform/Fake/ScriptedDisplayServer.h"
#include "Platform/Fake/ScriptedScreenRecorder.h"
#include "Platform/Fake/TemporaryPaths.h"
#include "ZelvorApp/Control/AppFlowError.h"
#include "ZelvorApp/Control/Ports/VideoPostProcessingPort.h"
#include "ZelvorApp/Control/VideoRecordingCoordinator.h"
#include "ZelvorApp/Infrastructure/LocalizationStore.h"
#include "ZelvorApp/Video/VideoDraftExporter.h"

#include <gtest/gtest.h>

#include <fstream>
#include <set>

namespace brisklet {
namespace {

namespace fs = std::filesystem;

class RecordingWindows final : public VideoRecordingCoordinator::Windows {
public:
    void show(const Rect& region, const DisplayScreen&) override {
        shownRegions.push_back(region);
        visible = true;
    }
    void hide() override { visible = false; }
    std::vector<Rect> shownRegions;
    bool visible = false;
};

class RecordingPostProcessing final : public VideoPostProcessingPort {
public:
    void present(const VideoRecordingDraft& draft, const VideoRecordingSummary& summary, Handlers handlers) override {
        drafts.push_back(draft);
        summaries.push_back(summary);
        handlers_ = std::move(handlers);
        open = true;
    }
    void exportProgressed(double fraction) override { progress.push_back(fraction); }
    void exportFailed(const std::string& message) override { failures.push_back(message); }
    void close() override { open = false; }
    void pressExport() { handlers_.onExport(); }
    void pressDiscard() { handlers_.onCancel(); }

    std::vector<VideoRecordingDraft> drafts;
    std::vector<VideoRecordingSummary> summaries;
    std::vector<double> progress;
    std::vector<std::string> failures;
    bool open = false;

private:
    Handlers handlers_;
};

class VideoRecordingCoordinatorTest : public ::testing::Test {
protected:
    VideoRecordingCoordinatorTest() {
        displays.setScreens({ScriptedDisplayServer::screen(1, Rect{{0, 0}, {800, 600}}, true)});
        preferences.exportDirectory = (paths.root() / "Exports").string();
        fs::create_directories(paths.root() / "tmp");
    }

    std::unique_ptr<VideoRecordingCoordinator> make(VideoPostProcessingPort* window) {
        VideoRecordingCoordinator::Hooks hooks;
        hooks.progressed = [this](double elapsed, double) { ticks.push_back(elapsed); };
        hooks.finished = [this](const ExportOutcome& outcome, ExportKind kind) {
            outcomes.push_back(outcome);
            kinds.push_back(kind);
        };
        hooks.stopRequested = [this] { ++stopRequests; };
        hooks.cancelRequested = [this] { ++cancelRequests; };
        hooks.copyFile = [this](const fs::path& file) { copied.push_back(file); };
        return std::make_unique<VideoRecordingCoordinator>(
            VideoRecordingCoordinator::Dependencies{recorder, exporter, clock, displays, localization,
                                                    [this] { return preferences; }, paths.root() / "tmp"},
            std::move(hooks), &windows, window);
    }
    RecordingOptions options(RecordingOutputFormat format = RecordingOutputFormat::mp4) const {
        RecordingOptions chosen;
        chosen.outputFormat = format;
        return chosen;
    }
    /// A coordinator that has recorded `seconds` of `bytes` and was stopped.
    std::unique_ptr<VideoRecordingCoordinator> recorded(VideoPostProcessingPort* window, double seconds = 2,
                                                        const std::string& bytes = "h264-in-mp4") {
        auto coordinator = make(window);
        EXPECT_TRUE(coordinator->start(region, displays.screens().front(), options()));
        settle();
        screen.writeFile(bytes);
        screen.reportStarted();
        settle();
        advance(seconds);
        coordinator->stop();
        settle();
        screen.reportFinished();
        settle();
        return coordinator;
    }
    void settle() {
        do {
            mainQueue.drain();
        } while (stateQueue.runPending() + exportQueue.runPending() > 0);
    }
    void advance(double seconds) {
        mainQueue.runFor(seconds);
        settle();
    }
    std::set<fs::path> filesIn(const fs::path& directory) const {
        std::set<fs::path> files;
        std::error_code error;
        for (const auto& entry : fs::directory_iterator(directory, error)) {
            files.insert(entry.path().filename());
        }
        return files;
    }

    const Rect region{{100, 100}, {80, 40}};
    TemporaryPaths paths;
    AppPreferences preferences;
    ManualClock clock;
    ManualMainQueue mainQueue{clock};
    ManualSerialQueue stateQueue{VideoStreamCapture::kStateQueueLabel};
    ManualSerialQueue exportQueue{"com.brisklet.test.video-export"};
    ScriptedDisplayServer displays;
    ScriptedScreenRecorder screen;
    VideoRecorder recorder{{screen, stateQueue, mainQueue, clock, nullptr}};
    VideoDraftExporter exporter{exportQueue, mainQueue};
    LocalizationStore localization{[] { return std::vector<std::string>{"en"}; }};
    RecordingWindows windows;
    std::vector<double> ticks;
    std::vector<ExportOutcome> outcomes;
    std::vector<ExportKind> kinds;
    std::vector<fs::path> copied;
    int stopRequests = 0;
    int cancelRequests = 0;
};

TEST_F(VideoRecordingCoordinatorTest, RecordsTheRegionAndExportsTheDraftFromTheWindow) {
    preferences.exportAfterCopy = true;
    RecordingPostProcessing window;
    auto coordinator = recorded(&window, 2.5);
    EXPECT_EQ(screen.configuration.outputURL.parent_path(), paths.root() / "tmp");
    EXPECT_EQ(windows.shownRegions, std::vector<Rect>{region});
    EXPECT_FALSE(windows.visible) << "the border and bar go once the recording ends";
    ASSERT_FALSE(ticks.empty());
    EXPECT_NEAR(ticks.back(), 2.5, VideoRecorder::kTickInterval + 1e-9);
    EXPECT_EQ(stopRequests, 0) << "Stop came from the controller itself";

    ASSERT_EQ(window.drafts.size(), 1u);
    const VideoRecordingDraft draft = window.drafts.front();
    EXPECT_EQ(draft.outputFormat, RecordingOutputFormat::mp4);
    EXPECT_EQ(draft.exportDirectoryURL, paths.root() / "Exports");
    ASSERT_EQ(window.summaries.size(), 1u);
    EXPECT_NEAR(window.summaries.front().duration, 2.5, 1e-9);
    EXPECT_EQ(window.summaries.front().pixelWidth, screen.configuration.outputWidth);
    EXPECT_EQ(window.summaries.front().pixelHeight, screen.configuration.outputHeight);
    EXPECT_TRUE(coordinator->isActive()) << "the draft waits in the window";
    EXPECT_TRUE(outcomes.empty());

    window.pressExport();
    EXPECT_TRUE(coordinator->isExporting());
    settle();
    ASSERT_EQ(outcomes.size(), 1u);
    ASSERT_TRUE(outcomes.front().ok());
    const fs::path file = outcomes.front().value();
    EXPECT_EQ(file.parent_path(), paths.root() / "Exports");
    EXPECT_EQ(file.extension(), ".mp4");
    EXPECT_EQ(kinds, std::vector<ExportKind>{ExportKind::videoMP4});
    std::ifstream in(file, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "h264-in-mp4");
    EXPECT_EQ(filesIn(paths.root() / "Exports"), std::set<fs::path>{file.filename()}) << "no temporary left over";
    EXPECT_FALSE(fs::exists(draft.temporaryURL)) << "the draft is removed once exported";
    EXPECT_EQ(window.progress, std::vector<double>{1.0});
    EXPECT_FALSE(window.open);
    EXPECT_EQ(copied, std::vector<fs::path>{file});
    EXPECT_FALSE(coordinator->isActive());
}

TEST_F(VideoRecordingCoordinatorTest, AFailedExportKeepsTheDraftAndTheWindowForARetry) {
    RecordingPostProcessing window;
    auto coordinator = recorded(&window);
    // A file where the export directory should be: nothing can be written into it.
    std::ofstream(paths.root() / "Exports") << "in the way";
    window.pressExport();
    settle();
    ASSERT_EQ(window.failures.size(), 1u);
    EXPECT_FALSE(window.failures.front().empty());
    EXPECT_TRUE(window.open);
    EXPECT_TRUE(outcomes.empty());
    EXPECT_TRUE(coordinator->isActive());
    ASSERT_TRUE(coordinator->draft().has_value());
    EXPECT_TRUE(fs::exists(coordinator->draft()->temporaryURL));

    fs::remove(paths.root() / "Exports");
    fs::create_directories(paths.root() / "Exports");
    window.pressExport();
    settle();
    ASSERT_EQ(outcomes.size(), 1u);
    EXPECT_TRUE(outcomes.front().ok());
    EXPECT_TRUE(copied.empty()) << "copying after export is off";
}

TEST_F(VideoRecordingCoordinatorTest, ExportsNeverReplaceAFileOfTheSameName) {
    RecordingPostProcessing window;
    auto first = recorded(&window, 1, "first");
    window.pressExport();
    settle();
    auto second = recorded(&window, 1, "second");
    window.pressExport();
    settle();
    ASSERT_EQ(outcomes.size(), 2u);
    ASSERT_TRUE(outcomes[0].ok() && outcomes[1].ok());
    EXPECT_NE(outcomes[0].value(), outcomes[1].value()) << "the same clock gives the next free name";
    EXPECT_EQ(filesIn(paths.root() / "Exports").size(), 2u);
}

TEST_F(VideoRecordingCoordinatorTest, CancelAndDiscardLeaveNoFile) {
    auto coordinator = make(nullptr);
    ASSERT_TRUE(coordinator->start(region, displays.screens().front(), options(RecordingOutputFormat::mov)));
    settle();
    screen.writeFile("partial");
    screen.reportStarted();
    advance(1);
    const fs::path partial = screen.configuration.outputURL;
    EXPECT_EQ(partial.extension(), ".mov");
    coordinator->cancel();
    settle();
    screen.reportFinished();
    settle();
    EXPECT_FALSE(coordinator->isActive());
    EXPECT_FALSE(fs::exists(partial));
    EXPECT_TRUE(outcomes.empty());
    EXPECT_FALSE(windows.visible);

    RecordingPostProcessing window;
    coordinator->setPostProcessing(&window);
    ASSERT_TRUE(coordinator->start(region, displays.screens().front(), options()));
    settle();
    screen.writeFile("kept until discarded");
    screen.reportStarted();
    advance(1);
    coordinator->stop();
    settle();
    screen.reportFinished();
    settle();
    ASSERT_EQ(window.drafts.size(), 1u);
    window.pressDiscard();
    EXPECT_EQ(cancelRequests, 1);
    EXPECT_FALSE(coordinator->isActive());
    EXPECT_FALSE(fs::exists(window.drafts.front().temporaryURL));
    EXPECT_TRUE(filesIn(paths.root() / "Exports").empty());
    EXPECT_TRUE(outcomes.empty());
}

TEST_F(VideoRecordingCoordinatorTest, FailuresReachTheControllerAndRefusalsFailTheStart) {
    auto coordinator = make(nullptr);
    ASSERT_TRUE(coordinator->start(region, displays.screens().front(), options(RecordingOutputFormat::mov)));
    settle();
    screen.reportStarted();
    settle();
    screen.reportFailure("encoder gone");
    settle();
    ASSERT_EQ(outcomes.size(), 1u);
    ASSERT_FALSE(outcomes.front().ok());
    EXPECT_TRUE(std::holds_alternative<VideoRecorderError>(outcomes.front().error()));
    EXPECT_EQ(kinds, std::vector<ExportKind>{ExportKind::videoMOV});
    EXPECT_EQ(stopRequests, 1) << "a recording that ended by itself moves the controller on";
    EXPECT_FALSE(coordinator->isActive());

    screen.available = false;
    EXPECT_FALSE(coordinator->start(region, displays.screens().front(), options()));
    EXPECT_FALSE(coordinator->isActive());
    EXPECT_EQ(outcomes.size(), 1u) << "a refused start is reported by start() alone";
    EXPECT_FALSE(coordinator->start(region, displays.screens().front(), options(RecordingOutputFormat::gif)));
}

TEST_F(VideoRecordingCoordinatorTest, WithoutAWindowTheRecordingIsExportedAtOnce) {
    auto coordinator = recorded(nullptr);
    ASSERT_EQ(outcomes.size(), 1u);
    ASSERT_TRUE(outcomes.front().ok());
    EXPECT_TRUE(fs::exists(outcomes.front().value()));
    EXPECT_TRUE(filesIn(paths.root() / "tmp").empty());
}

} // namespace
} // namespace brisklet
