#pragma once

#include "Platform/AccessibilitySnapshotReader.h"
#include "Platform/Clock.h"
#include "Platform/DisplayServer.h"
#include "Platform/Linux/Accessibility/AccessibilitySnapshotBuilder.h"
#include "Platform/Linux/Accessibility/AtSpiBusConnection.h"
#include "Platform/PrivacyPermissions.h"

namespace brisklet {

/// Applications' accessibility trees through AT-SPI, over a private connection to the
/// accessibility bus. Trusted means the bus answers and the desktop has accessibility switched
/// on (org.a11y.Status IsEnabled); asking for trust switches it on. A snapshot, connecting
/// included, stays within the options' time. Any thread, one snapshot at a time.
class AtSpiSnapshotReader final : public AccessibilitySnapshotReader {
public:
    AtSpiSnapshotReader(const Clock& clock, PrivacyPermissions& permissions, const DisplayServer& displays,
                        AccessibilitySnapshotBuilder::Options options = {});

    bool isTrusted() const override;
    bool requestTrust() override;
    std::optional<AccessibilitySnapshotNode> snapshot(std::int32_t processIdentifier,
                                                      const std::optional<std::string>& windowTitle,
                                                      const AccessibilityWalkLimits& limits) override;

private:
    const Clock& clock_;
    PrivacyPermissions& permissions_;
    const DisplayServer& displays_;
    AccessibilitySnapshotBuilder::Options options_;
    AtSpiBusConnection bus_;
};

} // namespace brisklet
