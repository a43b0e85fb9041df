#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace brisklet {

class DefaultsStore;
class Paths;

/// "brisklet record WxH+X+Y [--fps N] [--duration S] [--no-cursor] [--no-clicks] [-o OUT.gif]":
/// records a region of the X screen as a GIF, from the live frame stream (still captures when it
/// cannot start), with the pointer and clicks drawn in, until the duration has passed or the user
/// presses Ctrl+C. Frame rate, length and size limits default to the preferences. Without -o the
/// GIF is named in the export directory and recorded in the recent exports; OUT.gif is never
/// overwritten. `displayName` empty means $DISPLAY. Returns the exit code (0 done, 1 failed, 2 usage).
int runRecordCommand(const std::vector<std::string>& args, DefaultsStore& defaults, const Paths& paths,
                     std::ostream& out, std::ostream& err, const std::string& displayName = {});

} // namespace brisklet
