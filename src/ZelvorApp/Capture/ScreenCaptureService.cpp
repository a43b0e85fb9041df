#include "ZelvorApp/Capture/ScreenCaptureService.h"

#include "Platform/ImageCodec.h"
#include "ZelvorApp/Capture/CaptureGeometry.h"
#include "ZelvorApp/Capture/FullDisplayCaptureGeometry.h"
#include "ZelvorApp/Capture/ScreenCaptureErrorText.h"
#include "ZelvorApp/Capture/SnapshotImageCropper.h"
#include "ZelvorApp/Infrastructure/RuntimeLogger.h"
#include "ZelvorCore/Foundation/Uuid.h"

#include <cmath>

namespace brisklet {

namespace {

using ImageResult = Result<Image, ScreenCaptureError>;

ImageResult failure(ScreenCaptureError error) {
    return ImageResult::failure(error);
}

ImageResult success(Image image) {
    return ImageResult::success(std::move(image));
}

std::string sizeText(const Image& image) {
    return std::to_string(image.width()) + "x" + std::to_string(image.height());
}

std::string streamText(const std::string& text) {
    return text.empty() ? "<empty>" : text;
}

/// Wider and taller than one point, and overlapping the screen.
bool isCapturable(const Rect& rect, const Rect& screenFrame) {
    return rect.width() > 1 && rect.height() > 1 && CaptureGeometry::intersects(rect, screenFrame);
}

} // namespace

ScreenCaptureService::ScreenCaptureService(ScreenCaptureBackend& backend, ScreenshotTool& tool, const ImageCodec& codec,
                                           std::filesystem::path temporaryDirectory,
                                           const LocalizationStore& localization)
    : backend_(backend), tool_(tool), codec_(codec), temporaryDirectory_(std::move(temporaryDirectory)),
      localization_(localization) {}

std::string ScreenCaptureService::describe(ScreenCaptureError error) const {
    return localizedDescription(error, localization_);
}

Result<ScreenCaptureContext, ScreenCaptureError>
ScreenCaptureService::makeContext(const DisplayScreen& screen, const std::vector<DisplayScreen>& allScreens) {
    using ContextResult = Result<ScreenCaptureContext, ScreenCaptureError>;
    if (!screen.displayID) {
        return ContextResult::failure(ScreenCaptureError::missingScreen);
    }
    Rect desktop;
    for (const DisplayScreen& each : allScreens) {
        desktop = CaptureGeometry::unite(desktop, each.frame);
    }
    if (desktop.isEmpty()) {
        return ContextResult::failure(ScreenCaptureError::missingScreen);
    }
    return ContextResult::success(ScreenCaptureContext{*screen.displayID, screen.frame, desktop});
}

ImageResult ScreenCaptureService::capture(const Rect& rect, const ScreenCaptureContext& context,
                                          bool allowsFastSingleFrameCapture) {
    const Rect& screen = context.screenFrame;
    if (!isCapturable(rect, screen)) {
        return failure(ScreenCaptureError::invalidCrop);
    }
    auto captured = captureWithSystemTool(screen, context, allowsFastSingleFrameCapture);
    if (!captured) {
        return captured;
    }
    Image& image = captured.value();
    const Rect crop = CaptureGeometry::pixelCropRect(rect, screen, image.width(), image.height());
    if (!CaptureGeometry::liesInside(crop, image.width(), image.height())) {
        return failure(ScreenCaptureError::invalidCrop);
    }
    if (crop == Rect{{0, 0}, {static_cast<double>(image.width()), static_cast<double>(image.height())}}) {
        RuntimeLogger::log("capture using full-screen image directly rect=" +
                           toString(CaptureGeometry::integral(rect)));
        return captured;
    }
    std::optional<Image> cropped = SnapshotImageCropper::crop(image, crop);
    RuntimeLogger::log("capture cropped rect=" + toString(rect) + " from screen=" + toString(screen));
    return cropped ? success(std::move(*cropped)) : failure(ScreenCaptureError::captureFailed);
}

ImageResult ScreenCaptureService::capture(const Rect& rect, const ScreenCaptureContext& context,
                                          const std::vector<std::uint32_t>& excludingWindowIDs) {
    if (!excludingWindowIDs.empty()) {
        if (std::optional<Image> display = captureDisplayImage(context, excludingWindowIDs)) {
            RuntimeLogger::log(
                "captureDisplayImage excluded windows succeeded displayID=" + std::to_string(context.displayID) +
                " requested=" + std::to_string(excludingWindowIDs.size()));
            const Rect crop =
                CaptureGeometry::pixelCropRect(rect, context.screenFrame, display->width(), display->height());
            if (crop.width() > 1 && crop.height() > 1 &&
                CaptureGeometry::liesInside(crop, display->width(), display->height())) {
                if (std::optional<Image> cropped = SnapshotImageCropper::crop(*display, crop)) {
                    return success(std::move(*cropped));
                }
            }
        }
    }
    return capture(rect, context, true);
}

ImageResult ScreenCaptureService::captureForGIF(const Rect& rect, const ScreenCaptureContext& context) {
    if (!isCapturable(rect, context.screenFrame)) {
        return failure(ScreenCaptureError::invalidCrop);
    }
    auto captured = captureWithSystemTool(rect, context, true);
    if (!captured) {
        return failure(ScreenCaptureError::captureFailed);
    }
    RuntimeLogger::log("captureForGIF direct rect=" + toString(rect) + " screen=" + toString(context.screenFrame) +
                       " size=" + sizeText(captured.value()));
    return captured;
}

ImageResult ScreenCaptureService::captureWindow(std::uint32_t windowID, bool includeShadow) {
    const std::string logContext =
        "windowID=" + std::to_string(windowID) + " includeShadow=" + (includeShadow ? "true" : "false");
    return captureSystemImage(
        [&](const std::filesystem::path& output) {
            return tool_.captureWindow(windowID, includeShadow, output, toolTimeoutSeconds);
        },
        logContext);
}

std::optional<Image> ScreenCaptureService::captureDisplayImage(const ScreenCaptureContext& context,
                                                               const std::vector<std::uint32_t>& excludingWindowIDs) {
    const Rect& screen = context.screenFrame;
    // X11 root pixels are points, so the display comes out at scale 1.
    const FullDisplayCaptureGeometry geometry = FullDisplayCaptureGeometry::make(screen.width(), screen.height(), 1.0);
    auto captured = backend_.capture(screen, context, excludingWindowIDs);
    if (!captured) {
        RuntimeLogger::log("captureDisplayImage failed error=" + describe(captured.error()) +
                           " displayID=" + std::to_string(context.displayID));
        return std::nullopt;
    }
    const Image& image = captured.value();
    RuntimeLogger::log("captureDisplayImage succeeded displayID=" + std::to_string(context.displayID) +
                       " excludedWindows=" + std::to_string(excludingWindowIDs.size()) +
                       " excludedApplications=0 screenFrame=" + toString(screen) + " displayPoints=" +
                       formatNumber(geometry.pointRect.width()) + "x" + formatNumber(geometry.pointRect.height()) +
                       " filterContentRect=" + toString(geometry.pointRect) +
                       " pointPixelScale=1 expectedPixels=" + std::to_string(geometry.pixelWidth) + "x" +
                       std::to_string(geometry.pixelHeight) + " actualPixels=" + sizeText(image));
    return std::move(captured).value();
}

ImageResult ScreenCaptureService::captureWithSystemTool(const Rect& rect, const ScreenCaptureContext& context,
                                                        bool allowsFastSingleFrameCapture) {
    const Rect toolRect = CaptureGeometry::toolRect(rect, context.virtualDesktopFrame);
    if (allowsFastSingleFrameCapture && rect.width() > 1 && rect.height() > 1) {
        auto fast = backend_.capture(rect, context, {});
        if (fast) {
            RuntimeLogger::log("captureWithBackend succeeded rect=" + toString(rect));
            return fast;
        }
        RuntimeLogger::log("captureWithBackend failed error=" + describe(fast.error()) + " rect=" + toString(rect));
    }
    const std::string logContext = "captureRect=" + toString(rect) + " toolRect=" + toString(toolRect);
    return captureSystemImage(
        [&](const std::filesystem::path& output) {
            return tool_.captureRectangle(toolRect, output, toolTimeoutSeconds);
        },
        logContext);
}

ImageResult
ScreenCaptureService::captureSystemImage(const std::function<ScreenshotToolRun(const std::filesystem::path&)>& run,
                                         const std::string& logContext) {
    const std::filesystem::path output = temporaryDirectory_ / (Uuid::generate().toString() + ".png");
    const auto removeOutput = [&output] {
        std::error_code ignored;
        std::filesystem::remove(output, ignored);
    };
    const ScreenshotToolRun outcome = run(output);
    if (outcome.timedOut) {
        RuntimeLogger::log("captureSystemImage timed out " + logContext + " output=" + output.string());
        removeOutput();
        return failure(ScreenCaptureError::captureFailed);
    }
    if (!outcome.launched) {
        RuntimeLogger::log("captureSystemImage run failed error=" + outcome.launchError + " " + logContext +
                           " output=" + output.string());
        removeOutput();
        return failure(ScreenCaptureError::captureFailed);
    }
    if (outcome.exitStatus != 0) {
        RuntimeLogger::log("captureSystemImage failed status=" + std::to_string(outcome.exitStatus) + " " + logContext +
                           " stdout=" + streamText(outcome.standardOutput) +
                           " stderr=" + streamText(outcome.standardError));
        removeOutput();
        return failure(ScreenCaptureError::captureFailed);
    }
    std::error_code existsError;
    const bool outputExists = std::filesystem::exists(output, existsError);
    auto image = codec_.readFile(output);
    removeOutput();
    if (!image || image.value().isEmpty()) {
        RuntimeLogger::log(std::string("captureSystemImage missing image outputExists=") +
                           (outputExists ? "true" : "false") + " stdout=" + streamText(outcome.standardOutput) +
                           " stderr=" + streamText(outcome.standardError));
        return failure(ScreenCaptureError::captureFailed);
    }
    RuntimeLogger::log("captureSystemImage succeeded " + logContext + " image=" + sizeText(image.value()));
    return success(std::move(image).value());
}

} // namespace brisklet
