#pragma once

#include "ZelvorApp/Capture/CapturedWindowInfo.h"

#include <string>
#include <vector>

namespace brisklet {

struct AppEnvironment;

/// The windows a window picker can offer (ours left out). When there are none, the "no window to
/// record" alert is shown and `skippedLogLine` logged, and the list is empty.
std::vector<CapturedWindowInfo> pickableWindowsOrAlert(AppEnvironment& env, const std::string& skippedLogLine);

} // namespace brisklet
