#pragma once

#include "Platform/Workspace.h"
#include "ZelvorApp/Capture/CapturedWindowInfo.h"
#include "ZelvorApp/SuperScreenshot/AccessibilitySnapshotText.h"
#include "ZelvorApp/SuperScreenshot/SuperScreenshotSource.h"
#include "ZelvorCore/Models/BrowserCaptureMetadata.h"

#include <optional>
#include <string>
#include <string_view>

namespace brisklet {

class AccessibilitySnapshotService;
class BrowserMetadataProvider;

/// What the machine tells about a captured window besides its pixels.
struct SuperScreenshotContext {
    SuperScreenshotSource source;
    /// As the package records it (see SupportedBrowsers::effectiveMetadata).
    std::optional<BrowserCaptureMetadata> pageMetadata;
    AccessibilitySnapshotText accessibility;
};

/// Asks the browser for its page and the accessibility tree for the window's text. Synchronous;
/// runs on the capture's background queue.
class SuperScreenshotContextCollector {
public:
    SuperScreenshotContextCollector(BrowserMetadataProvider& browsers, AccessibilitySnapshotService& accessibility);

    /// `unknownAppName` is the localised name of a region capture without an application.
    SuperScreenshotContext collect(const std::optional<CapturedWindowInfo>& window,
                                   const std::optional<RunningApplication>& application,
                                   std::string_view unknownAppName);

    /// Empty without a process; otherwise the tree of the source's window, after asking the
    /// desktop for accessibility when it is not on yet.
    AccessibilitySnapshotText accessibilityText(const SuperScreenshotSource& source);

private:
    BrowserMetadataProvider& browsers_;
    AccessibilitySnapshotService& accessibility_;
};

} // namespace brisklet
