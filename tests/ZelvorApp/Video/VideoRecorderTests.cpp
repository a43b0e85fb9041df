#include "Platform/Fake/ManualClock.h"
#include "Platform/Fake/ManualMainQueue.h"
#include "Platform/Fake/ManualSerialQueue.h"
#include "Platform/Fake/ScriptedInputMonitor.h"
#include "Platform/Fake/ScriptedScreenRecorder.h"
#include "Platform/Fake/ScriptedVideoFrameReader.h"
#include "Platform/Fake/TemporaryPaths.h"
#include "ZelvorApp/Video/VideoDraftExporter.h"
#include "ZelvorApp/Video/VideoPostProcessingModel.h"
#include "ZelvorApp/Video/VideoRecorder.h"
#include "ZelvorApp/Video/VideoRecorderConfiguration.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace brisklet {
namespace {

namespace fs = std::filesystem;

std::string contents(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

void writeFile(const fs::path& file, const std::string& bytes) {
    std::ofstream(file, std::ios::binary) << bytes;
}

TEST(VideoRecorderConfigurationTest, ScalesIntoTheQualityLimitsWithEvenSides) {
    const auto medium =
        VideoRecorderConfiguration::make({3000, 2000}, RecordingQuality::medium, RecordingOutputFormat::mp4);
    ASSERT_TRUE(medium.has_value());
    EXPECT_EQ(*medium, (VideoRecorderConfiguration{1620, 1080, 30, VideoContainer::mpeg4}));
    const auto high =
        VideoRecorderConfiguration::make({3000, 2000}, RecordingQuality::high, RecordingOutputFormat::mov);
    EXPECT_EQ(*high, (VideoRecorderConfiguration{2160, 1440, 60, VideoContainer::quickTimeMovie}));
    const auto small = VideoRecorderConfiguration::make({101, 51}, RecordingQuality::low, RecordingOutputFormat::mp4);
    EXPECT_EQ(*small, (VideoRecorderConfiguration{100, 50, 15, VideoContainer::mpeg4}));
    // Degenerate sizes still give a picture the encoder accepts; a GIF has no video settings.
    const auto tiny = VideoRecorderConfiguration::make({0, -5}, RecordingQuality::low, RecordingOutputFormat::mp4);
    EXPECT_EQ(tiny->width, 2);
    EXPECT_EQ(tiny->height, 2);
    EXPECT_FALSE(VideoRecorderConfiguration::make({640, 480}, RecordingQuality::low, RecordingOutputFormat::gif));
}

class VideoDraftExporterTest : public ::testing::Test {
protected:
    TemporaryPaths paths;
    fs::path source = paths.root() / "draft.mp4";
    fs::path destination = paths.root() / "out" / "final.mp4";
    void SetUp() override {
        fs::create_directories(destination.parent_path());
        writeFile(source, "moov-and-mdat");
    }
};

TEST_F(VideoDraftExporterTest, CopiesAWholeFileAndKeepsTheDraft) {
    const auto bytes = VideoDraftExporter::copyValidatedFile(source, destination);
    ASSERT_TRUE(bytes.ok());
    EXPECT_EQ(bytes.value(), 13u);
    EXPECT_EQ(contents(destination), "moov-and-mdat");
    EXPECT_TRUE(fs::exists(source));
    // Nothing but the file itself is left in the destination directory.
    EXPECT_EQ(std::distance(fs::directory_iterator(destination.parent_path()), fs::directory_iterator()), 1);
}

TEST_F(VideoDraftExporterTest, NeverOverwritesAndRefusesUnusableSources) {
    writeFile(destination, "precious");
    const auto refused = VideoDraftExporter::copyValidatedFile(source, destination);
    ASSERT_FALSE(refused.ok());
    EXPECT_EQ(refused.error().kind, VideoRecorderError::Kind::underlying);
    EXPECT_EQ(contents(destination), "precious");

    const fs::path other = paths.root() / "out" / "other.mp4";
    writeFile(source, "");
    EXPECT_EQ(VideoDraftExporter::copyValidatedFile(source, other).error(), VideoRecorderError::exportFailed());
    EXPECT_EQ(VideoDraftExporter::copyValidatedFile(paths.root(), other).error(), VideoRecorderError::exportFailed());
    EXPECT_EQ(VideoDraftExporter::copyValidatedFile(paths.root() / "missing", other).error(),
              VideoRecorderError::exportFailed());
    EXPECT_FALSE(fs::exists(other));
}

TEST_F(VideoDraftExporterTest, AFailedExportKeepsTheDraftForARetry) {
    ManualClock clock;
    ManualMainQueue mainQueue(clock);
    ManualSerialQueue exportQueue("com.brisklet.test.video-export");
    VideoDraftExporter exporter(exportQueue, mainQueue);
    VideoPostProcessingModel model({source, RecordingOutputFormat::mp4, destination.parent_path(), false, {}});
    writeFile(destination, "taken");

    const auto run = [&](const fs::path& target) {
        std::optional<Result<VideoDraftExporter::ByteCount, VideoRecorderError>> outcome;
        EXPECT_TRUE(model.beginExport());
        EXPECT_FALSE(model.beginExport()) << "one export at a time";
        exporter.exportDraft(
            model.draft(), target, [&model](double p) { model.updateExportProgress(p); },
            [&outcome](auto result) { outcome = std::move(result); });
        exportQueue.runPending();
        mainQueue.drain();
        return outcome;
    };
    const auto failed = run(destination);
    ASSERT_TRUE(failed.has_value() && !failed->ok());
    model.finishExportFailure(failed->error().description());
    EXPECT_FALSE(model.isExporting());
    EXPECT_TRUE(model.exportErrorMessage().has_value());
    EXPECT_TRUE(fs::exists(model.draft().temporaryURL));

    const fs::path free = destination.parent_path() / "second.mp4";
    const auto retried = run(free);
    ASSERT_TRUE(retried.has_value() && retried->ok());
    model.finishExportSuccess();
    EXPECT_EQ(model.exportProgress(), 1.0);
    EXPECT_FALSE(model.exportErrorMessage().has_value());
    EXPECT_EQ(contents(free), "moov-and-mdat");
}

TEST_F(VideoDraftExporterTest, PreviewIsTheFirstFrameOrNothing) {
    ScriptedVideoFrameReader reader;
    VideoPostProcessingModel model({source, RecordingOutputFormat::mp4, {}, false, {}});
    model.loadPreview(reader);
    EXPECT_FALSE(model.previewImage().has_value());
    Image frame(4, 2);
    frame.fill(200, 10, 10);
    reader.setFrame(source, frame);
    model.loadPreview(reader);
    ASSERT_TRUE(model.previewImage().has_value());
    EXPECT_EQ(*model.previewImage(), frame);
}

TEST_F(VideoDraftExporterTest, DestinationsAreNamedForTheFormat) {
    const VideoRecordingDraft draft{source, RecordingOutputFormat::mov, destination.parent_path(), false, {}};
    const auto file = VideoDraftExporter::destinationFor(draft, Date{1'700'000'000});
    ASSERT_TRUE(file.ok());
    EXPECT_EQ(file.value().extension(), ".mov");
    EXPECT_EQ(file.value().parent_path(), destination.parent_path());
}

class VideoRecorderTest : public ::testing::Test {
protected:
    VideoRecorder::Session session(std::optional<double> maxDuration = std::nullopt) {
        VideoRecorder::Session s;
        s.rect = {{0, 0}, {64, 48}};
        s.options.outputFormat = RecordingOutputFormat::mp4;
        s.outputURL = paths.root() / "take.mp4";
        s.maxDuration = maxDuration;
        return s;
    }
    void start(VideoRecorder::Session s) {
        recorder.startRegionRecording(
            std::move(s), [this](double elapsed) { ticks.push_back(elapsed); },
            [this](auto outcome) { result.emplace(std::move(outcome)); });
        settle();
    }
    void settle() {
        do {
            mainQueue.drain();
        } while (stateQueue.runPending() > 0);
    }
    void advance(double seconds) {
        mainQueue.runFor(seconds);
        settle();
    }

    TemporaryPaths paths;
    ManualClock clock;
    ManualMainQueue mainQueue{clock};
    ManualSerialQueue stateQueue{VideoStreamCapture::kStateQueueLabel};
    ScriptedScreenRecorder screen;
    ScriptedInputMonitor clicks;
    VideoRecorder recorder{{screen, stateQueue, mainQueue, clock, &clicks}};
    std::vector<double> ticks;
    std::optional<Result<VideoRecordingOutput, VideoRecorderError>> result;
};

TEST_F(VideoRecorderTest, WithoutVideoSupportTheRecordingFailsAtOnce) {
    screen.available = false;
    start(session());
    ASSERT_TRUE(result.has_value());
    EXPECT_EQ(result->error(), VideoRecorderError::requiresMacOS15());
    EXPECT_EQ(result->error().messageKey(), L10nKey::errorVideoRecordingRequiresMacOS15);
    EXPECT_EQ(screen.startCount, 0);
}

TEST_F(VideoRecorderTest, TheClockRunsFromTheFirstFrameAndLeavesPausesOut) {
    start(session());
    advance(1);
    EXPECT_TRUE(ticks.empty()) << "nothing counts before the recorder has started";
    screen.reportStarted();
    settle();
    advance(2);
    EXPECT_NEAR(recorder.recordingElapsedTime(), 2, 1e-9);
    recorder.pause();
    settle();
    advance(5);
    EXPECT_NEAR(recorder.recordingElapsedTime(), 2, 1e-9);
    recorder.resume();
    settle();
    advance(1);
    EXPECT_NEAR(recorder.recordingElapsedTime(), 3, 1e-9);
    EXPECT_EQ(screen.calls, (std::vector<std::string>{"start", "pause", "resume"}));
    ASSERT_FALSE(ticks.empty());
    EXPECT_NEAR(ticks.back(), 3, VideoRecorder::kTickInterval + 1e-9);
}

TEST_F(VideoRecorderTest, StopsByItselfAfterTheLengthAndCapsTheFrames) {
    start(session(3));
    EXPECT_EQ(screen.configuration.maxFrameCount, 90);
    screen.writeFile("video");
    screen.reportStarted();
    settle();
    advance(2.9);
    EXPECT_EQ(screen.calls, (std::vector<std::string>{"start"}));
    advance(0.2);
    EXPECT_EQ(screen.calls, (std::vector<std::string>{"start", "stop"}));
    screen.reportFinished();
    settle();
    ASSERT_TRUE(result.has_value() && result->ok());
    EXPECT_EQ(result->value().url, paths.root() / "take.mp4");
    EXPECT_FALSE(recorder.isRecording());
}

TEST_F(VideoRecorderTest, CancelDeliversNothingAndRemovesThePartialFile) {
    start(session());
    screen.writeFile("partial");
    screen.reportStarted();
    settle();
    bool done = false;
    recorder.cancel([&done] { done = true; });
    settle();
    screen.reportFinished();
    settle();
    EXPECT_TRUE(done);
    EXPECT_FALSE(result.has_value());
    EXPECT_FALSE(fs::exists(paths.root() / "take.mp4"));
    EXPECT_FALSE(clicks.isRunning());
}

TEST_F(VideoRecorderTest, ClicksDuringTheRecordingBecomeRipplesInTheFrames) {
    start(session());
    ASSERT_TRUE(clicks.isRunning());
    ASSERT_TRUE(screen.configuration.overlay);
    clicks.click({32, 24});
    Image frame(64, 48);
    frame.fill(255, 255, 255);
    const Image blank = frame;
    screen.configuration.overlay->draw(frame, {{0, 0}, {64, 48}}, clock.monotonicSeconds() + 0.1);
    EXPECT_NE(frame, blank) << "a ripple is drawn around the click";
    EXPECT_EQ(frame.row(24)[32 * 4], 255) << "only a ring; the pointer itself is not drawn";
    Image later = blank;
    screen.configuration.overlay->draw(later, {{0, 0}, {64, 48}}, clock.monotonicSeconds() + 1);
    EXPECT_EQ(later, blank) << "the ripple has faded";

    auto plain = session();
    plain.options.showsClickEffects = false;
    start(plain);
    EXPECT_FALSE(screen.configuration.overlay);
}

} // namespace
} // namespace brisklet
