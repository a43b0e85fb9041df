#pragma once

#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace brisklet {

class DefaultsStore;
class ImageCodec;
class Paths;

/// "brisklet capture full [--screen N] [-o FILE.png]", "brisklet capture region WxH+X+Y
/// [-o FILE.png]" (pixels from the top-left corner of the whole X screen) and "brisklet capture
/// window ID [-o FILE.png]". Without -o the file is named in the export directory of the
/// preferences and recorded in the recent exports. Never overwrites. `displayName` empty means
/// $DISPLAY. Returns the process exit code.
int runCaptureCommand(const std::vector<std::string>& args, DefaultsStore& defaults, const Paths& paths,
                      const ImageCodec& codec, std::ostream& out, std::ostream& err,
                      const std::string& displayName = {});

/// `runCaptureCommand` on $DISPLAY, writing PNGs tuned for screenshots.
int runCaptureCommand(const std::vector<std::string>& args, DefaultsStore& defaults, const Paths& paths,
                      std::ostream& out, std::ostream& err);

} // namespace brisklet
