#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace brisklet {

class DefaultsStore;

/// "brisklet prefs show|export FILE|import FILE|reset". Returns the process exit code.
int runPrefsCommand(const std::vector<std::string>& args, DefaultsStore& defaults, std::ostream& out,
                    std::ostream& err);

} // namespace brisklet
