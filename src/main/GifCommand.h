#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace brisklet {

class Clock;
class GIFEncoder;
class ImageCodec;

/// "brisklet gif FRAME.png... [--fps N] [--duration S] [--timestamps FILE.json] -o OUT.gif":
/// encodes frames from disk with the recorder's timing and encoder. Without timestamps frame i
/// was taken at i / fps; FILE.json holds one time in seconds per frame ([0, 0.04, 0.31]). Bad
/// frames fail before anything is written, and OUT.gif is never overwritten. Returns the exit code.
int runGifCommand(const std::vector<std::string>& args, const ImageCodec& codec, GIFEncoder& encoder,
                  const Clock& clock, std::ostream& out, std::ostream& err);

} // namespace brisklet
