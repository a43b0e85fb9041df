#pragma once

#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace brisklet {

/// "brisklet windows [--json]": the capturable windows of other applications, front to back,
/// with their numbers for "brisklet capture window ID". Without a display, automated runs can
/// get the list from a debug capture helper (BRISKLET_DEBUG_CAPTURE_HELPER_URL together with
/// BRISKLET_DEBUG_BYPASS_SCREEN_RECORDING_PERMISSION=1). `environment` reads the process
/// environment when empty. Returns the process exit code.
int runWindowsCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                      const std::string& displayName = {},
                      const std::function<std::optional<std::string>(const std::string&)>& environment = {});

} // namespace brisklet
