#pragma once

#include "ZelvorCore/Foundation/Geometry.h"
#include "ZelvorCore/Foundation/Image.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <ostream>
#include <string>

namespace brisklet {

class ImageCodec;
class Paths;

/// What a command asks to capture: "full" (optionally one screen), "region" with "WxH+X+Y" in root
/// pixels, or "window" with an X11 window id (decimal or 0x…).
struct CommandCaptureRequest {
    std::string mode;
    std::optional<std::string> target;
    std::optional<std::uint32_t> screen;
};

/// The screen captures the command line makes, with their errors written to `err` behind the
/// command's name (e.g. "brisklet capture: …").
class CommandScreenCapture {
public:
    CommandScreenCapture(const Paths& paths, const ImageCodec& codec, std::ostream& err, std::string commandName,
                         const std::string& displayName);
    ~CommandScreenCapture();
    CommandScreenCapture(const CommandScreenCapture&) = delete;
    CommandScreenCapture& operator=(const CommandScreenCapture&) = delete;

    /// The picture, or nothing after the reason has been written.
    std::optional<Image> capture(const CommandCaptureRequest& request);
    /// Where the last full-screen or region capture lies in the global desktop space (points, origin
    /// bottom-left); nothing for a window (its bounds come from the window list).
    std::optional<Rect> lastRect() const;

    /// A window id or screen number: decimal, or hexadecimal after "0x".
    static std::optional<std::uint32_t> parseNumber(const std::string& text);

private:
    class Run;
    std::unique_ptr<Run> run_;
};

} // namespace brisklet
