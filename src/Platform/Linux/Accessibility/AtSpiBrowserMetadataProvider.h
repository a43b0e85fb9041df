#pragma once

#include "Platform/BrowserMetadataProvider.h"
#include "Platform/Clock.h"
#include "Platform/Linux/Accessibility/AtSpiBusConnection.h"
#include "Platform/Linux/Accessibility/BrowserPageFinder.h"

namespace brisklet {

/// The page a supported browser shows, read from its accessibility tree over AT-SPI. Chromium
/// builds that tree only when started with --force-renderer-accessibility (switching the
/// desktop's accessibility on is not enough); until then its page is `unavailable`. A browser is
/// recognised by its identifier (the window class) or by the executable of its process. Any
/// thread, one call at a time.
class AtSpiBrowserMetadataProvider final : public BrowserMetadataProvider {
public:
    explicit AtSpiBrowserMetadataProvider(const Clock& clock, BrowserPageFinder::Options options = {});

    std::optional<BrowserCaptureMetadata> metadata(const RunningApplication& application) override;

    /// Whether `application` is a supported browser (SupportedBrowsers) by its identifier, else by
    /// its process's executable or process name ("chrome", "msedge", "firefox-esr").
    static bool isBrowser(const RunningApplication& application);

private:
    const Clock& clock_;
    BrowserPageFinder::Options options_;
    AtSpiBusConnection bus_;
};

} // namespace brisklet
