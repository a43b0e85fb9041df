#include "ZelvorApp/SuperScreenshot/SuperScreenshotContextCollector.h"

#include "Platform/BrowserMetadataProvider.h"
#include "ZelvorApp/SuperScreenshot/AccessibilitySnapshotService.h"
#include "ZelvorApp/SuperScreenshot/SupportedBrowsers.h"

namespace brisklet {

SuperScreenshotContextCollector::SuperScreenshotContextCollector(BrowserMetadataProvider& browsers,
                                                                 AccessibilitySnapshotService& accessibility)
    : browsers_(browsers), accessibility_(accessibility) {}

AccessibilitySnapshotText SuperScreenshotContextCollector::accessibilityText(const SuperScreenshotSource& source) {
    if (source.processIdentifier < 1) {
        return {};
    }
    if (!accessibility_.isTrusted()) {
        accessibility_.requestTrust();
    }
    return accessibility_.capture(source.processIdentifier, source.windowTitle);
}

SuperScreenshotContext SuperScreenshotContextCollector::collect(const std::optional<CapturedWindowInfo>& window,
                                                                const std::optional<RunningApplication>& application,
                                                                std::string_view unknownAppName) {
    SuperScreenshotContext context;
    context.source = superScreenshotSource(window, application, unknownAppName);
    std::optional<BrowserCaptureMetadata> answer;
    if (application) {
        answer = browsers_.metadata(*application);
    }
    context.accessibility = accessibilityText(context.source);
    context.pageMetadata = SupportedBrowsers::effectiveMetadata(answer, context.source);
    return context;
}

} // namespace brisklet
