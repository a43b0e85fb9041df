#include "Platform/Linux/Qt/QtImageConversion.h"

#include <cstring>

namespace brisklet {

QImage toQImage(const Image& image) {
    QImage result(image.width(), image.height(), QImage::Format_RGBA8888);
    for (int y = 0; y < image.height(); ++y) {
        std::memcpy(result.scanLine(y), image.row(y), image.bytesPerRow());
    }
    return result;
}

Image fromQImage(const QImage& source) {
    const QImage rgba = source.convertToFormat(QImage::Format_RGBA8888);
    Image image(rgba.width(), rgba.height());
    for (int y = 0; y < rgba.height(); ++y) {
        std::memcpy(image.row(y), rgba.constScanLine(y), image.bytesPerRow());
    }
    return image;
}

} // namespace brisklet
