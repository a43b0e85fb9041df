#include "Platform/Fake/StillScreenCaptureBackend.h"

#include <cmath>
#include <cstring>

namespace brisklet {

Result<Image, ScreenCaptureError>
StillScreenCaptureBackend::capture(const Rect& rect, const ScreenCaptureContext& context,
                                   const std::vector<std::uint32_t>& excludingWindowIDs) {
    using ImageResult = Result<Image, ScreenCaptureError>;
    calls_.push_back({rect, context, excludingWindowIDs});
    if (failure_) {
        return ImageResult::failure(*failure_);
    }
    if (failWhenExcluding_ && !excludingWindowIDs.empty()) {
        return ImageResult::failure(ScreenCaptureError::captureFailed);
    }
    const Rect& desktop = context.virtualDesktopFrame;
    const int x = static_cast<int>(std::lround((rect.minX() - desktop.minX()) * scale_));
    const int y = static_cast<int>(std::lround((desktop.maxY() - rect.maxY()) * scale_));
    const int width = static_cast<int>(std::lround(rect.width() * scale_));
    const int height = static_cast<int>(std::lround(rect.height() * scale_));
    if (width <= 0 || height <= 0 || x < 0 || y < 0 || x + width > desktop_.width() || y + height > desktop_.height()) {
        return ImageResult::failure(ScreenCaptureError::invalidCrop);
    }
    Image image(width, height);
    for (int row = 0; row < height; ++row) {
        std::memcpy(image.row(row), desktop_.row(y + row) + static_cast<std::size_t>(x) * 4, image.bytesPerRow());
    }
    return ImageResult::success(std::move(image));
}

} // namespace brisklet
