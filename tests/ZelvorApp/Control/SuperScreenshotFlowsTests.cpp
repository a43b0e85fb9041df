#include "ZelvorApp/Control/AppHarness.h"
#include "ZelvorApp/SuperScreenshot/AccessibilitySnapshotService.h"
#include "ZelvorApp/SuperScreenshot/KnowledgePackageWriter.h"
#include "ZelvorApp/SuperScreenshot/SuperScreenshotContextCollector.h"
#include "ZelvorApp/SuperScreenshot/SuperScreenshotFlow.h"
#include "ZelvorApp/SuperScreenshot/SuperScreenshotPackageRecorder.h"
#include "ZelvorApp/SuperScreenshot/SuperScreenshotTestSupport.h"

#include <gtest/gtest.h>

#include <fstream>

namespace brisklet {
namespace {

using control_testing::AppHarness;
using namespace superscreenshot_testing;

/// The controller with a real package writer in the harness's temporary library, over a scripted
/// accessibility tree, browser and text recognition.
class SuperScreenshotFlowsTest : public ::testing::Test {
protected:
    SuperScreenshotFlowsTest() {
        reader.tree = node("Window", {node("Invoice 2026-12"), node("Total due: 42 EUR")});
        recognition.plainText = "Invoice 2026-12\nPaid in full";
        app.superScreenshots = &flow;
    }

    fs::path packages() const { return app.paths.root() / "VisualMemory" / "Packages"; }

    AppHarness app;
    FakeAccessibilityReader reader;
    FakeBrowserMetadataProvider browsers;
    FakeTextRecognition recognition;
    AccessibilitySnapshotService accessibility{reader};
    SuperScreenshotContextCollector context{browsers, accessibility};
    KnowledgePackageWriter writer{app.paths.root() / "VisualMemory", app.codec};
    SuperScreenshotPackageRecorder recorder{VisualMemoryEnvironment{
        app.store, app.mainQueue, app.analysisQueue, app.clock, [this] { return app.model.preferences(); }, {}}};
    SuperScreenshotFlow flow{context, recognition, writer, recorder, app.clock};
};

TEST_F(SuperScreenshotFlowsTest, ARegionBecomesAPackageOfTheFrontApplicationRecordedAndShown) {
    AppController& controller = app.started();
    controller.startSuperScreenshotRegion();
    app.settle();
    ASSERT_EQ(app.overlay.configurations.size(), 1u);
    EXPECT_EQ(app.model.state(), AppViewState::capturingSuperScreenshot);
    app.overlay.select(app.regionSelection());
    app.settle();

    const std::vector<std::string> written = entryNames(packages());
    ASSERT_EQ(written.size(), 1u);
    const fs::path package = packages() / written.front();
    EXPECT_EQ(entryNames(package), (std::vector<std::string>{"context.md", "metadata.json", "screenshot.png"}));
    const std::string contextText = readText(package / "context.md");
    EXPECT_NE(contextText.find("### Total due\n\n- 42 EUR"), std::string::npos) << contextText;
    EXPECT_NE(contextText.find("Paid in full"), std::string::npos) << contextText;
    const std::string metadata = readText(package / "metadata.json");
    EXPECT_NE(metadata.find("\"mode\": \"region\""), std::string::npos) << metadata;
    // The front application when the user asked, not our own overlay.
    ASSERT_EQ(reader.snapshots.size(), 1u);
    EXPECT_EQ(reader.snapshots.front().processIdentifier, 77);
    ASSERT_EQ(browsers.requests.size(), 1u);
    EXPECT_EQ(browsers.requests.front().localizedName, "Firefox");

    const auto items = app.store.load();
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items.front().kind, ExportKind::appshot);
    EXPECT_EQ(items.front().packagePath, package.string());
    ASSERT_FALSE(app.thumbnails.presented.empty());
    EXPECT_EQ(app.thumbnails.presented.back().url, package / "screenshot.png");
    EXPECT_EQ(app.model.state(), AppViewState::idle);
    EXPECT_TRUE(app.log.mentions("super screenshot recorded package=" + package.string()));
}

TEST_F(SuperScreenshotFlowsTest, APackageThatCannotBeWrittenIsReportedAndNothingIsRecorded) {
    // A file where the package folder should go.
    fs::create_directories(packages().parent_path());
    std::ofstream(packages()) << "not a folder";
    AppController& controller = app.started();
    controller.startSuperScreenshotRegion();
    app.settle();
    app.overlay.select(app.regionSelection());
    app.settle();

    EXPECT_TRUE(app.store.load().empty());
    EXPECT_TRUE(app.thumbnails.presented.empty());
    ASSERT_FALSE(app.alerts.alerts.empty());
    EXPECT_EQ(app.alerts.alerts.back().title, app.localization.text(L10nKey::superScreenshotFailedTitle));
    EXPECT_EQ(app.model.state(), AppViewState::idle);
}

TEST_F(SuperScreenshotFlowsTest, CancellingTheOverlayWritesNothing) {
    AppController& controller = app.started();
    controller.startSuperScreenshotRegion();
    app.settle();
    app.overlay.cancel();
    app.settle();
    EXPECT_TRUE(entryNames(packages()).empty());
    EXPECT_EQ(app.model.state(), AppViewState::idle);
    EXPECT_TRUE(app.log.mentions("super screenshot cancelled"));
}

TEST(SuperScreenshotFlowsUnavailableTest, WithoutAPackageWriterItSaysSoAndStaysIdle) {
    AppHarness app;
    AppController& controller = app.started();
    const std::size_t before = app.alerts.alerts.size();
    controller.startSuperScreenshotWindow();
    app.settle();
    ASSERT_EQ(app.alerts.alerts.size(), before + 1);
    EXPECT_EQ(app.alerts.alerts.back().message, app.localization.text(L10nKey::superScreenshotUnavailable));
    EXPECT_TRUE(app.overlay.configurations.empty());
    EXPECT_EQ(app.model.state(), AppViewState::idle);
}

} // namespace
} // namespace brisklet
