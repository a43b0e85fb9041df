#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace brisklet {

class BackgroundRenderer;
class ImageCodec;
class SystemWallpaperCatalog;
class WallpaperImageReader;

/// The services the "background" command works with.
struct BackgroundCommandServices {
    const ImageCodec& codec;
    const BackgroundRenderer& renderer;
    /// Checks background pictures before they are used.
    const WallpaperImageReader& pictures;
    SystemWallpaperCatalog& catalog;
};

/// "brisklet background IMAGE -o OUT.png [options]": puts IMAGE on a decorative canvas (a preset
/// or generated gradient, a colour, a picture, the desktop wallpaper or nothing; padding, aspect,
/// alignment, shadow, rounded corners, a browser, phone or laptop frame, a template) and writes
/// OUT.png. Starts from the balanced look for the image and applies the options on top. Never
/// overwrites OUT.png. "brisklet background --list" prints the presets, templates, frames and
/// the installed wallpapers. Returns the exit code (0 done, 1 failed, 2 usage).
int runBackgroundCommand(const std::vector<std::string>& args, const BackgroundCommandServices& services,
                         std::ostream& out, std::ostream& err);

/// The same with the real codec, the Qt renderer, the desktop's picture and the Linux wallpaper
/// folders. Creates a QGuiApplication on the "offscreen" platform when the process has none.
int runBackgroundCommandHeadless(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace brisklet
