#include "Platform/Fake/ScriptedDisplayServer.h"
#include "Platform/Fake/ScriptedScreenCaptureBackend.h"
#include "Platform/Fake/ScriptedScreenshotTool.h"
#include "Platform/Fake/TemporaryPaths.h"
#include "Platform/Linux/Codec/LinuxImageCodec.h"
#include "ZelvorApp/Capture/CaptureGeometry.h"
#include "ZelvorApp/Capture/FullDisplayCaptureGeometry.h"
#include "ZelvorApp/Capture/ScreenCaptureErrorText.h"
#include "ZelvorApp/Capture/ScreenCaptureService.h"
#include "ZelvorApp/Capture/ScreenshotCaptureExclusionPolicy.h"
#include "ZelvorApp/Capture/SnapshotImageCropper.h"
#include "ZelvorApp/Infrastructure/LocalizationStore.h"

#include <gtest/gtest.h>

namespace brisklet {
namespace {

/// Every pixel gets a colour made from its position, so any misplaced crop shows.
Image patternImage(int width, int height) {
    Image image(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            image.setPixel(x, y, static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y),
                           static_cast<std::uint8_t>((x * 7 + y * 13) & 0xff));
        }
    }
    return image;
}

Image cut(const Image& image, int x, int y, int width, int height) {
    return *SnapshotImageCropper::crop(image, Rect{{double(x), double(y)}, {double(width), double(height)}});
}

class ScreenCaptureServiceTest : public ::testing::Test {
protected:
    /// One 200 × 150 point screen at the origin; the desktop picture is at `scale`.
    void makeService(double scale = 1.0) {
        desktop_ = patternImage(static_cast<int>(200 * scale), static_cast<int>(150 * scale));
        backend_ =
            std::make_unique<ScriptedScreenCaptureBackend>(ScriptedScreenCaptureBackend::stillDesktop(desktop_, scale));
        std::filesystem::create_directories(paths_.temporaryDirectory());
        service_ = std::make_unique<ScreenCaptureService>(*backend_, tool_, codec_, paths_.temporaryDirectory(),
                                                          localization_);
        context_ = ScreenCaptureContext{1, screen_, screen_};
    }

    bool temporaryDirectoryIsEmpty() const { return std::filesystem::is_empty(paths_.temporaryDirectory()); }

    const Rect screen_{{0, 0}, {200, 150}};
    LinuxImageCodec codec_;
    TemporaryPaths paths_;
    LocalizationStore localization_{[] { return std::vector<std::string>{"en"}; }};
    ScriptedScreenshotTool tool_{codec_};
    Image desktop_;
    std::unique_ptr<ScriptedScreenCaptureBackend> backend_;
    std::unique_ptr<ScreenCaptureService> service_;
    ScreenCaptureContext context_;
};

TEST_F(ScreenCaptureServiceTest, MakeContextNeedsANumberedScreenAndUnitesAllFrames) {
    const DisplayScreen left = ScriptedDisplayServer::screen(1, Rect{{0, 0}, {1920, 1080}}, true);
    const DisplayScreen right = ScriptedDisplayServer::screen(2, Rect{{1920, -200}, {1280, 1024}});
    auto context = ScreenCaptureService::makeContext(right, {left, right});
    ASSERT_TRUE(context);
    EXPECT_EQ(context.value().displayID, 2u);
    EXPECT_EQ(context.value().screenFrame, right.frame);
    EXPECT_EQ(context.value().virtualDesktopFrame, (Rect{{0, -200}, {3200, 1280}}));

    DisplayScreen unnamed = left;
    unnamed.displayID.reset();
    EXPECT_EQ(ScreenCaptureService::makeContext(unnamed, {unnamed}).error(), ScreenCaptureError::missingScreen);
    EXPECT_EQ(ScreenCaptureService::makeContext(left, {}).error(), ScreenCaptureError::missingScreen);
}

TEST_F(ScreenCaptureServiceTest, DegenerateOrOffScreenRectanglesFailBeforeAnyCapture) {
    makeService();
    EXPECT_EQ(service_->capture(Rect{{10, 10}, {1, 50}}, context_, true).error(), ScreenCaptureError::invalidCrop);
    EXPECT_EQ(service_->capture(Rect{{10, 10}, {50, 1}}, context_, true).error(), ScreenCaptureError::invalidCrop);
    EXPECT_EQ(service_->capture(Rect{{300, 10}, {50, 50}}, context_, true).error(), ScreenCaptureError::invalidCrop);
    EXPECT_EQ(service_->captureForGIF(Rect{{0, 0}, {1, 1}}, context_).error(), ScreenCaptureError::invalidCrop);
    EXPECT_TRUE(backend_->calls().empty());
    EXPECT_TRUE(tool_.calls().empty());
}

TEST_F(ScreenCaptureServiceTest, WholeScreenComesBackUncroppedAndRegionsAreCutFromTheTop) {
    makeService();
    auto whole = service_->capture(screen_, context_, true);
    ASSERT_TRUE(whole);
    EXPECT_EQ(whole.value(), desktop_);

    // 40 × 30 points whose top edge is 20 points below the screen's top: pixel rows 20...49.
    auto region = service_->capture(Rect{{15, 100}, {40, 30}}, context_, true);
    ASSERT_TRUE(region);
    EXPECT_EQ(region.value(), cut(desktop_, 15, 20, 40, 30));
    // The backend always captured the whole screen; the service crops.
    ASSERT_EQ(backend_->calls().size(), 2u);
    EXPECT_EQ(backend_->calls()[1].rect, screen_);
}

TEST_F(ScreenCaptureServiceTest, ScaleTwoDoublesThePixelCrop) {
    makeService(2.0);
    auto region = service_->capture(Rect{{0, 100}, {100, 50}}, context_, true);
    ASSERT_TRUE(region);
    EXPECT_EQ(region.value(), cut(desktop_, 0, 0, 200, 100));
}

TEST_F(ScreenCaptureServiceTest, FractionalRectanglesAreWidenedToWholePixelsAndOverhangsAreRefused) {
    makeService();
    auto region = service_->capture(Rect{{10.5, 10.25}, {20, 20}}, context_, true);
    ASSERT_TRUE(region);
    EXPECT_EQ(region.value(), cut(desktop_, 10, 119, 21, 21));
    // Overlaps the screen but sticks out of its image.
    EXPECT_EQ(service_->capture(Rect{{180, 10}, {40, 40}}, context_, true).error(), ScreenCaptureError::invalidCrop);
}

TEST_F(ScreenCaptureServiceTest, ExcludedWindowsGoToTheBackendAndAnEmptyListSkipsThatPath) {
    makeService();
    auto plain = service_->capture(Rect{{0, 0}, {50, 50}}, context_, std::vector<std::uint32_t>{});
    ASSERT_TRUE(plain);
    ASSERT_EQ(backend_->calls().size(), 1u);
    EXPECT_TRUE(backend_->calls()[0].excludedWindowIDs.empty());

    auto filtered = service_->capture(Rect{{0, 0}, {50, 50}}, context_, std::vector<std::uint32_t>{7, 9});
    ASSERT_TRUE(filtered);
    EXPECT_EQ(filtered.value(), cut(desktop_, 0, 100, 50, 50));
    ASSERT_EQ(backend_->calls().size(), 2u);
    EXPECT_EQ(backend_->calls()[1].excludedWindowIDs, (std::vector<std::uint32_t>{7, 9}));
    EXPECT_EQ(backend_->calls()[1].rect, screen_);
}

TEST_F(ScreenCaptureServiceTest, AFailedFilteredCaptureFallsBackToThePlainOne) {
    makeService();
    backend_->failWhenExcluding(true);
    auto region = service_->capture(Rect{{0, 0}, {50, 50}}, context_, std::vector<std::uint32_t>{7});
    ASSERT_TRUE(region);
    EXPECT_EQ(region.value(), cut(desktop_, 0, 100, 50, 50));
    ASSERT_EQ(backend_->calls().size(), 2u);
    EXPECT_TRUE(backend_->calls()[1].excludedWindowIDs.empty());
}

TEST_F(ScreenCaptureServiceTest, TheToolTakesOverWhenTheBackendFailsAndGetsTopLeftCoordinates) {
    makeService();
    backend_->failWith(ScreenCaptureError::captureFailed);
    const Image toolImage = patternImage(200, 150);
    tool_.setImage(toolImage);
    auto region = service_->capture(Rect{{20, 30}, {60, 40}}, context_, true);
    ASSERT_TRUE(region);
    EXPECT_EQ(region.value(), cut(toolImage, 20, 80, 60, 40));
    ASSERT_EQ(tool_.calls().size(), 1u);
    EXPECT_EQ(tool_.calls()[0].toolRect, screen_);
    EXPECT_EQ(tool_.calls()[0].timeoutSeconds, ScreenCaptureService::toolTimeoutSeconds);
    EXPECT_TRUE(temporaryDirectoryIsEmpty());

    // Without the fast path the backend is not asked at all.
    const auto backendCalls = backend_->calls().size();
    auto gifless = service_->captureWithSystemTool(Rect{{20, 30}, {60, 40}}, context_, false);
    ASSERT_TRUE(gifless);
    EXPECT_EQ(backend_->calls().size(), backendCalls);
    EXPECT_EQ(tool_.calls()[1].toolRect, (Rect{{20, 80}, {60, 40}}));
}

TEST_F(ScreenCaptureServiceTest, ToolFailuresAreCaptureFailedAndLeaveNoFileBehind) {
    makeService();
    backend_->failWith(ScreenCaptureError::captureFailed);
    tool_.setImage(patternImage(200, 150));
    for (const ScreenshotToolRun& run :
         {ScreenshotToolRun{true, {}, true, -1, {}, {}},
          ScreenshotToolRun{false, "cannot run import", false, -1, {}, {}},
          ScreenshotToolRun{true, {}, false, 1, {}, "import: unable to open X server"}}) {
        tool_.setOutcome(run);
        EXPECT_EQ(service_->capture(screen_, context_, true).error(), ScreenCaptureError::captureFailed);
        EXPECT_TRUE(temporaryDirectoryIsEmpty());
    }
    tool_.setOutcome(ScreenshotToolRun{true, {}, false, 0, {}, {}});
    tool_.setImage(std::nullopt);
    EXPECT_EQ(service_->capture(screen_, context_, true).error(), ScreenCaptureError::captureFailed);
}

TEST_F(ScreenCaptureServiceTest, WindowCapturesRunTheToolForThatWindow) {
    makeService();
    const Image window = patternImage(30, 20);
    tool_.setImage(window);
    auto image = service_->captureWindow(0x400001, true);
    ASSERT_TRUE(image);
    EXPECT_EQ(image.value(), window);
    ASSERT_EQ(tool_.calls().size(), 1u);
    EXPECT_EQ(tool_.calls()[0].windowID, 0x400001u);
    EXPECT_TRUE(tool_.calls()[0].includeDecorations);
    EXPECT_TRUE(backend_->calls().empty());
}

TEST_F(ScreenCaptureServiceTest, GifFramesCaptureOnlyTheirRectangle) {
    makeService();
    auto frame = service_->captureForGIF(Rect{{10, 10}, {30, 20}}, context_);
    ASSERT_TRUE(frame);
    EXPECT_EQ(frame.value(), cut(desktop_, 10, 120, 30, 20));
    ASSERT_EQ(backend_->calls().size(), 1u);
    EXPECT_EQ(backend_->calls()[0].rect, (Rect{{10, 10}, {30, 20}}));
}

TEST(ScreenCaptureHelpersTest, ExclusionPolicyKeepsTheEditorFirstWithoutZeroOrRepeats) {
    EXPECT_EQ(ScreenshotCaptureExclusionPolicy::windowIDs(7, {0, 7, 9}), (std::vector<std::uint32_t>{7, 9}));
    EXPECT_EQ(ScreenshotCaptureExclusionPolicy::windowIDs(std::nullopt, {5, 0, 5, 3}),
              (std::vector<std::uint32_t>{5, 3}));
    EXPECT_EQ(ScreenshotCaptureExclusionPolicy::windowIDs(0, {-4, 4294967296}), std::vector<std::uint32_t>{});
}

TEST(ScreenCaptureHelpersTest, FullDisplayGeometryScalesAndClamps) {
    const auto retina = FullDisplayCaptureGeometry::make(1512, 982, 2);
    EXPECT_EQ(retina.pixelWidth, 3024);
    EXPECT_EQ(retina.pixelHeight, 1964);
    EXPECT_EQ(retina.pointRect, (Rect{{0, 0}, {1512, 982}}));
    EXPECT_EQ(retina.pixelRect, (Rect{{0, 0}, {3024, 1964}}));
    const auto small = FullDisplayCaptureGeometry::make(0, 10, 0.5);
    EXPECT_EQ(small.pointRect, (Rect{{0, 0}, {1, 10}}));
    EXPECT_EQ(small.pixelWidth, 1);
    EXPECT_EQ(small.pixelHeight, 10);
}

TEST(ScreenCaptureHelpersTest, ErrorsUseTheirLocalizationKeys) {
    EXPECT_EQ(l10nKey(ScreenCaptureError::missingScreen), L10nKey::errorMissingScreen);
    EXPECT_EQ(l10nKey(ScreenCaptureError::captureFailed), L10nKey::errorCaptureFailed);
    EXPECT_EQ(l10nKey(ScreenCaptureError::invalidCrop), L10nKey::errorInvalidCrop);
    const LocalizationStore english([] { return std::vector<std::string>{"en"}; });
    EXPECT_EQ(localizedDescription(ScreenCaptureError::invalidCrop, english), english.text(L10nKey::errorInvalidCrop));
    EXPECT_FALSE(localizedDescription(ScreenCaptureError::invalidCrop, english).empty());
}

TEST(ScreenCaptureHelpersTest, CropperRefusesRectanglesOutsideOrNotWhole) {
    const Image image = patternImage(10, 8);
    EXPECT_FALSE(SnapshotImageCropper::crop(image, Rect{{5, 5}, {6, 2}}));
    EXPECT_FALSE(SnapshotImageCropper::crop(image, Rect{{-1, 0}, {3, 3}}));
    EXPECT_FALSE(SnapshotImageCropper::crop(image, Rect{{0.5, 0}, {3, 3}}));
    EXPECT_FALSE(SnapshotImageCropper::crop(image, Rect{{0, 0}, {0, 3}}));
    EXPECT_EQ(SnapshotImageCropper::cropSelection(image, Rect{{2, 1}, {4, 3}}, Rect{{0, 0}, {10, 8}}),
              cut(image, 2, 4, 4, 3));
    EXPECT_EQ(CaptureGeometry::toolRect(Rect{{10.5, 20}, {5, 5}}, Rect{{0, -100}, {300, 400}}),
              (Rect{{10, 275}, {6, 5}}));
}

} // namespace
} // namespace brisklet
