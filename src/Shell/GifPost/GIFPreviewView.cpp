#include "Shell/GifPost/GIFPreviewView.h"

#include <QPainter>
#include <QPainterPath>

namespace brisklet {

namespace {

constexpr double inset = 14;
constexpr double radius = 10;

} // namespace

GIFPreviewView::GIFPreviewView(const ShellAppearance& appearance, QWidget* parent)
    : QWidget(parent), appearance_(appearance) {
    setObjectName(QStringLiteral("gifPreview"));
    setFocusPolicy(Qt::NoFocus);
    setMinimumSize(320, 180);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void GIFPreviewView::setImage(QImage image) {
    image_ = std::move(image);
    update();
}

QRectF GIFPreviewView::imageRect() const {
    if (image_.isNull())
        return {};
    const QRectF room = QRectF(rect()).adjusted(inset, inset, -inset, -inset);
    QSizeF size = QSizeF(image_.size()) / image_.devicePixelRatio();
    // Never enlarged: a small recording is shown at its own size, sharp.
    if (size.width() > room.width() || size.height() > room.height())
        size = size.scaled(room.size(), Qt::KeepAspectRatio);
    return QRectF(room.center() - QPointF(size.width() / 2, size.height() / 2), size);
}

void GIFPreviewView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    QPainterPath stage;
    stage.addRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);
    painter.fillPath(stage, appearance_.dark ? QColor(0x1b, 0x1d, 0x21) : QColor(0xe9, 0xeb, 0xef));
    painter.setPen(QPen(appearance_.border, 1));
    painter.drawPath(stage);
    if (!image_.isNull())
        painter.drawImage(imageRect(), image_);
}

} // namespace brisklet
