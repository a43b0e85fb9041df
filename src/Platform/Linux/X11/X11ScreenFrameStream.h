#pragma once

#include "Platform/ScreenFrameStream.h"

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace brisklet {

class X11ScreenCapture;

/// A region stream on X11: a worker thread ("gif-stream-out") with its own connection grabs the
/// region from the root window through MIT-SHM at the requested rate and hands each frame over on
/// that thread. X11 has no push stream of screen contents without a compositor, so this polls;
/// a grab that overruns its slot makes the next one start at once and the missed slots are
/// skipped, never made up in a burst. The root window never contains the pointer, so frames are
/// free of it as recordings need.
///
/// The region maps to root pixels as still captures do: the context's virtual desktop frame's
/// top-left corner is the root window's origin. A grab that fails (the display went away, the
/// screen shrank under the region) ends the stream by itself.
class X11ScreenFrameStream final : public ScreenFrameStream {
public:
    /// Streams from `displayName` (empty: $DISPLAY); the display is opened on every start.
    explicit X11ScreenFrameStream(std::string displayName = {});
    ~X11ScreenFrameStream() override;
    X11ScreenFrameStream(const X11ScreenFrameStream&) = delete;
    X11ScreenFrameStream& operator=(const X11ScreenFrameStream&) = delete;

    Status<std::string> start(const ScreenFrameStreamConfiguration& configuration, FrameHandler onFrame,
                              StopHandler onStopped) override;
    Status<std::string> startLending(const ScreenFrameStreamConfiguration& configuration,
                                     std::function<void(ScreenPixels& pixels)> onPixels,
                                     StopHandler onStopped) override;
    void stop() override;
    void recycle(Image frame) override;

private:
    struct RootRegion {
        int x = 0;
        int y = 0;
        int width = 0;
        int height = 0;
    };
    /// Grabs the next frame and hands it on; the reason when the grab failed.
    using Delivery = std::function<std::optional<std::string>()>;

    static RootRegion rootRegion(const ScreenFrameStreamConfiguration& configuration);
    struct Opened {
        std::shared_ptr<X11ScreenCapture> capture;
        RootRegion region;
        Image firstFrame;
    };
    /// Stops a running stream, connects and grabs the region once, so that an unusable region or
    /// screen format fails the start instead of a stream that never delivers.
    Result<Opened, std::string> open(const ScreenFrameStreamConfiguration& configuration);
    void launch(int fps, Delivery deliver, StopHandler onStopped);
    void run(int fps, const Delivery& deliver, const StopHandler& onStopped);
    /// Waits until `deadline` or a stop request; true when the stream should go on.
    bool waitUntil(std::chrono::steady_clock::time_point deadline);
    /// A recycled frame for the next grab, or an empty image when none is at hand.
    Image takeSpare();

    std::string displayName_;
    std::thread worker_;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool stopRequested_ = false;
    /// Frames handed back, filled again by later grabs; apart from `mutex_` so recycling never
    /// waits on the stream's stop handshake.
    std::mutex spareMutex_;
    std::vector<Image> spare_;
};

} // namespace brisklet
