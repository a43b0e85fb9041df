#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace brisklet {

struct CommandLine;

/// `brisklet action NAME`: runs an action in the running application, starting it first when
/// none runs. `brisklet action --list` prints the names.
int runActionCommand(const std::vector<std::string>& args, const CommandLine& line, std::ostream& out,
                     std::ostream& err);

/// The command line that starts the application with the same directory options as `line`.
std::vector<std::string> applicationStartArguments(const std::string& executable, const CommandLine& line);

} // namespace brisklet
