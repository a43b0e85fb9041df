#pragma once

#include "Platform/ScreenCaptureBackend.h"
#include "ZelvorCore/Foundation/Geometry.h"
#include "ZelvorCore/Foundation/Image.h"
#include "ZelvorCore/Foundation/Result.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace brisklet {

/// What a frame stream should deliver.
struct ScreenFrameStreamConfiguration {
    /// The region, in points of the global desktop space (origin bottom-left).
    Rect rect;
    ScreenCaptureContext context;
    /// Frames per second asked for (at least 1). Late frames are skipped rather than queued.
    int fps = 20;
    /// The longer side of a delivered frame is at most this many pixels (0: no limit).
    int maxPixelDimension = 0;

    bool operator==(const ScreenFrameStreamConfiguration&) const = default;
};

/// One grab in the memory it was grabbed into: writable (a recorder draws the pointer on it) and
/// valid only while the handler that receives it runs.
struct ScreenPixels {
    std::uint8_t* data = nullptr;
    int width = 0;
    int height = 0;
    std::size_t bytesPerRow = 0;
    /// Blue, green, red and an unused byte per pixel, the screen's own order; otherwise RGBA as in
    /// `Image`.
    bool isBGRX = false;
    /// The grab lent just before, of the same size and order and still intact, when the stream
    /// keeps it (null otherwise): comparing the two tells an unchanged screen without a copy. It
    /// shows whatever the handler left drawn on it, so a handler that compares restores what it
    /// drew before it returns.
    const std::uint8_t* previous = nullptr;
};

/// A continuous capture of one screen region. Frames never show the system pointer or click
/// highlights: recordings draw their own.
class ScreenFrameStream {
public:
    using FrameHandler = std::function<void(Image frame)>;
    /// Called once when the stream ends without being asked to, with the reason.
    using StopHandler = std::function<void(const std::string& error)>;

    virtual ~ScreenFrameStream() = default;

    /// Starts delivering frames of `configuration` to `onFrame` on the stream's own thread (never the
    /// main thread), stopping any stream already running. Fails with a readable reason when the
    /// display or the region cannot be streamed; nothing is delivered then.
    virtual Status<std::string> start(const ScreenFrameStreamConfiguration& configuration, FrameHandler onFrame,
                                      StopHandler onStopped) = 0;
    /// Like `start`, but each grab is lent to `onPixels` in place instead of being handed over as an
    /// image, which spares a copy of every frame for consumers that convert the pixels at once (video
    /// encoding). Frames are at the region's full size whatever `maxPixelDimension` says.
    virtual Status<std::string> startLending(const ScreenFrameStreamConfiguration& configuration,
                                             std::function<void(ScreenPixels& pixels)> onPixels,
                                             StopHandler onStopped) {
        return start(
            configuration,
            [onPixels = std::move(onPixels)](Image frame) {
                ScreenPixels pixels{frame.data(), frame.width(), frame.height(), frame.bytesPerRow(), false};
                onPixels(pixels);
            },
            std::move(onStopped));
    }
    /// Stops the stream; no handler runs after this returns. Not callable from inside a handler.
    virtual void stop() = 0;
    /// Hands back a frame the handler is done with, so a later grab can fill its memory instead of
    /// mapping and clearing a fresh buffer. Callable from any thread; streams that keep nothing drop it.
    virtual void recycle(Image /*frame*/) {}
};

} // namespace brisklet
