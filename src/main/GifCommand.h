#pragma once

#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace brisklet {

class BackgroundRenderer;
class Clock;
class GIFEncoder;
class ImageCodec;

/// The services the "gif" command works with.
struct GifCommandServices {
    const ImageCodec& codec;
    GIFEncoder& encoder;
    const Clock& clock;
    /// The renderer for --background, asked for only when a run needs one (making it may start a
    /// Qt application). Null, or a function returning null, means backgrounds are unavailable.
    std::function<const BackgroundRenderer*()> backgroundRenderer;
};

/// "brisklet gif FRAME.png... [--fps N] [--duration S] [--timestamps FILE.json]
/// [--background PRESET] [--quality 1-100] -o OUT.gif": encodes frames from disk with the recorder's timing and
/// encoder. Without timestamps frame i was taken at i / fps; FILE.json holds one time in seconds
/// per frame ([0, 0.04, 0.31]). --background puts every frame on a background preset (the ids
/// "brisklet background --list" prints) laid out as the GIF editor does. Bad frames or options
/// fail before anything is written, and OUT.gif is never overwritten. Returns the exit code
/// (0 done, 1 failed, 2 usage).
int runGifCommand(const std::vector<std::string>& args, const GifCommandServices& services, std::ostream& out,
                  std::ostream& err);

/// The same with the real codec, the giflib encoder, the system clock and, for --background, the
/// Qt renderer on a headless Qt application started only then.
int runGifCommandHeadless(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace brisklet
