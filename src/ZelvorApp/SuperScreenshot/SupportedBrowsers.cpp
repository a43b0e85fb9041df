#include "ZelvorApp/SuperScreenshot/SupportedBrowsers.h"

#include "ZelvorApp/SuperScreenshot/SuperScreenshotSource.h"
#include "ZelvorCore/Models/VisualMemoryText.h"

#include <algorithm>
#include <array>
#include <string>

namespace brisklet {

namespace {

constexpr std::array<std::string_view, 13> identifiers{
    "com.apple.safari",
    "com.google.chrome",
    "com.microsoft.edgemac",
    "com.brave.browser",
    "company.thebrowser.browser",
    // X11 window classes, lower-cased.
    "firefox",
    "firefox-esr",
    "google-chrome",
    "chromium",
    "chromium-browser",
    "brave-browser",
    "microsoft-edge",
    "vivaldi-stable",
};

} // namespace

bool SupportedBrowsers::contains(std::optional<std::string_view> bundleIdentifier) {
    if (!bundleIdentifier) {
        return false;
    }
    const std::string lowered = memorytext::lowercased(*bundleIdentifier);
    return std::find(identifiers.begin(), identifiers.end(), lowered) != identifiers.end();
}

std::optional<BrowserCaptureMetadata>
SupportedBrowsers::effectiveMetadata(const std::optional<BrowserCaptureMetadata>& answer,
                                     const SuperScreenshotSource& source) {
    if (answer) {
        return answer;
    }
    if (contains(source.bundleIdentifier)) {
        return BrowserCaptureMetadata::unavailable();
    }
    return std::nullopt;
}

} // namespace brisklet
