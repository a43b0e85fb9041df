#pragma once

#include "Platform/AccessibilitySnapshotReader.h"
#include "ZelvorApp/SuperScreenshot/AccessibilitySnapshotText.h"

#include <cstdint>
#include <optional>
#include <string>

namespace brisklet {

/// The accessibility text of an application's window, read through the platform's reader and
/// bounded by the walk and text limits. Runs synchronously on the caller's (background) thread.
class AccessibilitySnapshotService {
public:
    explicit AccessibilitySnapshotService(AccessibilitySnapshotReader& reader, AccessibilitySnapshotLimits limits = {});

    bool isTrusted() const;
    /// Asks the desktop to let us read accessibility trees; true when we may now.
    bool requestTrust();

    /// Empty when trees may not be read or the application gives none.
    AccessibilitySnapshotText capture(std::int32_t processIdentifier, const std::optional<std::string>& windowTitle);

private:
    AccessibilitySnapshotReader& reader_;
    AccessibilitySnapshotLimits limits_;
};

} // namespace brisklet
