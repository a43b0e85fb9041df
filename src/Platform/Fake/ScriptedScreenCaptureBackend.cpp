#include "Platform/Fake/ScriptedScreenCaptureBackend.h"

#include <cmath>
#include <cstring>

namespace brisklet {

using ImageResult = Result<Image, ScreenCaptureError>;

ScriptedScreenCaptureBackend::Picture ScriptedScreenCaptureBackend::numberedFrames(double scale) {
    return [scale](const Rect& rect, const ScreenCaptureContext&, int captureNumber) {
        Image image(static_cast<int>(rect.width() * scale), static_cast<int>(rect.height() * scale));
        image.fill(static_cast<std::uint8_t>(captureNumber), 0, 0);
        return ImageResult::success(std::move(image));
    };
}

ScriptedScreenCaptureBackend::Picture ScriptedScreenCaptureBackend::stillDesktop(Image desktop, double scale) {
    return [desktop = std::move(desktop), scale](const Rect& rect, const ScreenCaptureContext& context, int) {
        const Rect& frame = context.virtualDesktopFrame;
        const int x = static_cast<int>(std::lround((rect.minX() - frame.minX()) * scale));
        const int y = static_cast<int>(std::lround((frame.maxY() - rect.maxY()) * scale));
        const int width = static_cast<int>(std::lround(rect.width() * scale));
        const int height = static_cast<int>(std::lround(rect.height() * scale));
        if (width <= 0 || height <= 0 || x < 0 || y < 0 || x + width > desktop.width() ||
            y + height > desktop.height()) {
            return ImageResult::failure(ScreenCaptureError::invalidCrop);
        }
        Image image(width, height);
        for (int row = 0; row < height; ++row) {
            std::memcpy(image.row(row), desktop.row(y + row) + static_cast<std::size_t>(x) * 4, image.bytesPerRow());
        }
        return ImageResult::success(std::move(image));
    };
}

ImageResult ScriptedScreenCaptureBackend::capture(const Rect& rect, const ScreenCaptureContext& context,
                                                  const std::vector<std::uint32_t>& excludingWindowIDs) {
    int number = 0;
    {
        std::lock_guard lock(mutex_);
        calls_.push_back({rect, context, excludingWindowIDs});
        number = static_cast<int>(calls_.size());
        if (failuresLeft_ > 0) {
            --failuresLeft_;
            return ImageResult::failure(nextFailure_);
        }
        if (permanentFailure_) {
            return ImageResult::failure(*permanentFailure_);
        }
        if (failWhenExcluding_ && !excludingWindowIDs.empty()) {
            return ImageResult::failure(ScreenCaptureError::captureFailed);
        }
    }
    return picture_(rect, context, number);
}

void ScriptedScreenCaptureBackend::failNext(int count, ScreenCaptureError error) {
    std::lock_guard lock(mutex_);
    failuresLeft_ = count;
    nextFailure_ = error;
}

void ScriptedScreenCaptureBackend::failWith(std::optional<ScreenCaptureError> error) {
    std::lock_guard lock(mutex_);
    permanentFailure_ = error;
}

void ScriptedScreenCaptureBackend::failWhenExcluding(bool fail) {
    std::lock_guard lock(mutex_);
    failWhenExcluding_ = fail;
}

std::vector<ScriptedScreenCaptureBackend::Call> ScriptedScreenCaptureBackend::calls() const {
    std::lock_guard lock(mutex_);
    return calls_;
}

int ScriptedScreenCaptureBackend::captureCount() const {
    std::lock_guard lock(mutex_);
    return static_cast<int>(calls_.size());
}

} // namespace brisklet
