#pragma once

#include "ZelvorApp/Control/Ports/ApplicationHost.h"

#include <filesystem>
#include <string>
#include <vector>

namespace brisklet {

/// The processes under /proc whose executable link this user may read.
std::vector<RunningProcess> listRunningProcesses(const std::filesystem::path& procRoot = "/proc");
/// Whether a command line (argv) starts the application: nothing but directory options.
bool commandLineRunsApplication(const std::vector<std::string>& argv);
/// The session a process belongs to, from its DISPLAY and DBUS_SESSION_BUS_ADDRESS.
std::string sessionKey(const std::string& display, const std::string& bus);
/// This process's executable with symbolic links resolved.
std::optional<std::filesystem::path> currentExecutablePath();

} // namespace brisklet
