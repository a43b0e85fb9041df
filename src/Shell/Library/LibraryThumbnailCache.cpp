#include "Shell/Library/LibraryThumbnailCache.h"

#include <QCoreApplication>
#include <QImageReader>
#include <QMetaObject>

namespace brisklet {

namespace {

/// Widths are rounded up to steps, so a slider drag does not decode every picture at every width.
int bucket(int pixelWidth) { return std::max(64, (pixelWidth + 63) / 64 * 64); }

QImage decode(const QString& path, int pixelWidth) {
    QImageReader reader(path);
    reader.setAutoTransform(true);
    const QSize size = reader.size();
    if (size.isValid() && size.width() > pixelWidth) {
        reader.setScaledSize(QSize(pixelWidth, std::max(1, size.height() * pixelWidth / size.width())));
    }
    QImage image = reader.read();
    if (!image.isNull() && image.width() > pixelWidth) {
        image = image.scaledToWidth(pixelWidth, Qt::SmoothTransformation);
    }
    if (!image.isNull() && image.format() != QImage::Format_ARGB32_Premultiplied &&
        image.format() != QImage::Format_RGB32) {
        // Painting a premultiplied image is a plain copy on the main thread.
        image = image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied
                                                               : QImage::Format_RGB32);
    }
    return image;
}

} // namespace

LibraryThumbnailCache::LibraryThumbnailCache(int budgetMegabytes) {
    pool_.setMaxThreadCount(2);
    cache_.setMaxCost(budgetMegabytes * 1024);
}

LibraryThumbnailCache::~LibraryThumbnailCache() {
    pool_.clear();
    pool_.waitForDone();
}

QString LibraryThumbnailCache::key(const QString& path, int pixelWidth) {
    return QString::number(bucket(pixelWidth)) + QLatin1Char('|') + path;
}

QImage LibraryThumbnailCache::image(const QString& path, int pixelWidth) {
    if (path.isEmpty()) {
        return {};
    }
    if (const QImage* cached = cache_.object(key(path, pixelWidth))) {
        return *cached;
    }
    request(path, pixelWidth);
    return {};
}

void LibraryThumbnailCache::prefetch(const QString& path, int pixelWidth) {
    if (!path.isEmpty() && !cache_.contains(key(path, pixelWidth))) {
        request(path, pixelWidth);
    }
}

void LibraryThumbnailCache::request(const QString& path, int pixelWidth) {
    const QString k = key(path, pixelWidth);
    if (pending_.contains(k) || failed_.contains(k)) {
        return;
    }
    pending_.insert(k);
    const int width = bucket(pixelWidth);
    pool_.start([this, k, path, width] {
        const QImage image = decode(path, width);
        // Delivered on the main thread; dropped with the cache if it is gone by then.
        QMetaObject::invokeMethod(this, [this, k, image] { arrived(k, image); }, Qt::QueuedConnection);
    });
}

void LibraryThumbnailCache::arrived(const QString& k, const QImage& image) {
    pending_.remove(k);
    if (image.isNull()) {
        failed_.insert(k);
        return;
    }
    cache_.insert(k, new QImage(image), std::max<qsizetype>(1, image.sizeInBytes() / 1024));
    if (onLoaded) {
        onLoaded();
    }
}

void LibraryThumbnailCache::waitForPending() {
    pool_.waitForDone();
    QCoreApplication::sendPostedEvents(this);
}

} // namespace brisklet
