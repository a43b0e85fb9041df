#include "ZelvorApp/Infrastructure/DebugSwitches.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

namespace brisklet {

bool isDebugSwitchOn(const std::optional<std::string>& value) {
    if (!value) {
        return false;
    }
    std::string lower = *value;
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
    return lower == "1" || lower == "true" || lower == "yes";
}

bool debugBypassScreenRecordingPermission(const EnvironmentLookup& variable) {
    return isDebugSwitchOn(variable("BRISKLET_DEBUG_BYPASS_SCREEN_RECORDING_PERMISSION")) ||
           isDebugSwitchOn(variable("ZELVOR_DEBUG_BYPASS_SCREEN_RECORDING_PERMISSION"));
}

bool debugBypassScreenRecordingPermission() {
    return debugBypassScreenRecordingPermission([](const std::string& name) -> std::optional<std::string> {
        const char* value = std::getenv(name.c_str());
        return value ? std::optional<std::string>(value) : std::nullopt;
    });
}

} // namespace brisklet
