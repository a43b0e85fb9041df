#pragma once

#include <functional>
#include <optional>
#include <string>

namespace brisklet {

/// The value of an environment variable, if set.
using EnvironmentLookup = std::function<std::optional<std::string>(const std::string& name)>;

/// Whether a development switch's value means "on": "1", "true" or "yes", in any case.
bool isDebugSwitchOn(const std::optional<std::string>& value);

/// Whether automated runs asked to treat screen capture as allowed:
/// BRISKLET_DEBUG_BYPASS_SCREEN_RECORDING_PERMISSION, or its older ZELVOR_ name, switched on.
/// Installed packages never set either.
bool debugBypassScreenRecordingPermission(const EnvironmentLookup& variable);
/// The same question of the process environment.
bool debugBypassScreenRecordingPermission();

} // namespace brisklet
