#pragma once

#include "Platform/ScreenCaptureBackend.h"

#include <memory>
#include <string>

namespace brisklet {

struct ScreenPixels;

/// Still captures of an X11 screen with GetImage on the root window, through a MIT-SHM segment
/// when the server shares memory with us and plain GetImage (in strips) otherwise.
///
/// Rectangles arrive in the global desktop space; they are mapped to root pixels through the
/// context's virtual desktop frame, whose top-left corner is the root window's origin (RandR lays
/// monitors out from there). Scale is 1: X11 root pixels are points.
///
/// Our own windows are left out by unmapping them for the duration of the capture: X11 without a
/// compositor keeps no off-screen contents, so there is no filter that could drop a window from
/// the picture. Unmapped windows are mapped again whatever the outcome.
class X11ScreenCapture final : public ScreenCaptureBackend {
public:
    /// Opens `displayName` (empty: $DISPLAY).
    explicit X11ScreenCapture(const std::string& displayName = {});
    ~X11ScreenCapture() override;
    X11ScreenCapture(const X11ScreenCapture&) = delete;
    X11ScreenCapture& operator=(const X11ScreenCapture&) = delete;

    /// Whether the display could be opened.
    bool isConnected() const;
    /// Whether captures go through shared memory.
    bool usesSharedMemory() const;

    Result<Image, ScreenCaptureError> capture(const Rect& rect, const ScreenCaptureContext& context,
                                              const std::vector<std::uint32_t>& excludingWindowIDs) override;

    /// Captures `width` × `height` pixels at (`x`, `y`) of the root window (top-left origin).
    Result<Image, ScreenCaptureError> captureRootPixels(int x, int y, int width, int height);
    /// The same, filling `reuse` when it already has the size, which spares allocating and
    /// clearing a buffer per grab.
    Result<Image, ScreenCaptureError> captureRootPixels(int x, int y, int width, int height, Image reuse);
    /// Grabs the same pixels into the shared segment and lends them there, in the screen's BGRX
    /// order, until the next capture on this object; false (nothing grabbed) when the server does
    /// not share memory with us or sends another pixel layout, or when the grab fails.
    bool lendRootPixels(int x, int y, int width, int height, ScreenPixels& pixels);
    /// The root window's size in pixels, or 0 × 0 without a display.
    std::pair<int, int> rootSize() const;

private:
    struct Connection;
    std::unique_ptr<Connection> connection_;
};

} // namespace brisklet
