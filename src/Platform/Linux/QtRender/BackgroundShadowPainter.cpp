#include "Platform/Linux/QtRender/BackgroundShadowPainter.h"

#include "Platform/Linux/QtRender/BackgroundImageCache.h"
#include "Platform/Linux/QtRender/BackgroundImageEffects.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace brisklet {

namespace {

QColor toQColor(const StoredColor& c) {
    const auto unit = [](double v) { return static_cast<float>(std::clamp(v, 0.0, 1.0)); };
    return QColor::fromRgbF(unit(c.red), unit(c.green), unit(c.blue), unit(c.alpha));
}

QRectF toQRect(const Rect& r) {
    return {r.minX(), r.minY(), r.width(), r.height()};
}

/// The blurred shadow of a rounded rectangle of `shapeSize`, with `margin` clear pixels around
/// it, at full size.
QImage shadowMask(QSizeF shapeSize, double radius, double sigma, int margin) {
    const QSize full(static_cast<int>(std::ceil(shapeSize.width())) + 2 * margin,
                     static_cast<int>(std::ceil(shapeSize.height())) + 2 * margin);
    const double reduction = std::clamp(sigma / 4, 1.0, 8.0);
    const QSize small(std::max(1, static_cast<int>(std::ceil(full.width() / reduction))),
                      std::max(1, static_cast<int>(std::ceil(full.height() / reduction))));
    QImage mask(small, QImage::Format_Alpha8);
    if (mask.isNull()) {
        return mask;
    }
    mask.fill(0);
    {
        QPainter painter(&mask);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(static_cast<double>(small.width()) / full.width(),
                      static_cast<double>(small.height()) / full.height());
        painter.fillPath(roundedRectPath(QRectF(QPointF(margin, margin), shapeSize), radius), Qt::black);
    }
    blurInPlace(mask, sigma * small.width() / full.width());
    return small == full ? mask : enlargedMask(mask, full);
}

std::string maskKey(QSizeF shapeSize, double radius, double sigma) {
    char buffer[96];
    std::snprintf(buffer, sizeof buffer, "%.2fx%.2f|%.3f|%.3f", shapeSize.width(), shapeSize.height(), radius, sigma);
    return buffer;
}

} // namespace

QPainterPath roundedRectPath(const QRectF& rect, double radius) {
    QPainterPath path;
    const double r = std::clamp(radius, 0.0, std::min(rect.width(), rect.height()) / 2);
    if (r <= 0.01) {
        path.addRect(rect);
    } else {
        path.addRoundedRect(rect, r, r);
    }
    return path;
}

QRegion coveredByRoundedRect(const QRectF& rect, double radius) {
    const double r = std::ceil(std::clamp(radius, 0.0, std::min(rect.width(), rect.height()) / 2)) + 1;
    // Whole pixels strictly inside the rectangle, so antialiased edges are never counted.
    const QRect inner(static_cast<int>(std::ceil(rect.left())), static_cast<int>(std::ceil(rect.top())),
                      static_cast<int>(std::floor(rect.right()) - std::ceil(rect.left())),
                      static_cast<int>(std::floor(rect.bottom()) - std::ceil(rect.top())));
    if (inner.isEmpty()) {
        return {};
    }
    const int c = static_cast<int>(r);
    QRegion body(inner.adjusted(c, 0, -c, 0));
    body += QRegion(inner.adjusted(0, c, 0, -c));
    return body;
}

void paintBackgroundShadow(QPainter& painter, const BackgroundShadowStyle& style, BackgroundImageCache* cache,
                           const QRegion& covered) {
    const QRectF shape = toQRect(style.shape);
    if (shape.isEmpty()) {
        return;
    }
    painter.save();
    if (!covered.isEmpty()) {
        const QRect everything = painter.window().united(shape.adjusted(-2000, -2000, 2000, 2000).toAlignedRect());
        painter.setClipRegion(QRegion(everything).subtracted(covered), Qt::IntersectClip);
    }
    if (style.shadowAlpha > 0.001) {
        // A shadow's blur reads as a Gaussian whose spread is half the blur distance.
        const double sigma = std::max(style.blurRadius / 2, 0.0);
        const int margin = static_cast<int>(std::ceil(3 * sigma)) + 2;
        const double radius = std::clamp(style.shapeCornerRadius, 0.0, std::min(shape.width(), shape.height()) / 2);
        const std::string key = maskKey(shape.size(), radius, sigma);
        std::optional<QImage> mask = cache != nullptr ? cache->find(BackgroundCacheKind::shadow, key) : std::nullopt;
        if (!mask) {
            mask = shadowMask(shape.size(), radius, sigma, margin);
            if (cache != nullptr) {
                cache->store(BackgroundCacheKind::shadow, key, *mask);
            }
        }
        // Placed on whole pixels so the mask is blended, not resampled; half a pixel of a blurred
        // shadow's position does not show.
        const QPoint origin =
            (shape.topLeft() + QPointF(style.offset.x, style.offset.y)).toPoint() - QPoint(margin, margin);
        painter.setOpacity(std::clamp(style.shadowAlpha, 0.0, 1.0));
        painter.drawImage(origin, *mask);
        painter.setOpacity(1);
    }
    if (style.fill.alpha > 0.001) {
        painter.setRenderHint(QPainter::Antialiasing);
        painter.fillPath(roundedRectPath(shape, style.shapeCornerRadius), toQColor(style.fill));
    }
    painter.restore();
}

} // namespace brisklet
