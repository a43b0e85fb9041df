#include "Platform/Linux/X11/X11ScreenFrameStream.h"

#include "Platform/Linux/X11/X11ScreenCapture.h"
#include "ZelvorApp/Recording/GIFPerformancePolicy.h"

#include <pthread.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>

namespace brisklet {

namespace {

using StreamClock = std::chrono::steady_clock;

/// Thread names are limited to 15 bytes; this is the tail of the queue label
/// "com.brisklet.brisklet.gif-stream-output".
constexpr const char* threadName = "gif-stream-out";

std::string describeDisplay(const std::string& displayName) {
    if (!displayName.empty()) {
        return displayName;
    }
    const char* fromEnvironment = std::getenv("DISPLAY");
    return fromEnvironment ? fromEnvironment : "(unset)";
}

/// `frame` within the pixel limit, without a copy when it already fits.
Image withinLimit(Image frame, int maxPixelDimension) {
    const auto size = GIFPerformancePolicy::constrainedPixelSize(frame.width(), frame.height(), maxPixelDimension);
    if (size.width == frame.width() && size.height == frame.height()) {
        return frame;
    }
    return GIFPerformancePolicy::downscaledImage(frame, maxPixelDimension);
}

} // namespace

X11ScreenFrameStream::X11ScreenFrameStream(std::string displayName) : displayName_(std::move(displayName)) {}

X11ScreenFrameStream::~X11ScreenFrameStream() {
    stop();
}

X11ScreenFrameStream::RootRegion X11ScreenFrameStream::rootRegion(const ScreenFrameStreamConfiguration& configuration) {
    const Rect& rect = configuration.rect;
    const Rect& desktop = configuration.context.virtualDesktopFrame;
    // Outward to whole pixels, then into root coordinates (top-left origin, y down).
    const double left = std::floor(rect.minX());
    const double right = std::ceil(rect.maxX());
    const double bottom = std::floor(rect.minY());
    const double top = std::ceil(rect.maxY());
    return {static_cast<int>(left - desktop.minX()), static_cast<int>(desktop.maxY() - top),
            static_cast<int>(right - left), static_cast<int>(top - bottom)};
}

Status<std::string> X11ScreenFrameStream::start(const ScreenFrameStreamConfiguration& configuration,
                                                FrameHandler onFrame, StopHandler onStopped) {
    stop();
    // The worker owns its own connection: xcb is thread-safe, but a grab must not queue behind
    // requests of other threads.
    auto capture = std::make_unique<X11ScreenCapture>(displayName_);
    if (!capture->isConnected()) {
        return Status<std::string>::failure("cannot open display " + describeDisplay(displayName_));
    }
    const RootRegion region = rootRegion(configuration);
    // One grab up front turns an unusable region or screen format into a start failure, so the
    // caller can fall back to still captures instead of waiting for frames that never come.
    auto first = capture->captureRootPixels(region.x, region.y, region.width, region.height);
    if (!first) {
        return Status<std::string>::failure("cannot grab the region: " + std::string(toString(first.error())));
    }
    {
        std::lock_guard lock(mutex_);
        stopRequested_ = false;
    }
    worker_ = std::thread(&X11ScreenFrameStream::run, this, std::move(capture), region, configuration,
                          std::move(first).value(), std::move(onFrame), std::move(onStopped));
    return succeeded<std::string>();
}

void X11ScreenFrameStream::stop() {
    {
        std::lock_guard lock(mutex_);
        stopRequested_ = true;
    }
    wake_.notify_all();
    if (worker_.joinable()) {
        worker_.join();
    }
}

bool X11ScreenFrameStream::waitUntil(StreamClock::time_point deadline) {
    std::unique_lock lock(mutex_);
    return !wake_.wait_until(lock, deadline, [this] { return stopRequested_; });
}

void X11ScreenFrameStream::run(std::unique_ptr<X11ScreenCapture> capture, RootRegion region,
                               ScreenFrameStreamConfiguration configuration, Image firstFrame, FrameHandler onFrame,
                               StopHandler onStopped) {
    pthread_setname_np(pthread_self(), threadName);
    const auto interval = std::chrono::duration_cast<StreamClock::duration>(
        std::chrono::duration<double>(1.0 / std::max(configuration.fps, 1)));
    auto deadline = StreamClock::now();
    Image frame = std::move(firstFrame);
    for (;;) {
        if (onFrame) {
            onFrame(withinLimit(std::move(frame), configuration.maxPixelDimension));
        }
        deadline += interval;
        // After an overrun the next grab starts at once; the slots it missed are gone.
        deadline = std::max(deadline, StreamClock::now());
        if (!waitUntil(deadline)) {
            return;
        }
        auto grabbed = capture->captureRootPixels(region.x, region.y, region.width, region.height);
        if (!grabbed) {
            std::unique_lock lock(mutex_);
            if (stopRequested_) {
                return; // asked to stop while grabbing: not an ending of its own
            }
            lock.unlock();
            if (onStopped) {
                onStopped(std::string(toString(grabbed.error())));
            }
            return;
        }
        frame = std::move(grabbed).value();
    }
}

} // namespace brisklet
