#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace brisklet {

class DefaultsStore;

/// "brisklet record WxH+X+Y --format mp4|mov [--quality low|medium|high] [--audio] [--duration S]
/// [--no-cursor] [--no-clicks] [-o FILE]": records a region of the X screen as an H.264 video,
/// with the system pointer and click ripples, and with what the default output plays when
/// `--audio` is given, until the duration has passed or the user presses Ctrl+C (which keeps the
/// recording). The file is recorded into a temporary draft and then copied into place with its
/// size checked; FILE is never overwritten, and a failed copy leaves the draft where it says.
/// Without -o it is named in the export directory and recorded in the recent exports. Quality
/// defaults to the preferences'. Returns the exit code (0 done, 1 failed, 2 usage).
int runVideoRecordCommand(const std::vector<std::string>& args, DefaultsStore& defaults, std::ostream& out,
                          std::ostream& err, const std::string& displayName = {});

/// Whether `args` of `record` ask for a video (a `--format` other than gif).
bool isVideoRecordRequest(const std::vector<std::string>& args);

} // namespace brisklet
