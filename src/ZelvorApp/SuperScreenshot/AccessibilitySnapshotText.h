#pragma once

#include <string>

namespace brisklet {

/// The readable text of an accessibility tree, one element a line, indented by depth.
struct AccessibilitySnapshotText {
    std::string text;
    /// Elements visited.
    int nodeCount = 0;
    /// The tree had more elements than the limit, or the text more characters.
    bool wasTruncated = false;

    bool operator==(const AccessibilitySnapshotText&) const = default;
};

/// Bounds on the formatted text, so a huge application cannot stall a capture.
struct AccessibilitySnapshotLimits {
    int maxNodes = 2000;
    /// In user-perceived characters.
    int maxCharacters = 200'000;

    bool operator==(const AccessibilitySnapshotLimits&) const = default;
};

} // namespace brisklet
