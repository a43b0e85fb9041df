#pragma once

#include "ZelvorApp/Recording/CapturedGIFFrame.h"
#include "ZelvorApp/Recording/GIFFileWriter.h"

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

namespace brisklet {

class Clock;
class GIFEncoder;

/// Writes frames as a new GIF file for the command line: encoded beside `output` under a temporary
/// name and moved into place without overwriting; nothing is left behind on failure. Problems go to
/// `err`, prefixed with `command` (e.g. "brisklet gif"). `quality` is the encoder's (1 … 100).
bool writeNewGifFile(const std::vector<CapturedGIFFrame>& frames, int fps, double duration, int quality,
                     const GIFFileWriter::FrameRenderer& renderer, const std::filesystem::path& output,
                     GIFEncoder& encoder, const Clock& clock, const std::string& command, std::ostream& err);

} // namespace brisklet
