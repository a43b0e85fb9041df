#include "MemoryTestSupport.h"

#include "Platform/Fake/ManualMainQueue.h"
#include "Platform/Fake/ScriptedPasteboard.h"
#include "Platform/Fake/ScriptedWorkspace.h"
#include "Platform/Linux/Codec/LinuxImageCodec.h"
#include "ZelvorApp/Export/AppClipboardWriteTracker.h"
#include "ZelvorApp/Export/ExportService.h"
#include "ZelvorApp/Memory/ClipboardVisualMemoryMonitor.h"
#include "ZelvorApp/Memory/ClipboardVisualMemoryRecorder.h"
#include "ZelvorApp/Memory/ContentDigest.h"
#include "ZelvorApp/Memory/VisualMemorySourceCollector.h"
#include "ZelvorCore/Stores/VisualMemoryStore.h"

#include <gtest/gtest.h>

namespace brisklet {
namespace {

using namespace memory_testing;

Image checkerboard(int width, int height) {
    Image image(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const std::uint8_t v = (x + y) % 2 == 0 ? 255 : 0;
            image.setPixel(x, y, v, 128, static_cast<std::uint8_t>(255 - v));
        }
    }
    return image;
}

class ClipboardMonitorTest : public ::testing::Test {
protected:
    ClipboardMonitorTest() {
        pasteboard_.copyText("already there when we start");
        monitor_ =
            std::make_unique<ClipboardVisualMemoryMonitor>(pasteboard_, &pasteboard_, tracker_, mainQueue_, codec_);
        monitor_->onTextCopied = [this](const std::string& text) { texts_.push_back(text); };
        monitor_->onImageCopied = [this](const Image& image, const std::string& data) {
            images_.push_back(image);
            imageData_.push_back(data);
        };
        monitor_->start();
    }
    void tick() { mainQueue_.runFor(ClipboardVisualMemoryMonitor::pollIntervalSeconds); }
    std::string png(const Image& image) { return codec_.encode(image, ImageFormat::png).value(); }

    ManualClock clock_;
    ManualMainQueue mainQueue_{clock_};
    ScriptedPasteboard pasteboard_;
    AppClipboardWriteTracker tracker_;
    LinuxImageCodec codec_;
    std::unique_ptr<ClipboardVisualMemoryMonitor> monitor_;
    std::vector<std::string> texts_;
    std::vector<Image> images_;
    std::vector<std::string> imageData_;
};

TEST_F(ClipboardMonitorTest, ReportsNewTextOnceNormalisedAndIgnoresShortOrRepeatedText) {
    tick();
    EXPECT_TRUE(texts_.empty()) << "what was copied before launch is not recorded";
    pasteboard_.copyText("\r\n  first line\r\nsecond line\rthird  \n");
    mainQueue_.runFor(0.79);
    EXPECT_TRUE(texts_.empty()) << "nothing happens before the poll interval";
    mainQueue_.runFor(0.01);
    EXPECT_EQ(texts_, std::vector<std::string>{"first line\nsecond line\nthird"});
    pasteboard_.copyText("first line\r\nsecond line\nthird");
    tick();
    pasteboard_.copyText(" ab ");
    tick();
    EXPECT_EQ(texts_.size(), 1u) << "the same text again and two-character texts are ignored";
    pasteboard_.copyText("abc");
    tick();
    EXPECT_EQ(texts_.back(), "abc");
}

TEST_F(ClipboardMonitorTest, OurOwnWritesAreSkippedOnceEach) {
    ExportService exports(pasteboard_, tracker_);
    exports.copyTextToPasteboard("copied from our editor");
    exports.copyImageToPasteboard(checkerboard(4, 4));
    tick();
    EXPECT_TRUE(texts_.empty());
    EXPECT_TRUE(images_.empty());
    pasteboard_.copyText("copied from another application");
    tick();
    EXPECT_EQ(texts_, std::vector<std::string>{"copied from another application"});
}

TEST_F(ClipboardMonitorTest, ImagesComeFirstAndAreReportedOncePerDigestUntilSomethingElseIsCopied) {
    const std::string bytes = png(checkerboard(8, 6));
    pasteboard_.copyData("image/png", bytes);
    tick();
    ASSERT_EQ(images_.size(), 1u);
    EXPECT_EQ(imageData_[0], bytes) << "the raw bytes, not a re-encoding";
    EXPECT_EQ(images_[0].width(), 8);
    pasteboard_.copyData("image/png", bytes);
    tick();
    EXPECT_EQ(images_.size(), 1u);
    pasteboard_.copyText("some text in between");
    tick();
    pasteboard_.copyData("image/png", bytes);
    tick();
    EXPECT_EQ(images_.size(), 2u) << "the digest only suppresses back-to-back copies of the same image";
}

TEST_F(ClipboardMonitorTest, CopiedImageFilesAreReadFromDiskAndOtherFilesIgnored) {
    TemporaryPaths paths;
    const std::string bytes = png(checkerboard(3, 3));
    const fs::path picture = writeText(paths.root() / "Photo.PNG", bytes);
    const fs::path document = writeText(paths.root() / "notes.txt", "text");
    pasteboard_.copyFiles({document, picture});
    tick();
    ASSERT_EQ(imageData_.size(), 1u);
    EXPECT_EQ(imageData_[0], bytes);
    pasteboard_.copyFiles({document});
    tick();
    EXPECT_EQ(imageData_.size(), 1u);
    EXPECT_TRUE(texts_.empty());
}

TEST_F(ClipboardMonitorTest, UndecodableImageDataFallsThroughToText) {
    pasteboard_.copyData("image/png", "not really a png");
    tick();
    EXPECT_TRUE(images_.empty());
    pasteboard_.copyImage(checkerboard(2, 2));
    tick();
    ASSERT_EQ(images_.size(), 1u) << "an image decoded by the clipboard itself is hashed as PNG";
    EXPECT_EQ(imageData_[0], png(checkerboard(2, 2)));
}

TEST_F(ClipboardMonitorTest, StartIsIdempotentAndStopOrDestructionEndsPolling) {
    monitor_->start();
    EXPECT_EQ(mainQueue_.pendingTaskCount(), 1u);
    monitor_->stop();
    pasteboard_.copyText("after stop");
    tick();
    EXPECT_TRUE(texts_.empty());
    EXPECT_EQ(mainQueue_.pendingTaskCount(), 0u);
    monitor_->start();
    tick();
    EXPECT_EQ(texts_, std::vector<std::string>{"after stop"});
    monitor_.reset();
    pasteboard_.copyText("after destruction");
    tick();
    EXPECT_EQ(texts_.size(), 1u);
}

class ClipboardRecorderTest : public ::testing::Test {
protected:
    ClipboardRecorderTest() {
        collector_.startTracking();
        workspace_.activate({"Notes", "notes", 77});
    }
    VisualMemoryEnvironment environment() {
        return {store_,
                mainQueue_,
                workQueue_,
                clock_,
                [this] { return preferences_; },
                [this](const std::vector<VisualMemoryItem>& items) { published_ = items; }};
    }
    void settle() {
        for (int round = 0; round < 10; ++round) {
            workQueue_.runPending();
            mainQueue_.drain();
        }
    }

    TemporaryPaths paths_;
    CapturedLog log_;
    ManualClock clock_;
    ManualMainQueue mainQueue_{clock_};
    ManualSerialQueue workQueue_;
    LinuxImageCodec codec_;
    AppPreferences preferences_ = AppPreferences::defaults();
    VisualMemoryStore store_{paths_.root() / "VisualMemory"};
    ScriptedWorkspace workspace_;
    VisualMemorySourceCollector collector_{workspace_};
    FakeAnalyzer analyzer_;
    std::vector<VisualMemoryItem> published_;
    ClipboardVisualMemoryRecorder recorder_{environment(), collector_, analyzer_, codec_};
};

TEST_F(ClipboardRecorderTest, CopiedTextBecomesAFileAndAnItemRefreshedWhenCopiedAgain) {
    const std::string text = "Meeting notes for the launch.\nhttps://example.com is the page";
    recorder_.recordClipboardText(text);
    const fs::path file = store_.rootDirectory() / "Text" / ("clipboard-" + fnv1a64Hex(text) + ".txt");
    EXPECT_EQ(readText(file), text);
    auto items = store_.load();
    ASSERT_EQ(items.size(), 1u);
    const auto& entry = items[0];
    EXPECT_EQ(entry.id, file.string());
    EXPECT_EQ(entry.kind, ExportKind::clipboardText);
    EXPECT_EQ(entry.ocrText, text);
    EXPECT_EQ(entry.byteCount, static_cast<std::int64_t>(text.size()));
    EXPECT_EQ(entry.clipboardContentKind, ClipboardContentKind::plainText);
    EXPECT_EQ(entry.sourceApp, "Notes");
    EXPECT_EQ(entry.summary, "Meeting notes for the launch");
    EXPECT_EQ(entry.expiresAt, Date{clock_.now().secondsSince1970 + 7 * 86400.0}) << "copied text keeps a week";
    EXPECT_EQ(published_, items);
    EXPECT_EQ(log_.linesStartingWith("clipboard text recorded id="),
              std::vector<std::string>{"clipboard text recorded id=" + file.string()});

    recorder_.recordClipboardText("Something else entirely, long enough");
    clock_.advance(60);
    recorder_.recordClipboardText(text);
    items = store_.load();
    ASSERT_EQ(items.size(), 2u) << "the same text refreshes its item";
    EXPECT_EQ(items.front().id, file.string());
    EXPECT_EQ(items.front().createdAt, clock_.now());
}

TEST_F(ClipboardRecorderTest, SensitiveTextIsNeverWrittenNorLogged) {
    const std::string secret = "my apikey is QWERTY-1234567";
    recorder_.recordClipboardText(secret);
    EXPECT_FALSE(fs::exists(store_.rootDirectory() / "Text"));
    EXPECT_TRUE(store_.load().empty());
    EXPECT_EQ(log_.lines(), std::vector<std::string>{"clipboard text skipped by sensitive pattern"});
    EXPECT_FALSE(log_.mentions("QWERTY"));
}

TEST_F(ClipboardRecorderTest, SwitchedOffKindsAndBlankTextRecordNothing) {
    preferences_.saveClipboardTextToVisualMemory = false;
    recorder_.recordClipboardText("A perfectly ordinary sentence.");
    preferences_.saveClipboardTextToVisualMemory = true;
    recorder_.recordClipboardText(" \n ");
    preferences_.saveClipboardImageToVisualMemory = false;
    recorder_.recordClipboardImage(checkerboard(2, 2), "data");
    settle();
    EXPECT_TRUE(store_.load().empty());
    EXPECT_FALSE(fs::exists(store_.rootDirectory()));
}

TEST_F(ClipboardRecorderTest, OurOwnApplicationIsNeverNamedAsTheSource) {
    workspace_.activate({"Brisklet", "brisklet", 4242});
    recorder_.recordClipboardText("Copied while our window was in front");
    EXPECT_EQ(store_.load().front().sourceApp, "Notes");
}

TEST_F(ClipboardRecorderTest, CopiedImageIsWrittenRecordedAndAnalysed) {
    const std::string pngBytes = codec_.encode(checkerboard(5, 4), ImageFormat::png).value();
    recorder_.recordClipboardImage(checkerboard(5, 4), pngBytes);
    EXPECT_TRUE(store_.load().empty()) << "the file is written on the work queue first";
    settle();
    const fs::path file =
        store_.rootDirectory() / "ClipboardImages" / ("clipboard-image-" + fnv1a64Hex(pngBytes) + ".png");
    EXPECT_EQ(readText(file), pngBytes) << "PNG data is stored unchanged";
    const auto items = store_.load();
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items[0].kind, ExportKind::clipboardImage);
    EXPECT_EQ(items[0].clipboardContentKind, ClipboardContentKind::image);
    EXPECT_EQ(items[0].summary, "Analysed " + file.filename().string());
    EXPECT_EQ(items[0].ocrText, "# text of " + file.filename().string());
    EXPECT_EQ(items[0].expiresAt, expirationDate(VisualMemoryRetentionPeriod::oneMonth, items[0].createdAt));
    EXPECT_EQ(log_.linesStartingWith("clipboard image recorded id="),
              std::vector<std::string>{"clipboard image recorded id=" + file.string()});
}

TEST_F(ClipboardRecorderTest, NonPngImagesAreConvertedAndAnalysisFailuresLogged) {
    const std::string jpeg = codec_.encode(checkerboard(6, 6), ImageFormat::jpeg, 0.9).value();
    analyzer_.answer = [](const fs::path&, ExportKind) {
        return Result<VisualMemoryAnalysis, VisualMemoryAnalysisError>::failure({"thumbnail could not be written"});
    };
    recorder_.recordClipboardImage(checkerboard(6, 6), jpeg);
    settle();
    const fs::path file = store_.rootDirectory() / "ClipboardImages" / ("clipboard-image-" + fnv1a64Hex(jpeg) + ".png");
    const auto decoded = codec_.readFile(file);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded.value(), checkerboard(6, 6));
    EXPECT_EQ(store_.load().front().summary, "Copied image") << "the provisional item stays";
    EXPECT_EQ(log_.linesStartingWith("clipboard image analyze failed"),
              std::vector<std::string>{"clipboard image analyze failed url=" + file.string() +
                                       " error=thumbnail could not be written"});
}

} // namespace
} // namespace brisklet
