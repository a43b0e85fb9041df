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

/// Enough for the frames a consumer holds in its queue; more would only keep memory.
constexpr std::size_t kMaxSpareFrames = 4;

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

Result<X11ScreenFrameStream::Opened, std::string>
X11ScreenFrameStream::open(const ScreenFrameStreamConfiguration& configuration) {
    using R = Result<Opened, std::string>;
    stop();
    const RootRegion region = rootRegion(configuration);
    // The worker owns its own connection: xcb is thread-safe, but a grab must not queue behind
    // requests of other threads.
    auto capture = std::make_shared<X11ScreenCapture>(displayName_);
    if (!capture->isConnected()) {
        return R::failure("cannot open display " + describeDisplay(displayName_));
    }
    auto first = capture->captureRootPixels(region.x, region.y, region.width, region.height);
    if (!first) {
        return R::failure("cannot grab the region: " + std::string(toString(first.error())));
    }
    return R::success(Opened{std::move(capture), region, std::move(first).value()});
}

Status<std::string> X11ScreenFrameStream::start(const ScreenFrameStreamConfiguration& configuration,
                                                FrameHandler onFrame, StopHandler onStopped) {
    auto opened = open(configuration);
    if (!opened) {
        return Status<std::string>::failure(opened.error());
    }
    auto [capture, region, first] = std::move(opened).value();
    const int limit = configuration.maxPixelDimension;
    launch(configuration.fps,
           [this, capture = std::move(capture), region = region, limit,
            pending = std::optional<Image>(std::move(first)), onFrame = std::move(onFrame)]() mutable
           -> std::optional<std::string> {
               Image frame;
               if (pending) {
                   frame = std::move(*pending);
                   pending.reset();
               } else {
                   auto grabbed =
                       capture->captureRootPixels(region.x, region.y, region.width, region.height, takeSpare());
                   if (!grabbed) {
                       return std::string(toString(grabbed.error()));
                   }
                   frame = std::move(grabbed).value();
               }
               if (onFrame) {
                   onFrame(withinLimit(std::move(frame), limit));
               }
               return std::nullopt;
           },
           std::move(onStopped));
    return succeeded<std::string>();
}

Status<std::string> X11ScreenFrameStream::startLending(const ScreenFrameStreamConfiguration& configuration,
                                                       std::function<void(ScreenPixels& pixels)> onPixels,
                                                       StopHandler onStopped) {
    auto opened = open(configuration);
    if (!opened) {
        return Status<std::string>::failure(opened.error());
    }
    auto [capture, region, first] = std::move(opened).value();
    launch(configuration.fps,
           [capture = std::move(capture), region = region, scratch = std::move(first),
            onPixels = std::move(onPixels)]() mutable -> std::optional<std::string> {
               ScreenPixels pixels;
               // Without shared memory or in a rare pixel layout the frame goes through an image.
               if (!capture->lendRootPixels(region.x, region.y, region.width, region.height, pixels)) {
                   auto grabbed = capture->captureRootPixels(region.x, region.y, region.width, region.height,
                                                             std::move(scratch));
                   if (!grabbed) {
                       return std::string(toString(grabbed.error()));
                   }
                   scratch = std::move(grabbed).value();
                   pixels = ScreenPixels{scratch.data(), scratch.width(), scratch.height(), scratch.bytesPerRow(),
                                         false};
               }
               if (onPixels) {
                   onPixels(pixels);
               }
               return std::nullopt;
           },
           std::move(onStopped));
    return succeeded<std::string>();
}

void X11ScreenFrameStream::launch(int fps, Delivery deliver, StopHandler onStopped) {
    {
        std::lock_guard lock(mutex_);
        stopRequested_ = false;
    }
    worker_ = std::thread([this, fps, deliver = std::move(deliver), onStopped = std::move(onStopped)] {
        run(fps, deliver, onStopped);
    });
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

void X11ScreenFrameStream::recycle(Image frame) {
    std::lock_guard lock(spareMutex_);
    if (spare_.size() < kMaxSpareFrames && !frame.isEmpty()) {
        spare_.push_back(std::move(frame));
    }
}

Image X11ScreenFrameStream::takeSpare() {
    std::lock_guard lock(spareMutex_);
    if (spare_.empty()) {
        return Image();
    }
    Image frame = std::move(spare_.back());
    spare_.pop_back();
    return frame;
}

bool X11ScreenFrameStream::waitUntil(StreamClock::time_point deadline) {
    std::unique_lock lock(mutex_);
    return !wake_.wait_until(lock, deadline, [this] { return stopRequested_; });
}

void X11ScreenFrameStream::run(int fps, const Delivery& deliver, const StopHandler& onStopped) {
    pthread_setname_np(pthread_self(), threadName);
    const auto interval =
        std::chrono::duration_cast<StreamClock::duration>(std::chrono::duration<double>(1.0 / std::max(fps, 1)));
    auto deadline = StreamClock::now();
    for (;;) {
        if (auto failure = deliver()) {
            std::unique_lock lock(mutex_);
            if (stopRequested_) {
                return; // asked to stop while grabbing: not an ending of its own
            }
            lock.unlock();
            if (onStopped) {
                onStopped(*failure);
            }
            return;
        }
        deadline += interval;
        // After an overrun the next grab starts at once; the slots it missed are gone.
        deadline = std::max(deadline, StreamClock::now());
        if (!waitUntil(deadline)) {
            return;
        }
    }
}

} // namespace brisklet
