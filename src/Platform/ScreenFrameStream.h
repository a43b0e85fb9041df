#pragma once

#include "Platform/ScreenCaptureBackend.h"
#include "ZelvorCore/Foundation/Geometry.h"
#include "ZelvorCore/Foundation/Image.h"
#include "ZelvorCore/Foundation/Result.h"

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
    /// Stops the stream; no handler runs after this returns. Not callable from inside a handler.
    virtual void stop() = 0;
};

} // namespace brisklet
