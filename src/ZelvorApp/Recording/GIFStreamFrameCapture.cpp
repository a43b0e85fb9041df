#include "ZelvorApp/Recording/GIFStreamFrameCapture.h"

#include "ZelvorApp/Infrastructure/RuntimeLogger.h"

#include <algorithm>

namespace brisklet {

GIFStreamFrameCapture::GIFStreamFrameCapture(ScreenFrameStream& stream, const Rect& rect,
                                             const ScreenCaptureContext& context, int fps, int maxPixelDimension,
                                             OnFrame onFrame, OnStopped onStopped)
    : stream_(stream), configuration_{rect, context, std::max(fps, 1), std::max(maxPixelDimension, 0)},
      onFrame_(std::move(onFrame)), onStopped_(std::move(onStopped)) {}

GIFStreamFrameCapture::~GIFStreamFrameCapture() {
    stop();
}

Status<std::string> GIFStreamFrameCapture::start() {
    stop();
    auto started = stream_.start(
        configuration_, [this](Image frame) { deliver(std::move(frame)); },
        [this](const std::string& error) {
            RuntimeLogger::log("GIF stream capture stopped error=" + error);
            if (onStopped_)
                onStopped_(error);
        });
    isRunning_ = started.ok();
    return started;
}

void GIFStreamFrameCapture::stop() {
    if (isRunning_) {
        isRunning_ = false;
        stream_.stop();
    }
}

void GIFStreamFrameCapture::deliver(Image frame) {
    if (framesInFlight_->fetch_add(1) >= kQueueDepth) {
        framesInFlight_->fetch_sub(1);
        return;
    }
    // The slot's deleter gives the place back wherever the last copy of the frame's task dies.
    FrameSlot slot(nullptr, [counter = framesInFlight_](const void*) { counter->fetch_sub(1); });
    if (onFrame_)
        onFrame_(std::move(frame), std::move(slot));
}

} // namespace brisklet
