#include "Platform/Linux/Desktop/QtWallpaperImageReader.h"

#include "Platform/Linux/Qt/QtImageConversion.h"

#include <QImageReader>

#include <algorithm>
#include <cmath>

namespace brisklet {

namespace {

/// Qt names some formats differently from their usual file extensions.
std::string qtFormatFor(std::string_view extension) {
    if (extension == "jpg") {
        return "jpeg";
    }
    if (extension == "tif") {
        return "tiff";
    }
    if (extension == "heic") {
        return "heif";
    }
    return std::string(extension);
}

QString qtPath(const std::filesystem::path& file) {
    return QString::fromStdString(file.string());
}

} // namespace

QtWallpaperImageReader::QtWallpaperImageReader() {
    for (const QByteArray& format : QImageReader::supportedImageFormats()) {
        formats_.insert(format.toLower().toStdString());
    }
}

bool QtWallpaperImageReader::canDecode(std::string_view extension) const {
    return formats_.contains(qtFormatFor(extension));
}

std::optional<PixelSize> QtWallpaperImageReader::pixelSize(const std::filesystem::path& file) const {
    if (const auto size = headers_.readPixelSize(file)) {
        return size;
    }
    // TIFF, HEIF and the like: Qt's plugins read their headers without decoding the picture too.
    QImageReader reader(qtPath(file));
    reader.setAutoTransform(true);
    const QSize size = reader.size();
    if (!size.isValid() || size.isEmpty()) {
        return std::nullopt;
    }
    return PixelSize{size.width(), size.height()};
}

std::optional<Image> QtWallpaperImageReader::thumbnail(const std::filesystem::path& file, int maxPixelSize) const {
    if (maxPixelSize < 1) {
        return std::nullopt;
    }
    QImageReader reader(qtPath(file));
    reader.setAutoTransform(true);
    const QSize size = reader.size();
    if (size.isValid() && !size.isEmpty() && std::max(size.width(), size.height()) > maxPixelSize) {
        const double scale = static_cast<double>(maxPixelSize) / std::max(size.width(), size.height());
        reader.setScaledSize(QSize(std::max(1, static_cast<int>(std::lround(size.width() * scale))),
                                   std::max(1, static_cast<int>(std::lround(size.height() * scale)))));
    }
    QImage image = reader.read();
    if (image.isNull()) {
        return std::nullopt;
    }
    if (std::max(image.width(), image.height()) > maxPixelSize) {
        image = image.scaled(maxPixelSize, maxPixelSize, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    }
    return fromQImage(image);
}

} // namespace brisklet
