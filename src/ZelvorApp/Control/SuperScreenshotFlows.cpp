#include "ZelvorApp/Control/SuperScreenshotFlows.h"

#include "Platform/DisplayServer.h"
#include "Platform/MainQueue.h"
#include "Platform/SerialQueue.h"
#include "ZelvorApp/Capture/CaptureGeometry.h"
#include "ZelvorApp/Capture/ScreenCaptureService.h"
#include "ZelvorApp/Capture/SnapshotImageCropper.h"
#include "ZelvorApp/Capture/WindowEnumerator.h"
#include "ZelvorApp/Control/AppEnvironment.h"
#include "ZelvorApp/Control/AppModel.h"
#include "ZelvorApp/Control/CaptureGates.h"
#include "ZelvorApp/Control/PickableWindows.h"
#include "ZelvorApp/Control/Ports/AlertPresenter.h"
#include "ZelvorApp/Control/Ports/FloatingThumbnailPort.h"
#include "ZelvorApp/Control/Ports/SelectionOverlayPort.h"
#include "ZelvorApp/Control/Ports/WindowPickerPort.h"
#include "ZelvorApp/Control/StatusPopoverGate.h"
#include "ZelvorApp/Infrastructure/LocalizationStore.h"
#include "ZelvorApp/Infrastructure/RuntimeLogger.h"
#include "ZelvorApp/Infrastructure/TextFormat.h"
#include "ZelvorApp/SuperScreenshot/SuperScreenshotFlow.h"


namespace brisklet {

SuperScreenshotFlows::SuperScreenshotFlows(AppEnvironment& environment, AppModel& model, CaptureGates& gates,
                                           StatusPopoverGate& popover)
    : env_(environment), model_(model), gates_(gates), popover_(popover), alive_(std::make_shared<bool>(true)) {}

SuperScreenshotFlows::~SuperScreenshotFlows() = default;

bool SuperScreenshotFlows::passGates(const char* flow) {
    if (!env_.services.superScreenshots) {
        // No package writer on this desktop: say so instead of pretending to start.
        RuntimeLogger::log(std::string("super screenshot unavailable flow=") + flow);
        const LocalizationStore& text = env_.services.localization;
        env_.ports.alerts.present({text.text(L10nKey::actionSuperScreenshot),
                                   text.text(L10nKey::superScreenshotUnavailable),
                                   {text.text(L10nKey::genericOK)},
                                   AlertRequest::Style::warning},
                                  [](int) {});
        return false;
    }
    if (!gates_.canStartCaptureAction()) {
        RuntimeLogger::log(std::string("super screenshot start ignored reason=activeSelection flow=") + flow);
        return false;
    }
    return gates_.ensurePermission();
}

void SuperScreenshotFlows::startWindow() {
    if (!passGates("window")) {
        return;
    }
    std::weak_ptr<bool> alive = alive_;
    popover_.closeThenContinue([this, alive] {
        if (!alive.expired()) {
            openPicker();
        }
    });
}

void SuperScreenshotFlows::startRegion() {
    if (!passGates("region")) {
        return;
    }
    // Before our own overlay (or popover) takes the front.
    regionApplication_ = env_.services.workspace.frontmostApplication();
    if (regionApplication_ &&
        regionApplication_->processIdentifier == env_.services.workspace.currentProcessIdentifier()) {
        regionApplication_.reset();
    }
    std::weak_ptr<bool> alive = alive_;
    popover_.closeThenContinue([this, alive] {
        if (!alive.expired()) {
            openOverlay();
        }
    });
}

void SuperScreenshotFlows::openPicker() {
    const auto windows = pickableWindowsOrAlert(env_, "super screenshot skipped reason=noWindow");
    if (windows.empty()) {
        return;
    }
    if (!env_.ports.windowPicker) {
        RuntimeLogger::log("window picker unavailable flow=superScreenshot");
        return;
    }
    model_.setState(AppViewState::capturingSuperScreenshot);
    RuntimeLogger::log("super screenshot window picker presented windows=" + std::to_string(windows.size()));
    std::weak_ptr<bool> alive = alive_;
    env_.ports.windowPicker->present(windows, {[this, alive](CapturedWindowInfo window) {
                                                   if (!alive.expired()) {
                                                       windowPicked(window);
                                                   }
                                               },
                                               [this, alive] {
                                                   if (!alive.expired()) {
                                                       abandon("super screenshot cancelled");
                                                   }
                                               },
                                               WindowPickerPort::Purpose::superScreenshot});
}

void SuperScreenshotFlows::openOverlay() {
    SelectionOverlayPort* overlay = env_.ports.selectionOverlay;
    if (!overlay) {
        abandon("selection overlay unavailable flow=superScreenshot");
        return;
    }
    const AppPreferences& preferences = model_.preferences();
    SelectionOverlayConfiguration configuration = SelectionOverlayConfiguration::following(
        preferences, env_.services.localization.text(L10nKey::overlayPromptSuperScreenshot));
    model_.setState(AppViewState::capturingSuperScreenshot);
    std::weak_ptr<bool> alive = alive_;
    SelectionOverlayPort::Handlers handlers;
    handlers.onSelect = [this, alive](ScreenSelectionResult result) {
        if (!alive.expired()) {
            regionSelected(result);
        }
    };
    handlers.onCancel = [this, alive] {
        if (!alive.expired()) {
            abandon("super screenshot cancelled");
        }
    };
    overlay->present(configuration, std::move(handlers));
}

void SuperScreenshotFlows::windowPicked(const CapturedWindowInfo& window) {
    const Rect rect = CaptureGeometry::flippedAtPrimaryScreen(window.bounds, env_.services.displays.screens());
    capture({SuperScreenshotCaptureMode::window, rect}, window, owningApplication(window));
}

void SuperScreenshotFlows::regionSelected(const ScreenSelectionResult& result) {
    // A region belongs to the application that was in front when the user asked for it; when that
    // was us (the tray menu), to the window the region lies on.
    std::optional<RunningApplication> application = regionApplication_;
    if (!application) {
        application = applicationUnder(result.rect);
    }
    if (result.screenSnapshotImage) {
        auto cropped =
            SnapshotImageCropper::cropSelection(*result.screenSnapshotImage, result.rect, result.screen.frame);
        if (!cropped) {
            captureFailed(ScreenCaptureError::invalidCrop);
            return;
        }
        SuperScreenshotRequest request{std::move(*cropped),
                                       {SuperScreenshotCaptureMode::region, result.rect},
                                       std::nullopt,
                                       application,
                                       env_.services.localization.text(L10nKey::windowPickerUnknownApp)};
        SuperScreenshotFlow& flow = *env_.services.superScreenshots;
        MainQueue& mainQueue = env_.services.mainQueue;
        std::weak_ptr<bool> alive = alive_;
        RuntimeLogger::log("super screenshot capture started mode=region");
        env_.services.captureQueue.async([&flow, &mainQueue, alive, this, request = std::move(request)] {
            auto outcome = flow.run(request);
            mainQueue.post([alive, this, outcome = std::move(outcome)] {
                if (!alive.expired()) {
                    finished(outcome);
                }
            });
        });
        return;
    }
    capture({SuperScreenshotCaptureMode::region, result.rect}, std::nullopt, application);
}

std::optional<RunningApplication> SuperScreenshotFlows::applicationUnder(const Rect& rect) const {
    if (!env_.services.windows) {
        return std::nullopt;
    }
    const auto screens = env_.services.displays.screens();
    const Point centre{rect.midX(), rect.midY()};
    for (const CapturedWindowInfo& window :
         env_.services.windows->windows(env_.services.workspace.currentProcessIdentifier())) {
        const Rect bounds = CaptureGeometry::flippedAtPrimaryScreen(window.bounds, screens);
        if (bounds.contains(centre)) {
            return owningApplication(window);
        }
    }
    return std::nullopt;
}

void SuperScreenshotFlows::capture(SuperScreenshotCapture capture, std::optional<CapturedWindowInfo> window,
                                   std::optional<RunningApplication> application) {
    const auto screens = env_.services.displays.screens();
    const auto screen = screenContaining(screens, Point{capture.rect.midX(), capture.rect.midY()});
    if (!screen) {
        abandon("super screenshot skipped reason=offScreen");
        return;
    }
    auto context = ScreenCaptureService::makeContext(*screen, screens);
    if (!context) {
        captureFailed(context.error());
        return;
    }
    RuntimeLogger::log(std::string("super screenshot capture started mode=") + std::string(toString(capture.mode)));
    ScreenCaptureService& service = env_.services.capture;
    SuperScreenshotFlow& flow = *env_.services.superScreenshots;
    MainQueue& mainQueue = env_.services.mainQueue;
    std::weak_ptr<bool> alive = alive_;
    std::string unknownApp = env_.services.localization.text(L10nKey::windowPickerUnknownApp);
    env_.services.captureQueue.async([&service, &flow, &mainQueue, alive, this, capture, window, application,
                                      context = context.value(), unknownApp] {
        auto image = window ? service.captureWindow(static_cast<std::uint32_t>(window->id), false)
                            : service.capture(capture.rect, context, {});
        if (!image) {
            mainQueue.post([alive, this, error = image.error()] {
                if (!alive.expired()) {
                    captureFailed(error);
                }
            });
            return;
        }
        auto outcome = flow.run({std::move(image).value(), capture, window, application, unknownApp});
        mainQueue.post([alive, this, outcome = std::move(outcome)] {
            if (!alive.expired()) {
                finished(outcome);
            }
        });
    });
}

void SuperScreenshotFlows::finished(const Result<KnowledgePackageResult, KnowledgePackageWriteError>& outcome) {
    if (!outcome) {
        RuntimeLogger::log("super screenshot failed error=" + outcome.error().description());
        presentFailure(outcome.error().description());
        return;
    }
    const KnowledgePackageResult& package = outcome.value();
    model_.setState(AppViewState::idle);
    if (env_.ports.floatingThumbnails) {
        ExportedAsset asset{package.screenshotURL, ExportKind::appshot, package.metadata.createdAt, std::nullopt};
        std::error_code error;
        const auto size = std::filesystem::file_size(package.screenshotURL, error);
        if (!error) {
            asset.byteCount = static_cast<std::int64_t>(size);
        }
        env_.ports.floatingThumbnails->present(asset, VisualMemorySource{}, {});
    }
}

void SuperScreenshotFlows::captureFailed(ScreenCaptureError error) {
    RuntimeLogger::log("super screenshot capture failed error=" + std::string(toString(error)));
    presentFailure(std::string(toString(error)));
}

void SuperScreenshotFlows::presentFailure(const std::string& reason) {
    model_.setState(AppViewState::idle);
    const LocalizationStore& text = env_.services.localization;
    env_.ports.alerts.present({text.text(L10nKey::superScreenshotFailedTitle),
                               formatText(text.text(L10nKey::superScreenshotFailedMessage), {reason}),
                               {text.text(L10nKey::genericOK)},
                               AlertRequest::Style::warning},
                              [](int) {});
}

void SuperScreenshotFlows::abandon(const std::string& logLine) {
    RuntimeLogger::log(logLine);
    popover_.unsuppress();
    model_.setState(AppViewState::idle);
}

} // namespace brisklet
