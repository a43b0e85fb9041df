#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace brisklet {

/// Runs a desktop settings tool and returns what it printed, or nothing when it could not be
/// started, failed, or did not finish in time.
using DesktopCommandRunner = std::function<std::optional<std::string>(const std::vector<std::string>& arguments)>;

/// The real runner: `arguments[0]` is looked up on PATH; standard input is empty; output beyond
/// 64 KB is ignored; a tool still running after `timeoutSeconds` is killed.
std::optional<std::string> runDesktopCommand(const std::vector<std::string>& arguments, double timeoutSeconds = 2.0);

} // namespace brisklet
