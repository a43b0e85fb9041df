#pragma once

#include "ZelvorCore/Foundation/Image.h"

#include <memory>
#include <optional>
#include <string>

namespace brisklet {

struct ScreenPixels;

/// The system pointer as the X server shows it (XFixes GetCursorImage), for recordings that put
/// the real pointer into their pictures: the root window's contents never include it. Has its own
/// connection; use from one thread.
class X11CursorImage {
public:
    struct Cursor {
        /// Top-left corner of the image in root pixels (the pointer's position minus the hotspot).
        int x = 0;
        int y = 0;
        /// Straight-alpha RGBA, shared between calls while the cursor's shape does not change.
        std::shared_ptr<const Image> image;
    };

    /// Connects to `displayName` (empty: $DISPLAY).
    explicit X11CursorImage(const std::string& displayName = {});
    ~X11CursorImage();
    X11CursorImage(const X11CursorImage&) = delete;
    X11CursorImage& operator=(const X11CursorImage&) = delete;

    /// Whether the display has the XFixes extension, so there is a pointer to show.
    bool isAvailable() const;
    /// The pointer now; none without the extension or while it is hidden.
    std::optional<Cursor> current();

    /// Blends `cursor` into `frame`, whose top-left corner is at root pixel (`originX`, `originY`).
    static void draw(Image& frame, const Cursor& cursor, int originX, int originY);
    /// The same on grabbed pixels, in whichever order they are.
    static void draw(ScreenPixels& frame, const Cursor& cursor, int originX, int originY);

private:
    struct Connection;
    std::unique_ptr<Connection> connection_;
};

} // namespace brisklet
