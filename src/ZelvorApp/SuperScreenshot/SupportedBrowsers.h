#pragma once

#include "ZelvorCore/Models/BrowserCaptureMetadata.h"

#include <optional>
#include <string_view>

namespace brisklet {

struct SuperScreenshotSource;

/// The browsers whose page address and title a super screenshot asks for.
struct SupportedBrowsers {
    /// Compared lower-cased: the macOS-style identifiers some desktops report, and the window
    /// classes the X11 workspace reports ("firefox", "google-chrome", ...).
    static bool contains(std::optional<std::string_view> bundleIdentifier);

    /// What the package records about the page: the browser's answer when there is one;
    /// `unavailable` when the source is a supported browser that gave none; otherwise nothing,
    /// so captures of other applications carry no browser status at all.
    static std::optional<BrowserCaptureMetadata> effectiveMetadata(const std::optional<BrowserCaptureMetadata>& answer,
                                                                   const SuperScreenshotSource& source);
};

} // namespace brisklet
