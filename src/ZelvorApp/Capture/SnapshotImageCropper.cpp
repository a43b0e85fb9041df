#include "ZelvorApp/Capture/SnapshotImageCropper.h"

#include "ZelvorApp/Capture/CaptureGeometry.h"

#include <cmath>
#include <cstring>

namespace brisklet::SnapshotImageCropper {

std::optional<Image> crop(const Image& image, const Rect& pixelRect) {
    if (pixelRect.isEmpty() || !CaptureGeometry::liesInside(pixelRect, image.width(), image.height()) ||
        CaptureGeometry::integral(pixelRect) != pixelRect) {
        return std::nullopt;
    }
    const int x = static_cast<int>(pixelRect.minX());
    const int y = static_cast<int>(pixelRect.minY());
    const int width = static_cast<int>(pixelRect.width());
    const int height = static_cast<int>(pixelRect.height());
    // Images are RGBA8 with straight alpha everywhere in the application, so the redraw into a
    // standard bitmap is a plain row copy.
    Image result(width, height);
    for (int row = 0; row < height; ++row) {
        std::memcpy(result.row(row), image.row(y + row) + static_cast<std::size_t>(x) * 4, result.bytesPerRow());
    }
    return result;
}

std::optional<Image> cropSelection(const Image& snapshot, const Rect& selection, const Rect& screenFrame) {
    const Rect pixels = CaptureGeometry::pixelCropRect(selection, screenFrame, snapshot.width(), snapshot.height());
    if (pixels.width() <= 1 || pixels.height() <= 1) {
        return std::nullopt;
    }
    return crop(snapshot, pixels);
}

} // namespace brisklet::SnapshotImageCropper
