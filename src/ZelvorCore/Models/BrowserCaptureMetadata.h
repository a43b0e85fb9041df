#pragma once

#include "ZelvorCore/Models/VisualMemoryEnums.h"

#include <optional>
#include <string>

namespace brisklet {

/// What a supported browser told about the page it shows.
struct BrowserCaptureMetadata {
    std::optional<std::string> url;
    std::optional<std::string> title;
    BrowserDeepCaptureStatus status = BrowserDeepCaptureStatus::metadataUnavailable;

    /// A supported browser that could not be asked, or gave no usable address.
    static BrowserCaptureMetadata unavailable() { return {}; }

    bool operator==(const BrowserCaptureMetadata&) const = default;
};

} // namespace brisklet
