#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace brisklet {

class ImageCodec;

/// "brisklet stitch FRAME.png... -o OUT.png [--no-header-crop] [--no-footer-crop]": stitches
/// frames of a scrolled page the user already has, exactly as a scrolling capture would, and
/// prints what became of each frame. Never overwrites OUT.png. Returns the process exit code.
int runStitchCommand(const std::vector<std::string>& args, const ImageCodec& codec, std::ostream& out,
                     std::ostream& err);

} // namespace brisklet
