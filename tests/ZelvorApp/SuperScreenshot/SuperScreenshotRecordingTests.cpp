#include "SuperScreenshotTestSupport.h"

#include "Platform/Fake/ManualClock.h"
#include "Platform/Fake/ManualMainQueue.h"
#include "Platform/Fake/ManualSerialQueue.h"
#include "Platform/Fake/TemporaryPaths.h"
#include "Platform/Linux/Codec/LinuxImageCodec.h"
#include "ZelvorApp/SuperScreenshot/AccessibilitySnapshotService.h"
#include "ZelvorApp/SuperScreenshot/KnowledgePackageWriter.h"
#include "ZelvorApp/SuperScreenshot/SuperScreenshotContextCollector.h"
#include "ZelvorApp/SuperScreenshot/SuperScreenshotFlow.h"
#include "ZelvorApp/SuperScreenshot/SuperScreenshotPackageRecorder.h"
#include "ZelvorCore/Models/AppPreferences.h"
#include "ZelvorCore/Stores/VisualMemoryStore.h"
#include "support/CapturedLog.h"

#include <nlohmann/json.hpp>

#include <gtest/gtest.h>

namespace brisklet {
namespace {

using namespace superscreenshot_testing;

constexpr double day = 86'400;

CapturedWindowInfo firefoxWindow() {
    return {9001, "  Release notes \u2014 Mozilla Firefox", "Firefox", 4242, Rect{{0, 0}, {800, 600}}};
}

RunningApplication firefox() {
    return {"Firefox", "firefox", 4242};
}

RunningApplication editor() {
    return {"Text Editor", "gedit", 3131};
}

class SuperScreenshotRecordingTest : public ::testing::Test {
protected:
    SuperScreenshotRecordingTest() {
        preferences_.screenshotRetentionPeriod = VisualMemoryRetentionPeriod::oneWeek;
        preferences_.longshotRetentionPeriod = VisualMemoryRetentionPeriod::oneDay;
        reader_.tree = node("Release notes",
                            {node("Version 2.0 brings faster exports and a new library window"), node("Download")});
        recognition_.plainText = "Release notes\nDownload\nCopyright 2024 Example Corp";
    }

    VisualMemoryEnvironment environment() {
        return {store_,
                mainQueue_,
                workQueue_,
                clock_,
                [this] { return preferences_; },
                [this](const std::vector<VisualMemoryItem>& items) { published_ = items; }};
    }

    SuperScreenshotRequest request(std::optional<CapturedWindowInfo> window,
                                   std::optional<RunningApplication> application) const {
        Image image(8, 6);
        image.fill(30, 120, 200);
        return {
            image,
            {window ? SuperScreenshotCaptureMode::window : SuperScreenshotCaptureMode::region, Rect{{5, 5}, {8, 6}}},
            std::move(window),
            std::move(application),
            "Unknown App"};
    }

    fs::path root() const { return paths_.root() / "VisualMemory"; }

    TemporaryPaths paths_;
    testing::CapturedLog log_;
    ManualClock clock_{Date{1'700'000'000}};
    ManualMainQueue mainQueue_{clock_};
    ManualSerialQueue workQueue_;
    AppPreferences preferences_ = AppPreferences::defaults();
    VisualMemoryStore store_{paths_.root() / "VisualMemory"};
    std::vector<VisualMemoryItem> published_;
    LinuxImageCodec codec_;

    FakeBrowserMetadataProvider browsers_;
    FakeAccessibilityReader reader_;
    FakeTextRecognition recognition_;
    AccessibilitySnapshotService accessibility_{reader_};
    SuperScreenshotContextCollector collector_{browsers_, accessibility_};
    KnowledgePackageWriter writer_{root(), codec_};
    SuperScreenshotPackageRecorder recorder_{environment()};
    SuperScreenshotFlow flow_{collector_, recognition_, writer_, recorder_, clock_};
};

TEST_F(SuperScreenshotRecordingTest, SourceOfWindowAndRegionCaptures) {
    const auto window = superScreenshotSource(firefoxWindow(), RunningApplication{"Other", "other", 1}, "Unknown App");
    EXPECT_EQ(window.appName, "Firefox") << "the window's owner names the source";
    EXPECT_EQ(window.bundleIdentifier, "other");
    EXPECT_EQ(window.processIdentifier, 4242) << "the window's own process";
    EXPECT_EQ(window.windowID, 9001);
    EXPECT_EQ(window.windowTitle, "  Release notes \u2014 Mozilla Firefox");
    EXPECT_EQ(window.sourceURL, std::nullopt);

    CapturedWindowInfo withoutPid = firefoxWindow();
    withoutPid.ownerPID.reset();
    EXPECT_EQ(superScreenshotSource(withoutPid, firefox(), "?").processIdentifier, 4242);
    EXPECT_EQ(superScreenshotSource(withoutPid, std::nullopt, "?").processIdentifier, 0);
    EXPECT_EQ(superScreenshotSource(withoutPid, std::nullopt, "?").bundleIdentifier, std::nullopt);

    const auto region = superScreenshotSource(std::nullopt, editor(), "Unknown App");
    EXPECT_EQ(region.appName, "Text Editor");
    EXPECT_EQ(region.processIdentifier, 3131);
    EXPECT_EQ(region.windowID, std::nullopt);
    EXPECT_EQ(region.windowTitle, std::nullopt);
    EXPECT_EQ(superScreenshotSource(std::nullopt, RunningApplication{"", "x", 5}, "Unbekannte App").appName,
              "Unbekannte App");
    EXPECT_EQ(superScreenshotSource(std::nullopt, std::nullopt, "Unknown App").processIdentifier, 0);
}

TEST_F(SuperScreenshotRecordingTest, BrowserCaptureBecomesAnAppShotTitledByThePage) {
    browsers_.answer = BrowserCaptureMetadata{"https://example.com/releases", "  Release notes  ",
                                              BrowserDeepCaptureStatus::metadataAvailable};
    const auto outcome = flow_.run(request(firefoxWindow(), firefox()));
    ASSERT_TRUE(outcome.ok()) << outcome.error().description();
    const KnowledgePackageResult& package = outcome.value();
    EXPECT_TRUE(store_.load().empty()) << "the store is touched on the main queue only";
    mainQueue_.drain();

    const auto items = store_.load();
    ASSERT_EQ(items.size(), 1u);
    const VisualMemoryItem& item = items.front();
    EXPECT_EQ(item.kind, ExportKind::appshot);
    EXPECT_EQ(item.url, package.screenshotURL);
    EXPECT_EQ(item.id, package.screenshotURL.string());
    EXPECT_EQ(item.summary, "Release notes") << "the page title, trimmed";
    EXPECT_EQ(item.sourceWindow, "  Release notes  ") << "the page title as the browser gave it";
    EXPECT_EQ(item.sourceApp, "Firefox");
    EXPECT_EQ(item.sourceURL, "https://example.com/releases");
    EXPECT_EQ(item.browserDeepCaptureStatus, BrowserDeepCaptureStatus::metadataAvailable);
    EXPECT_EQ(item.packagePath, package.packageDirectory.string());
    EXPECT_EQ(item.contextKind, VisualMemoryContextKind::appshot);
    EXPECT_EQ(item.contextText, package.contextText);
    EXPECT_EQ(item.ocrText, recognition_.plainText);
    EXPECT_EQ(item.byteCount, static_cast<std::int64_t>(fs::file_size(package.screenshotURL)));
    EXPECT_EQ(item.createdAt, clock_.now());
    EXPECT_EQ(item.expiresAt, clock_.now().addingSeconds(7 * day)) << "the app-shot retention";
    EXPECT_EQ(published_, items);

    EXPECT_EQ(package.packageDirectory.filename(), "20231114-221320-Release-notes");
    EXPECT_TRUE(package.contextText.starts_with("# Release notes\n\n## Source\n\n- URL: https://example.com/releases"))
        << package.contextText;
    EXPECT_NE(package.contextText.find("## OCR Fallback\n\nCopyright 2024 Example Corp"), std::string::npos)
        << package.contextText;
    EXPECT_EQ(package.metadata.text.accessibilityNodeCount, 3);
    EXPECT_EQ(log_.linesStartingWith("super screenshot recorded package="),
              std::vector<std::string>{"super screenshot recorded package=" + package.packageDirectory.string()});
}

TEST_F(SuperScreenshotRecordingTest, OtherApplicationsCarryNoBrowserStatus) {
    reader_.tree = node("notes.txt", {node("Quarterly revenue grew by twelve percent in every region")});
    recognition_.plainText = "Quarterly revenue grew by twelve percent in every region";
    CapturedWindowInfo window{55, "notes.txt", "Text Editor", 3131, Rect{{0, 0}, {400, 300}}};
    const auto outcome = flow_.run(request(window, editor()));
    ASSERT_TRUE(outcome.ok());
    mainQueue_.drain();
    const auto items = store_.load();
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items[0].browserDeepCaptureStatus, std::nullopt);
    EXPECT_EQ(items[0].sourceWindow, "notes.txt");
    EXPECT_EQ(items[0].sourceURL, std::nullopt);
    EXPECT_EQ(items[0].summary, "Quarterly revenue grew by twelve percent in every region")
        << "no page title: the summary comes from the text";
    const auto metadata = nlohmann::json::parse(readText(outcome.value().metadataURL));
    EXPECT_FALSE(metadata.contains("browser"));
    ASSERT_EQ(browsers_.requests.size(), 1u) << "the application is still asked";
    EXPECT_EQ(browsers_.requests[0], editor());
}

TEST_F(SuperScreenshotRecordingTest, ASupportedBrowserThatDoesNotAnswerIsRecordedAsUnavailable) {
    const auto outcome = flow_.run(request(firefoxWindow(), firefox()));
    ASSERT_TRUE(outcome.ok());
    EXPECT_EQ(outcome.value().metadata.browser, BrowserCaptureMetadata::unavailable());
    mainQueue_.drain();
    const auto items = store_.load();
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items[0].browserDeepCaptureStatus, BrowserDeepCaptureStatus::metadataUnavailable);
    EXPECT_EQ(items[0].sourceWindow, firefoxWindow().title);
    EXPECT_EQ(outcome.value().packageDirectory.filename(), "20231114-221320-Release-notes-\u2014-Mozilla-Firefox");
}

TEST_F(SuperScreenshotRecordingTest, AFailedWriteRecordsNothing) {
    fs::create_directories(root());
    std::ofstream(root() / "Packages") << "in the way";
    const auto outcome = flow_.run(request(firefoxWindow(), firefox()));
    ASSERT_FALSE(outcome.ok());
    EXPECT_EQ(outcome.error().step, KnowledgePackageWriteError::Step::createDirectory);
    mainQueue_.drain();
    EXPECT_TRUE(store_.load().empty());
    EXPECT_TRUE(published_.empty());
    EXPECT_TRUE(log_.linesStartingWith("super screenshot recorded").empty());
    EXPECT_EQ(log_.linesStartingWith("super screenshot failed error=createDirectory").size(), 1u);
}

TEST_F(SuperScreenshotRecordingTest, RegionWithoutAProcessReadsNoAccessibility) {
    reader_.trusted = false;
    const auto outcome = flow_.run(request(std::nullopt, std::nullopt));
    ASSERT_TRUE(outcome.ok());
    EXPECT_TRUE(reader_.snapshots.empty());
    EXPECT_EQ(reader_.trustRequests, 0) << "nobody is asked for a permission that cannot help";
    EXPECT_TRUE(browsers_.requests.empty());
    const auto& metadata = outcome.value().metadata;
    EXPECT_EQ(metadata.source.appName, "Unknown App");
    EXPECT_EQ(metadata.capture.mode, SuperScreenshotCaptureMode::region);
    EXPECT_EQ(metadata.text, (KnowledgePackageTextMetadata{50, 0, 0, false}));
    EXPECT_EQ(metadata.browser, std::nullopt);
    EXPECT_EQ(outcome.value().packageDirectory.filename(), "20231114-221320-Unknown-App");
}

TEST_F(SuperScreenshotRecordingTest, AsksForAccessibilityOnceAndStillWritesThePackageWithoutIt) {
    reader_.trusted = false;
    auto denied = flow_.run(request(firefoxWindow(), firefox()));
    ASSERT_TRUE(denied.ok());
    EXPECT_EQ(reader_.trustRequests, 1);
    EXPECT_TRUE(reader_.snapshots.empty());
    EXPECT_EQ(denied.value().metadata.text.accessibilityNodeCount, 0);
    EXPECT_EQ(denied.value().contextText.find("## Main Text"), std::string::npos);

    reader_.grantsTrust = true;
    auto granted = flow_.run(request(firefoxWindow(), firefox()));
    ASSERT_TRUE(granted.ok());
    EXPECT_EQ(reader_.trustRequests, 2);
    ASSERT_EQ(reader_.snapshots.size(), 1u);
    EXPECT_EQ(reader_.snapshots[0].processIdentifier, 4242);
    EXPECT_EQ(reader_.snapshots[0].windowTitle, firefoxWindow().title);

    flow_.run(request(firefoxWindow(), firefox()));
    EXPECT_EQ(reader_.trustRequests, 2) << "no prompt once trusted";
}

TEST_F(SuperScreenshotRecordingTest, FailedTextRecognitionStillGivesAPackage) {
    recognition_.fails = true;
    const auto outcome = flow_.run(request(firefoxWindow(), firefox()));
    ASSERT_TRUE(outcome.ok());
    EXPECT_EQ(outcome.value().metadata.text.ocrLength, 0);
    EXPECT_EQ(outcome.value().contextText.find("## OCR Fallback"), std::string::npos);
    EXPECT_EQ(log_.linesStartingWith("super screenshot text recognition failed").size(), 1u);
    mainQueue_.drain();
    EXPECT_EQ(store_.load().size(), 1u);
}

TEST_F(SuperScreenshotRecordingTest, RecordingRunsTheLibraryCleanUps) {
    // A scrolling capture older than its one-day retention, and a favourite just as old.
    const fs::path oldFile = paths_.root() / "old.png";
    std::ofstream(oldFile) << "old";
    VisualMemoryItem old =
        VisualMemoryItem::forFile(oldFile, ExportKind::longshot, clock_.now().addingSeconds(-2 * day));
    old.summary = "old";
    const fs::path keptFile = paths_.root() / "kept.png";
    std::ofstream(keptFile) << "kept";
    VisualMemoryItem kept =
        VisualMemoryItem::forFile(keptFile, ExportKind::longshot, clock_.now().addingSeconds(-2 * day));
    kept.summary = "kept";
    kept.isFavorite = true;
    store_.persist({old, kept});

    ASSERT_TRUE(flow_.run(request(firefoxWindow(), firefox())).ok());
    mainQueue_.drain();
    const auto items = store_.load();
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0].kind, ExportKind::appshot);
    EXPECT_EQ(items[1].id, kept.id);
    EXPECT_FALSE(fs::exists(oldFile));
}

TEST_F(SuperScreenshotRecordingTest, NothingIsStoredOnceTheRecorderIsGone) {
    auto recorder = std::make_unique<SuperScreenshotPackageRecorder>(environment());
    auto package = writer_.write(request(std::nullopt, editor()).image, KnowledgePackageContent{});
    ASSERT_TRUE(package.ok());
    recorder->record({package.value(), "", "", {}, std::nullopt});
    recorder.reset();
    mainQueue_.drain();
    EXPECT_TRUE(store_.load().empty());
}

TEST_F(SuperScreenshotRecordingTest, ItemTakesTheSourceWhenThePageTellsNothing) {
    SuperScreenshotPackageRecord record;
    record.package.screenshotURL = paths_.root() / "missing" / "screenshot.png";
    record.package.packageDirectory = paths_.root() / "missing";
    record.package.contextText = "# Notes";
    record.source.appName = "Firefox";
    record.source.windowTitle = "Window";
    record.source.sourceURL = "https://source.example/";
    record.pageMetadata = BrowserCaptureMetadata::unavailable();
    const VisualMemoryItem item = SuperScreenshotPackageRecorder::makeItem(record, clock_.now(), preferences_);
    EXPECT_EQ(item.sourceWindow, "Window");
    EXPECT_EQ(item.sourceURL, "https://source.example/");
    EXPECT_EQ(item.browserDeepCaptureStatus, BrowserDeepCaptureStatus::metadataUnavailable);
    EXPECT_EQ(item.byteCount, std::nullopt) << "the screenshot cannot be read";
    EXPECT_EQ(item.summary, "Window") << "without a page title the window stands in";

    preferences_.screenshotRetentionPeriod = VisualMemoryRetentionPeriod::unlimited;
    EXPECT_EQ(SuperScreenshotPackageRecorder::makeItem(record, clock_.now(), preferences_).expiresAt, std::nullopt);
}

} // namespace
} // namespace brisklet
