#include "ZelvorApp/SuperScreenshot/AccessibilitySnapshotService.h"

#include "ZelvorApp/SuperScreenshot/AccessibilitySnapshotFormatter.h"

namespace brisklet {

AccessibilitySnapshotService::AccessibilitySnapshotService(AccessibilitySnapshotReader& reader,
                                                           AccessibilitySnapshotLimits limits)
    : reader_(reader), limits_(limits) {}

bool AccessibilitySnapshotService::isTrusted() const {
    return reader_.isTrusted();
}

bool AccessibilitySnapshotService::requestTrust() {
    return reader_.requestTrust();
}

AccessibilitySnapshotText AccessibilitySnapshotService::capture(std::int32_t processIdentifier,
                                                                const std::optional<std::string>& windowTitle) {
    if (!reader_.isTrusted()) {
        return {};
    }
    AccessibilityWalkLimits walk;
    // One element more than is kept, so the formatter can tell that the tree was cut.
    walk.nodeBudget = limits_.maxNodes + 1;
    return AccessibilitySnapshotFormatter::format(reader_.snapshot(processIdentifier, windowTitle, walk), limits_);
}

} // namespace brisklet
