#include "Shell/Editor/EditorBackgroundPreview.h"

#include "Platform/Linux/QtRender/BackgroundQtRenderer.h"
#include "ZelvorApp/Background/BackgroundRenderPlan.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace brisklet {

namespace {

QRectF toQt(const Rect& rect) {
    return QRectF(rect.minX(), rect.minY(), rect.width(), rect.height());
}

/// Keeps `rect` inside `bounds` along one axis, centred when it is the larger.
double keptInside(double start, double length, double boundsStart, double boundsLength) {
    if (length >= boundsLength) {
        return boundsStart + (boundsLength - length) / 2;
    }
    return std::clamp(start, boundsStart, boundsStart + boundsLength - length);
}

void paintCheckerboard(QPainter& painter, const QRectF& area) {
    constexpr int cell = 8;
    QPixmap tile(cell * 2, cell * 2);
    tile.fill(QColor(0xf2, 0xf2, 0xf2));
    QPainter tiles(&tile);
    tiles.fillRect(0, 0, cell, cell, QColor(0xd6, 0xd6, 0xd6));
    tiles.fillRect(cell, cell, cell, cell, QColor(0xd6, 0xd6, 0xd6));
    tiles.end();
    painter.fillRect(area, QBrush(tile));
}

} // namespace

EditorBackgroundPreview::Placement EditorBackgroundPreview::place(const BackgroundLayout& layout,
                                                                  const QRectF& selection, double imageScale,
                                                                  const QRectF& bounds, double margin) {
    const QRectF room = bounds.adjusted(margin, margin, -margin, -margin);
    const double canvasWidth = std::max(layout.canvasSize.width, 1.0);
    const double canvasHeight = std::max(layout.canvasSize.height, 1.0);
    double scale = imageScale > 0 ? imageScale : 1;
    if (room.width() > 0 && room.height() > 0) {
        scale = std::min({scale, room.width() / canvasWidth, room.height() / canvasHeight});
    }
    const QSizeF size(canvasWidth * scale, canvasHeight * scale);
    // The screenshot stays where it was taken as far as the canvas allows: the canvas is centred
    // on it, then pushed back onto the screen.
    const QPointF centre = selection.center();
    const double x = keptInside(centre.x() - size.width() / 2, size.width(), room.left(), room.width());
    const double y = keptInside(centre.y() - size.height() / 2, size.height(), room.top(), room.height());
    // Whole view pixels, so the screenshot is not resampled at scale 1.
    const QRectF canvas(std::round(x), std::round(y), size.width(), size.height());
    const QRectF content = toQt(layout.contentRect);
    return {canvas,
            QRectF(canvas.left() + content.left() * scale, canvas.top() + content.top() * scale,
                   content.width() * scale, content.height() * scale),
            scale};
}

void EditorBackgroundPreview::update(const QImage& content, const BackgroundComposition& composition,
                                     BackgroundCaptureContext context, const Placement& placement,
                                     qreal devicePixelRatio) {
    if (!picture_.isNull() && composition_ == composition && placement_ == placement &&
        contentKey_ == content.cacheKey() && ratio_ == devicePixelRatio) {
        return;
    }
    composition_ = composition;
    placement_ = placement;
    contentKey_ = content.cacheKey();
    ratio_ = devicePixelRatio;
    const QSize pixels(std::max(1, static_cast<int>(std::ceil(placement.canvas.width() * devicePixelRatio))),
                       std::max(1, static_cast<int>(std::ceil(placement.canvas.height() * devicePixelRatio))));
    picture_ = QImage(pixels, QImage::Format_ARGB32_Premultiplied);
    picture_.fill(Qt::transparent);
    {
        QPainter painter(&picture_);
        // Drawn straight at the view's resolution: the export's drawing, scaled, with no
        // full-size canvas in between.
        painter.scale(placement.scale * devicePixelRatio, placement.scale * devicePixelRatio);
        const Size contentSize{static_cast<double>(content.width()), static_cast<double>(content.height())};
        renderer_.paint(painter, content, composition, BackgroundLayout::make(contentSize, composition), context);
    }
    picture_.setDevicePixelRatio(devicePixelRatio);
    const double radius = BackgroundRenderPlan::effectiveCornerRadius(&composition, context) * placement.scale;
    const double r = std::min(radius, std::min(placement.content.width(), placement.content.height()) / 2);
    contentShape_ = QPainterPath();
    contentShape_.addRoundedRect(placement.content, r, r);
}

void EditorBackgroundPreview::clear() {
    picture_ = QImage();
    contentShape_ = QPainterPath();
    composition_.reset();
}

void EditorBackgroundPreview::paint(QPainter& painter) const {
    if (picture_.isNull()) {
        return;
    }
    if (composition_ && std::holds_alternative<BackgroundSource::Transparent>(composition_->source.value)) {
        paintCheckerboard(painter, placement_.canvas);
    }
    painter.drawImage(placement_.canvas.topLeft(), picture_);
}

} // namespace brisklet
