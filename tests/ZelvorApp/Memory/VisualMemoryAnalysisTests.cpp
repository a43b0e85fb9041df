#include "MemoryTestSupport.h"

#include "Platform/Fake/ManualMainQueue.h"
#include "Platform/Fake/ScriptedVideoFrameReader.h"
#include "Platform/Linux/Codec/LinuxImageCodec.h"
#include "ZelvorApp/Memory/LocalVisualMemoryAnalyzer.h"
#include "ZelvorApp/Memory/ThumbnailScaler.h"
#include "ZelvorApp/Memory/VideoThumbnailGenerator.h"
#include "ZelvorApp/Memory/VisualMemoryRecordingService.h"
#include "ZelvorCore/Stores/VisualMemoryStore.h"

#include <gtest/gtest.h>

namespace brisklet {
namespace {

using namespace memory_testing;

Image solid(int width, int height, std::uint8_t red = 200, std::uint8_t alpha = 255) {
    Image image(width, height);
    image.fill(red, 40, 90, alpha);
    return image;
}

class LocalAnalyzerTest : public ::testing::Test {
protected:
    fs::path png(const std::string& name, const Image& image) {
        const fs::path file = paths_.root() / "exports" / name;
        fs::create_directories(file.parent_path());
        EXPECT_TRUE(codec_.writeFile(image, file, ImageFormat::png));
        return file;
    }
    fs::path thumbnails() const { return paths_.root() / "VisualMemory" / "Thumbnails"; }

    TemporaryPaths paths_;
    LinuxImageCodec codec_;
    ScriptedVideoFrameReader frames_;
    VideoThumbnailGenerator videos_{frames_};
    FakeTextRecognition recognition_;
    LocalVisualMemoryAnalyzer analyzer_{thumbnails(), codec_, videos_, &recognition_};
};

TEST_F(LocalAnalyzerTest, ThumbnailsFitIn420PixelsAsJpegAndSmallImagesKeepTheirSize) {
    auto wide = analyzer_.analyze(png("wide shot.png", solid(4000, 1000)), ExportKind::screenshot, {});
    ASSERT_TRUE(wide);
    EXPECT_EQ(wide.value().thumbnailPath, (thumbnails() / "wide shot-thumb.jpg").string());
    EXPECT_EQ(codec_.readPixelSize(*wide.value().thumbnailPath), (PixelSize{420, 105}));
    const std::string bytes = readText(*wide.value().thumbnailPath);
    EXPECT_EQ(static_cast<unsigned char>(bytes[0]), 0xFF) << "JPEG";

    auto small = analyzer_.analyze(png("small.png", solid(300, 200)), ExportKind::longshot, {});
    ASSERT_TRUE(small);
    EXPECT_EQ(codec_.readPixelSize(*small.value().thumbnailPath), (PixelSize{300, 200}));
    int w = 0;
    int h = 0;
    ThumbnailScaler::fittedSize(1, 5000, 420, w, h);
    EXPECT_EQ(std::make_pair(w, h), std::make_pair(1, 420)) << "never below one pixel";
}

TEST_F(LocalAnalyzerTest, RecognisedTextGivesMarkdownAndTheSummary) {
    recognition_.byWidth[640] = {"Cancel\nRelease checklist for Friday\nnotes", "## Release checklist for Friday"};
    const VisualMemorySource source{"Notion", "Notion", std::nullopt};
    auto analysis = analyzer_.analyze(png("capture.png", solid(640, 480)), ExportKind::screenshot, source);
    ASSERT_TRUE(analysis);
    EXPECT_EQ(analysis.value().ocrText, "## Release checklist for Friday");
    EXPECT_EQ(analysis.value().summary, "Release checklist for Friday");
    EXPECT_EQ(analysis.value().tags, (std::vector<std::string>{"notion", "screenshot"}));

    recognition_.fails = true;
    analysis = analyzer_.analyze(png("capture2.png", solid(640, 480)), ExportKind::screenshot, source);
    ASSERT_TRUE(analysis) << "a recognition failure only leaves the text empty";
    EXPECT_EQ(analysis.value().ocrText, "");
    EXPECT_TRUE(analysis.value().thumbnailPath);
}

TEST_F(LocalAnalyzerTest, VideosAndGifsUseTheirFirstFrameWithoutRecognition) {
    const fs::path movie = writeFile(paths_.root() / "exports" / "recording.mov", 100);
    frames_.setFrame(movie, solid(320, 180));
    auto analysis = analyzer_.analyze(movie, ExportKind::videoMOV, {});
    ASSERT_TRUE(analysis);
    EXPECT_EQ(codec_.readPixelSize(*analysis.value().thumbnailPath), (PixelSize{320, 180}));
    EXPECT_EQ(analysis.value().summary, "recording");
    const fs::path gif = writeFile(paths_.root() / "exports" / "gif-1.gif", 100);
    frames_.setFrame(gif, solid(50, 40));
    ASSERT_TRUE(analyzer_.analyze(gif, ExportKind::gif, {}));
    EXPECT_EQ(recognition_.calls, 0);
}

TEST_F(LocalAnalyzerTest, NoPictureMeansNoThumbnailAndAThumbnailFailureFailsTheAnalysis) {
    const fs::path text = writeText(paths_.root() / "exports" / "clipboard-1.txt", "hello there");
    auto analysis = analyzer_.analyze(text, ExportKind::clipboardText, {});
    ASSERT_TRUE(analysis);
    EXPECT_FALSE(analysis.value().thumbnailPath);
    const fs::path broken = writeText(paths_.root() / "exports" / "quarterly_report.png", "not a png");
    analysis = analyzer_.analyze(broken, ExportKind::screenshot, {});
    ASSERT_TRUE(analysis);
    EXPECT_FALSE(analysis.value().thumbnailPath);
    EXPECT_EQ(analysis.value().summary, "quarterly report");

    writeText(paths_.root() / "blocked", "a file where the directory should be");
    LocalVisualMemoryAnalyzer blocked(paths_.root() / "blocked" / "Thumbnails", codec_, videos_, nullptr);
    const auto failed = blocked.analyze(png("ok.png", solid(10, 10)), ExportKind::screenshot, {});
    ASSERT_FALSE(failed);
    EXPECT_NE(failed.error().description.find("thumbnail"), std::string::npos);
}

TEST(ThumbnailScalerTest, AreaAveragingWeighsColoursByAlpha) {
    Image image(2, 1);
    image.setPixel(0, 0, 255, 0, 0, 255);
    image.setPixel(1, 0, 0, 0, 255, 0); // fully transparent blue must not tint the result
    const Image half = ThumbnailScaler::resized(image, 1, 1);
    EXPECT_EQ(half.row(0)[0], 255);
    EXPECT_EQ(half.row(0)[2], 0);
    EXPECT_EQ(half.row(0)[3], 128);
}

TEST(VideoThumbnailGeneratorTest, CachesPerPathAndForgetsTheLeastRecentlyUsed) {
    ScriptedVideoFrameReader frames;
    frames.setFrame("/a.mp4", solid(4, 4));
    frames.setFrame("/b.mp4", solid(4, 4));
    frames.setFrame("/c.mp4", solid(4, 4));
    VideoThumbnailGenerator generator(frames, 2);
    const auto first = generator.image("/a.mp4");
    ASSERT_TRUE(first);
    EXPECT_EQ(generator.image("/a.mp4"), first);
    EXPECT_EQ(frames.readCount(), 1);
    generator.image("/b.mp4");
    generator.image("/a.mp4");
    generator.image("/c.mp4"); // evicts b, the least recently used
    generator.image("/a.mp4");
    EXPECT_EQ(frames.readCount(), 3);
    generator.image("/b.mp4");
    EXPECT_EQ(frames.readCount(), 4);
    EXPECT_FALSE(generator.image("/missing.mp4"));
}

class RecordingServiceTest : public ::testing::Test {
protected:
    VisualMemoryEnvironment environment() {
        return {store_,
                mainQueue_,
                workQueue_,
                clock_,
                [this] { return preferences_; },
                [this](const std::vector<VisualMemoryItem>& items) { published_ = items; }};
    }
    fs::path exported(const std::string& name, std::size_t bytes = 64) {
        return writeFile(paths_.root() / "Pictures" / name, bytes);
    }
    void settle() {
        workQueue_.runPending();
        mainQueue_.drain();
    }

    TemporaryPaths paths_;
    CapturedLog log_;
    ManualClock clock_;
    ManualMainQueue mainQueue_{clock_};
    ManualSerialQueue workQueue_;
    AppPreferences preferences_ = AppPreferences::defaults();
    VisualMemoryStore store_{paths_.root() / "VisualMemory"};
    FakeAnalyzer analyzer_;
    std::vector<VisualMemoryItem> published_;
    VisualMemoryRecordingService service_{environment(), analyzer_};
};

TEST_F(RecordingServiceTest, RecordsProvisionallyThenAppliesTheAnalysisInTheBackground) {
    const fs::path file = exported("screenshot 2024-05-01 at 10.00.00.png");
    const VisualMemorySource source{"Figma", "Figma", std::nullopt};
    const auto recorded = service_.record(file, ExportKind::screenshot, source);
    ASSERT_TRUE(recorded);
    EXPECT_EQ(recorded->summary, "Screenshot");
    EXPECT_EQ(recorded->tags, (std::vector<std::string>{"design", "figma", "screenshot"}));
    EXPECT_EQ(recorded->byteCount, 64);
    EXPECT_EQ(recorded->expiresAt, expirationDate(VisualMemoryRetentionPeriod::oneMonth, clock_.now()));
    EXPECT_EQ(published_.size(), 1u);
    EXPECT_EQ(log_.linesStartingWith("visualMemory recorded"),
              std::vector<std::string>{"visualMemory recorded kind=screenshot url=" + file.string() + " items=1"});
    EXPECT_TRUE(analyzer_.requests.empty()) << "the analysis waits for the background queue";

    store_.toggleFavorite(recorded->id);
    settle();
    const auto items = store_.load();
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items[0].summary, "Analysed " + file.filename().string());
    EXPECT_TRUE(items[0].isFavorite) << "user state made during the analysis survives";
    EXPECT_EQ(published_, items);
}

TEST_F(RecordingServiceTest, SaveSwitchesDecideUnlessForced) {
    preferences_.saveScreenshotToVisualMemory = false;
    EXPECT_FALSE(service_.record(exported("a.png"), ExportKind::appshot, {}));
    EXPECT_TRUE(store_.load().empty());
    EXPECT_TRUE(service_.record(exported("a.png"), ExportKind::appshot, {}, true));
    preferences_.videoRetentionPeriod = VisualMemoryRetentionPeriod::unlimited;
    const auto video = service_.recordWithoutAnalysis(exported("v.mp4"), ExportKind::videoMP4, {});
    ASSERT_TRUE(video);
    EXPECT_FALSE(video->expiresAt);
}

TEST_F(RecordingServiceTest, AnItemDeletedDuringItsAnalysisStaysDeleted) {
    const fs::path file = exported("a.png");
    const fs::path thumbnail = writeFile(paths_.root() / "VisualMemory" / "Thumbnails" / "a-thumb.jpg", 5);
    analyzer_.answer = [&](const fs::path&, ExportKind) {
        VisualMemoryAnalysis analysis;
        analysis.summary = "late";
        analysis.thumbnailPath = thumbnail.string();
        return Result<VisualMemoryAnalysis, VisualMemoryAnalysisError>::success(analysis);
    };
    service_.record(file, ExportKind::screenshot, {});
    store_.remove(file);
    settle();
    EXPECT_TRUE(store_.load().empty());
    EXPECT_FALSE(fs::exists(thumbnail)) << "the orphaned thumbnail is removed";
    EXPECT_EQ(log_.linesStartingWith("visualMemory analyze dropped").size(), 1u);
}

TEST_F(RecordingServiceTest, AnalysisFailureIsLoggedAndTheItemKept) {
    analyzer_.answer = [](const fs::path&, ExportKind) {
        return Result<VisualMemoryAnalysis, VisualMemoryAnalysisError>::failure({"disk full"});
    };
    const fs::path file = exported("b.png");
    service_.record(file, ExportKind::longshot, {});
    settle();
    EXPECT_EQ(store_.load().size(), 1u);
    EXPECT_EQ(log_.linesStartingWith("visualMemory analyze failed"),
              std::vector<std::string>{"visualMemory analyze failed url=" + file.string() + " error=disk full"});
}

TEST_F(RecordingServiceTest, CleanupsRunInOrderAndReportTheirTimes) {
    preferences_.screenshotRetentionPeriod = VisualMemoryRetentionPeriod::oneDay;
    const fs::path kept = exported("kept.png", 1000);
    const fs::path expired = exported("expired.png", 3000);
    const fs::path missing = exported("missing.png", 10);
    service_.recordWithoutAnalysis(expired, ExportKind::screenshot, {});
    clock_.advance(2 * 86400);
    service_.recordWithoutAnalysis(missing, ExportKind::screenshot, {});
    service_.recordWithoutAnalysis(kept, ExportKind::screenshot, {});
    EXPECT_EQ(store_.load().size(), 2u) << "recording already removed the expired item";

    VisualMemoryItem stale = item(expired, clock_.now().secondsSince1970 - 3 * 86400);
    writeFile(expired, 3000);
    store_.upsert(stale);
    fs::remove(missing);
    const auto result = service_.cleanupNow();
    EXPECT_EQ(result.removedItems, 2);
    EXPECT_EQ(result.freedBytes, 3000);
    EXPECT_EQ(result.items.size(), 1u);
    EXPECT_EQ(log_.linesStartingWith("visualMemory manual cleanup completed"),
              std::vector<std::string>{"visualMemory manual cleanup completed removedItems=2 freedBytes=3000 "
                                       "remainingItems=1"});

    service_.startupCleanup();
    service_.postPresentCleanup();
    EXPECT_EQ(log_.linesStartingWith("visualMemory startup cleanup completed"),
              std::vector<std::string>{"visualMemory startup cleanup completed items=1 missingMs=0 expiredMs=0 "
                                       "storageMs=0 totalMs=0"});
    EXPECT_EQ(log_.linesStartingWith("visualMemory postPresent cleanup"),
              (std::vector<std::string>{"visualMemory postPresent cleanup start items=1",
                                        "visualMemory postPresent cleanup completed items=1 expiredMs=0 storageMs=0 "
                                        "totalMs=0"}));
    preferences_.screenshotRetentionPeriod = VisualMemoryRetentionPeriod::oneDay;
    clock_.advance(86400);
    EXPECT_TRUE(service_.preferencesChangedCleanup().empty());
    EXPECT_TRUE(published_.empty());
}

} // namespace
} // namespace brisklet
