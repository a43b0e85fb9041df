#include "Platform/Linux/QtRender/BackgroundSourcePainter.h"

#include "Platform/Linux/QtRender/BackgroundImageCache.h"
#include "Platform/Linux/QtRender/BackgroundImageEffects.h"
#include "Platform/Linux/QtRender/BackgroundShadowPainter.h"
#include "ZelvorApp/Background/BackgroundPreset.h"
#include "ZelvorApp/Background/BackgroundRenderPlan.h"

#include <QLinearGradient>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace brisklet {

namespace {

QColor toQColor(const StoredColor& c) {
    const auto unit = [](double v) { return static_cast<float>(std::clamp(v, 0.0, 1.0)); };
    return QColor::fromRgbF(unit(c.red), unit(c.green), unit(c.blue), unit(c.alpha));
}

void fillDiagonal(QPainter& painter, QSizeF canvas, const StoredColor& start, const StoredColor& end) {
    QLinearGradient gradient(QPointF(0, 0), QPointF(canvas.width(), canvas.height()));
    gradient.setColorAt(0, toQColor(start));
    gradient.setColorAt(1, toQColor(end));
    painter.fillRect(QRectF(QPointF(0, 0), canvas), gradient);
}

void fillWindowColor(QPainter& painter, QSizeF canvas) {
    painter.fillRect(QRectF(QPointF(0, 0), canvas), toQColor(BackgroundRenderPlan::windowBackgroundColor()));
}

QRectF toQRect(const Rect& r) {
    return {r.minX(), r.minY(), r.width(), r.height()};
}

std::string layerKey(const std::string& version, const BackgroundImageAdjustment& a, QSize canvas) {
    char buffer[160];
    std::snprintf(buffer, sizeof buffer, "|layer|%.4f|%.4f|%.4f|%.3f|%.3f|%dx%d", a.brightness, a.blurRadius, a.scale,
                  a.offsetX, a.offsetY, canvas.width(), canvas.height());
    return version + buffer;
}

std::string adjustmentKey(const std::string& version, QSizeF drawnSize, const BackgroundImageAdjustment& a) {
    char buffer[96];
    std::snprintf(buffer, sizeof buffer, "|%.4f|%.4f|%.0fx%.0f", a.brightness, a.blurRadius, drawnSize.width(),
                  drawnSize.height());
    return version + buffer;
}

} // namespace

BackgroundSourcePainter::BackgroundSourcePainter(BackgroundImageCache& cache, DesktopPictureLookup desktopPicture)
    : cache_(cache), desktopPicture_(std::move(desktopPicture)) {}

void BackgroundSourcePainter::paint(QPainter& painter, const BackgroundComposition& composition, QSizeF canvas) const {
    painter.save();
    painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
    const auto& source = composition.source.value;
    if (const auto* preset = std::get_if<BackgroundSource::Preset>(&source)) {
        paintPreset(painter, preset->id, canvas);
    } else if (const auto* solid = std::get_if<BackgroundSource::SolidColor>(&source)) {
        const auto colors = BackgroundRenderPlan::solidColorGradient(solid->color);
        fillDiagonal(painter, canvas, colors.start, colors.end);
    } else if (usesPicture(composition)) {
        const QSize size(static_cast<int>(std::ceil(canvas.width())), static_cast<int>(std::ceil(canvas.height())));
        if (const auto layer = pictureLayer(composition, size)) {
            painter.drawImage(QPointF(0, 0), *layer);
        } else {
            fillWindowColor(painter, canvas);
        }
    }
    painter.restore();
}

void BackgroundSourcePainter::paintWindowColor(QPainter& painter, QSizeF canvas) {
    fillWindowColor(painter, canvas);
}

bool BackgroundSourcePainter::usesPicture(const BackgroundComposition& composition) {
    const auto& source = composition.source.value;
    return std::holds_alternative<BackgroundSource::CustomImage>(source) ||
           std::holds_alternative<BackgroundSource::DesktopWallpaper>(source);
}

std::optional<QImage> BackgroundSourcePainter::pictureLayer(const BackgroundComposition& composition,
                                                            QSize canvas) const {
    std::optional<std::filesystem::path> file;
    if (const auto* custom = std::get_if<BackgroundSource::CustomImage>(&composition.source.value)) {
        file = std::filesystem::path(custom->path);
    } else if (std::holds_alternative<BackgroundSource::DesktopWallpaper>(composition.source.value) &&
               desktopPicture_) {
        file = desktopPicture_();
    }
    const auto version = file ? BackgroundImageCache::versionKey(*file) : std::nullopt;
    const auto picture = version ? cache_.picture(*file) : std::nullopt;
    if (!picture || canvas.isEmpty()) {
        return std::nullopt;
    }
    // The whole layer is kept: while the user moves the screenshot or changes its padding the
    // picture behind it stays the same, and redrawing it is then a copy.
    const std::string key = layerKey(*version, composition.imageAdjustment, canvas);
    if (auto cached = cache_.find(BackgroundCacheKind::layer, key)) {
        return cached;
    }
    QImage layer = drawPictureLayer(*version, *picture, composition.imageAdjustment, canvas);
    cache_.store(BackgroundCacheKind::layer, key, layer);
    return layer;
}

void BackgroundSourcePainter::paintPreset(QPainter& painter, const std::string& id, QSizeF canvas) const {
    const auto preset = BackgroundPreset::presetFor(id);
    if (!preset) {
        fillWindowColor(painter, canvas);
        return;
    }
    if (const auto* gradient = std::get_if<BackgroundPreset::Gradient>(&preset->style)) {
        fillDiagonal(painter, canvas, gradient->start, gradient->end);
    } else {
        painter.fillRect(QRectF(QPointF(0, 0), canvas),
                         toQColor(std::get<BackgroundPreset::Solid>(preset->style).color));
    }
}

QImage BackgroundSourcePainter::drawPictureLayer(const std::string& version, const QImage& picture,
                                                 const BackgroundImageAdjustment& adjustment, QSize canvas) const {
    QImage layer(canvas, QImage::Format_RGBA8888_Premultiplied);
    layer.fill(Qt::transparent);
    QPainter painter(&layer);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
    const Size pictureSize{static_cast<double>(picture.width()), static_cast<double>(picture.height())};
    const Size canvasSize{static_cast<double>(canvas.width()), static_cast<double>(canvas.height())};
    const auto contained = BackgroundRenderPlan::containedPicture(pictureSize, canvasSize, adjustment);
    const BackgroundImageAdjustment& fillAdjustment = contained ? contained->backdropAdjustment : adjustment;

    const QRectF fillRect = toQRect(BackgroundRenderPlan::aspectFillRect(pictureSize, canvasSize, fillAdjustment));
    const QImage adjusted = adjustedPicture(version, picture, fillRect.size(), fillAdjustment);
    const QRect whole(fillRect.topLeft().toPoint(), fillRect.size().toSize());
    if (!whole.isEmpty() && adjusted.width() <= whole.width() && adjusted.height() <= whole.height()) {
        // A blurred (hence reduced) picture is enlarged straight into the layer, and only where
        // the canvas is; half a pixel of position does not show at these sizes.
        drawEnlargedInto(layer, adjusted, whole);
    } else if (!whole.isEmpty()) {
        // A sharp picture is reduced with area averaging, which keeps fine detail from shimmering.
        const QRect target = whole.intersected(layer.rect());
        const QImage scaled = adjusted.scaled(whole.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        painter.drawImage(target.topLeft(), scaled, target.translated(-whole.topLeft()));
    }
    if (contained) {
        // The wide picture whole, as a card on its own blurred backdrop.
        paintBackgroundShadow(painter, contained->shadow, &cache_,
                              coveredByRoundedRect(toQRect(contained->pictureRect), contained->cornerRadius));
        const QRectF card = toQRect(contained->pictureRect);
        QBrush texture(picture);
        texture.setTransform(QTransform::fromScale(card.width() / picture.width(), card.height() / picture.height()) *
                             QTransform::fromTranslate(card.x(), card.y()));
        painter.setPen(Qt::NoPen);
        painter.setBrush(texture);
        painter.drawPath(roundedRectPath(card, contained->cornerRadius));
    }
    return layer;
}

QImage BackgroundSourcePainter::adjustedPicture(const std::string& version, const QImage& picture, QSizeF drawnSize,
                                                const BackgroundImageAdjustment& adjustment) const {
    const std::string key = adjustmentKey(version, drawnSize, adjustment);
    if (auto cached = cache_.find(BackgroundCacheKind::adjustedPicture, key)) {
        return *cached;
    }
    QImage adjusted = adjustedBackgroundPicture(picture, drawnSize, adjustment);
    cache_.store(BackgroundCacheKind::adjustedPicture, key, adjusted);
    return adjusted;
}

} // namespace brisklet
