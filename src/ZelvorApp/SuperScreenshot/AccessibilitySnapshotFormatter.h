#pragma once

#include "Platform/AccessibilitySnapshotReader.h"
#include "ZelvorApp/SuperScreenshot/AccessibilitySnapshotText.h"

#include <optional>
#include <string>

namespace brisklet {

/// Flattens an accessibility tree into text: depth first, each element's title, value,
/// description, selected text and help on one line, a line that was already emitted (ignoring
/// case) left out, and password fields never read. Pure.
class AccessibilitySnapshotFormatter {
public:
    AccessibilitySnapshotFormatter() = delete;

    /// Lines deeper than this are indented as if they were at this depth.
    static constexpr int maxIndentLevel = 6;

    static AccessibilitySnapshotText format(const std::optional<AccessibilitySnapshotNode>& root,
                                            const AccessibilitySnapshotLimits& limits = {});

    /// The element's texts, each with its whitespace collapsed, joined with one space; empty for
    /// a secure element.
    static std::string line(const AccessibilitySnapshotNode& node);
};

} // namespace brisklet
