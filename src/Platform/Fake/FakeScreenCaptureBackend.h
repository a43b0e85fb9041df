#pragma once

#include "Platform/ScreenCaptureBackend.h"

#include <functional>
#include <mutex>

namespace brisklet {

/// Returns solid images of the requested size (1 pixel per point, scaled by `scale`), coloured by
/// a capture counter so frames can be told apart; captures can be made to fail.
class FakeScreenCaptureBackend final : public ScreenCaptureBackend {
public:
    explicit FakeScreenCaptureBackend(double scale = 1.0) : scale_(scale) {}

    Result<Image, ScreenCaptureError> capture(const Rect& rect, const ScreenCaptureContext&,
                                              const std::vector<std::uint32_t>&) override {
        std::lock_guard lock(mutex_);
        ++captureCount_;
        if (failuresLeft_ > 0) {
            --failuresLeft_;
            return Result<Image, ScreenCaptureError>::failure(ScreenCaptureError::captureFailed);
        }
        Image image(static_cast<int>(rect.width() * scale_), static_cast<int>(rect.height() * scale_));
        image.fill(static_cast<std::uint8_t>(captureCount_), 0, 0);
        return Result<Image, ScreenCaptureError>::success(std::move(image));
    }

    void failNext(int count) {
        std::lock_guard lock(mutex_);
        failuresLeft_ = count;
    }
    int captureCount() const {
        std::lock_guard lock(mutex_);
        return captureCount_;
    }

private:
    double scale_;
    mutable std::mutex mutex_;
    int captureCount_ = 0;
    int failuresLeft_ = 0;
};

} // namespace brisklet
