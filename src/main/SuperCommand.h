#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace brisklet {

class DefaultsStore;
class Paths;

/// "brisklet super window ID [--json]" and "brisklet super region WxH+X+Y [--json]": a super
/// screenshot from a script. The window or region is captured and written as a knowledge package
/// (screenshot.png, context.md, metadata.json) in the library's Packages folder, recorded in the
/// library, and its directory is printed (or the whole result as JSON). Returns the exit code.
int runSuperCommand(const std::vector<std::string>& args, const Paths& paths, DefaultsStore& defaults,
                    std::ostream& out, std::ostream& err);

} // namespace brisklet
