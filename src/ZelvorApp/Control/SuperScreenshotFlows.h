#pragma once

#include "Platform/ScreenCaptureBackend.h"
#include "Platform/Workspace.h"
#include "ZelvorApp/Capture/CapturedWindowInfo.h"
#include "ZelvorApp/Control/SelectionOverlayTypes.h"
#include "ZelvorApp/SuperScreenshot/SuperScreenshotCapture.h"
#include "ZelvorCore/Foundation/Result.h"

#include <memory>
#include <optional>

namespace brisklet {

class AppModel;
class CaptureGates;
class StatusPopoverGate;
struct AppEnvironment;
struct KnowledgePackageResult;
struct KnowledgePackageWriteError;

/// Super screenshots: a window picked in the window picker, or a region drawn in the overlay, is
/// captured and turned into a knowledge package (image, context document, metadata) that the
/// library records; the screenshot then stands as a floating thumbnail.
class SuperScreenshotFlows {
public:
    SuperScreenshotFlows(AppEnvironment& environment, AppModel& model, CaptureGates& gates, StatusPopoverGate& popover);
    ~SuperScreenshotFlows();
    SuperScreenshotFlows(const SuperScreenshotFlows&) = delete;
    SuperScreenshotFlows& operator=(const SuperScreenshotFlows&) = delete;

    void startWindow();
    void startRegion();

private:
    bool passGates(const char* flow);
    void openPicker();
    void openOverlay();
    void windowPicked(const CapturedWindowInfo& window);
    void regionSelected(const ScreenSelectionResult& result);
    /// The owner of the front window under the middle of `rect` (desktop points).
    std::optional<RunningApplication> applicationUnder(const Rect& rect) const;
    /// Captures on the capture queue, then writes the package there too (recognition and PNG
    /// encoding are slow); the outcome comes back on the main queue.
    void capture(SuperScreenshotCapture capture, std::optional<CapturedWindowInfo> window,
                 std::optional<RunningApplication> application);
    void finished(const Result<KnowledgePackageResult, KnowledgePackageWriteError>& outcome);
    void captureFailed(ScreenCaptureError error);
    void presentFailure(const std::string& reason);
    void abandon(const std::string& logLine);

    AppEnvironment& env_;
    AppModel& model_;
    CaptureGates& gates_;
    StatusPopoverGate& popover_;
    std::optional<RunningApplication> regionApplication_;
    std::shared_ptr<bool> alive_;
};

} // namespace brisklet
