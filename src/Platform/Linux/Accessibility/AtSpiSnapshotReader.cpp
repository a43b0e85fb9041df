#include "Platform/Linux/Accessibility/AtSpiSnapshotReader.h"

#include "Platform/Linux/Accessibility/AtSpiBusTree.h"

#include <unistd.h>

namespace brisklet {

AtSpiSnapshotReader::AtSpiSnapshotReader(const Clock& clock, PrivacyPermissions& permissions,
                                         const DisplayServer& displays, AccessibilitySnapshotBuilder::Options options)
    : clock_(clock), permissions_(permissions), displays_(displays), options_(options) {}

bool AtSpiSnapshotReader::isTrusted() const {
    const std::lock_guard lock(bus_.mutex());
    return permissions_.isAccessibilityTrusted() && bus_.connect(clock_, clock_.monotonicSeconds() + options_.seconds);
}

bool AtSpiSnapshotReader::requestTrust() {
    permissions_.requestAccessibilityTrust();
    return isTrusted();
}

std::optional<AccessibilitySnapshotNode> AtSpiSnapshotReader::snapshot(std::int32_t processIdentifier,
                                                                       const std::optional<std::string>& windowTitle,
                                                                       const AccessibilityWalkLimits& limits) {
    const std::lock_guard lock(bus_.mutex());
    const double deadline = clock_.monotonicSeconds() + options_.seconds;
    if (!bus_.connect(clock_, deadline)) {
        return std::nullopt;
    }
    AtSpiBusTree tree{bus_.connection()};
    AccessibilitySnapshotBuilder::Options remaining = options_;
    remaining.seconds = deadline - clock_.monotonicSeconds();
    AccessibilitySnapshotBuilder builder(tree, clock_, static_cast<std::int64_t>(::getpid()), remaining);
    return builder.snapshot(processIdentifier, windowTitle, limits, ScreenToDesktop::fromScreens(displays_.screens()));
}

} // namespace brisklet
