#pragma once

#include "Platform/ScreenFrameStream.h"
#include "ZelvorCore/Foundation/Geometry.h"
#include "ZelvorCore/Foundation/Image.h"

#include <atomic>
#include <functional>
#include <memory>
#include <string>

namespace brisklet {

/// One run of a continuous region capture for a GIF recording. Frames arrive on the stream's
/// thread, already no larger than the recording's pixel limit. A frame holds a slot until the
/// recorder lets go of it; while `kQueueDepth` frames are still on their way, newer ones are
/// dropped at the source, so a busy main thread costs frames instead of memory (the recorder's
/// sample-and-hold timing repeats the previous image in their place).
class GIFStreamFrameCapture {
public:
    static constexpr int kQueueDepth = 3;

    /// Held with a frame until it has been stored or dropped.
    using FrameSlot = std::shared_ptr<const void>;
    /// Runs on the stream's thread.
    using OnFrame = std::function<void(Image frame, FrameSlot slot)>;
    /// Runs on the stream's thread, once, when the stream ends without being stopped.
    using OnStopped = std::function<void(const std::string& error)>;

    GIFStreamFrameCapture(ScreenFrameStream& stream, const Rect& rect, const ScreenCaptureContext& context, int fps,
                          int maxPixelDimension, OnFrame onFrame, OnStopped onStopped);
    /// Stops the stream.
    ~GIFStreamFrameCapture();
    GIFStreamFrameCapture(const GIFStreamFrameCapture&) = delete;
    GIFStreamFrameCapture& operator=(const GIFStreamFrameCapture&) = delete;

    /// Starts streaming; the error says why the region cannot be streamed.
    Status<std::string> start();
    /// Stops streaming; no callback runs after this returns.
    void stop();

    const ScreenFrameStreamConfiguration& configuration() const { return configuration_; }

private:
    void deliver(Image frame);

    ScreenFrameStream& stream_;
    ScreenFrameStreamConfiguration configuration_;
    OnFrame onFrame_;
    OnStopped onStopped_;
    /// Shared with the slots, which may outlive this object.
    std::shared_ptr<std::atomic<int>> framesInFlight_ = std::make_shared<std::atomic<int>>(0);
    bool isRunning_ = false;
};

} // namespace brisklet
