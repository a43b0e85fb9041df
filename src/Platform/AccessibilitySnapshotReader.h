#pragma once

#include "ZelvorCore/Foundation/Geometry.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace brisklet {

/// One element of an application's accessibility tree, as a knowledge package keeps it.
struct AccessibilitySnapshotNode {
    std::optional<std::string> role;
    std::optional<std::string> title;
    std::optional<std::string> value;
    std::optional<std::string> description;
    std::optional<std::string> selectedText;
    std::optional<std::string> help;
    /// On-screen extents in global desktop coordinates, when the element tells them.
    std::optional<Rect> frame;
    /// A password field (or an element whose title says it is one): its texts are never read.
    bool isSecure = false;
    std::vector<AccessibilitySnapshotNode> children;

    bool operator==(const AccessibilitySnapshotNode&) const = default;
};

/// How far a tree walk may go, so a huge or hung application cannot stall a capture.
struct AccessibilityWalkLimits {
    /// Children are read only for elements at most this deep (the root is depth 0).
    int maxChildDepth = 23;
    /// Only the first this many children of an element are followed.
    int maxChildren = 80;
    /// The walk stops after this many elements; one more than the formatter keeps, so the
    /// formatter can still tell that the tree was cut.
    int nodeBudget = 2001;
};

/// Reads the accessibility tree of a running application.
class AccessibilitySnapshotReader {
public:
    virtual ~AccessibilitySnapshotReader() = default;

    /// Whether applications' trees can be read at all (on Linux: the accessibility bus is up
    /// and enabled).
    virtual bool isTrusted() const = 0;
    /// Asks the desktop to turn accessibility on for later captures; true when it is on now.
    virtual bool requestTrust() = 0;
    /// The tree of the application with process `processIdentifier`: its active window, else the
    /// window titled `windowTitle`, else the application itself. Nothing when the application is
    /// not on the bus or does not answer in time.
    virtual std::optional<AccessibilitySnapshotNode> snapshot(std::int32_t processIdentifier,
                                                              const std::optional<std::string>& windowTitle,
                                                              const AccessibilityWalkLimits& limits) = 0;
};

} // namespace brisklet
