#pragma once

#include <optional>
#include <string>

namespace brisklet {

/// An offer of a new version, shown when nothing else is on screen.
struct PendingUpdatePrompt {
    std::string version;
    std::optional<std::string> releaseNotes;
    /// The user asked for the check: the offer is shown even for a skipped version.
    bool isManualCheck = false;

    bool operator==(const PendingUpdatePrompt&) const = default;
};

} // namespace brisklet
