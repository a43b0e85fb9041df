#pragma once

#include "Platform/Workspace.h"
#include "ZelvorCore/Models/BrowserCaptureMetadata.h"

#include <optional>

namespace brisklet {

/// Asks a running browser which page it shows.
class BrowserMetadataProvider {
public:
    virtual ~BrowserMetadataProvider() = default;

    /// Nothing when `application` is not a supported browser; `unavailable` when it is one but
    /// the page's address could not be read; otherwise the address and title.
    virtual std::optional<BrowserCaptureMetadata> metadata(const RunningApplication& application) = 0;
};

} // namespace brisklet
