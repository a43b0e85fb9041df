#include "Platform/Linux/QtRender/DeviceFramePainter.h"

#include "Platform/Linux/QtRender/DeviceFrameParts.h"
#include "ZelvorApp/Background/BackgroundRenderPlan.h"

#include <algorithm>

namespace brisklet {

namespace deviceframe {

QPainterPath rounded(const QRectF& rect, double radius) {
    QPainterPath path;
    const double r = std::clamp(radius, 0.0, std::min(rect.width(), rect.height()) / 2);
    if (r <= 0.01) {
        path.addRect(rect);
    } else {
        path.addRoundedRect(rect, r, r);
    }
    return path;
}

QPainterPath roundedTopBottom(const QRectF& rect, double topRadius, double bottomRadius) {
    const double limit = std::min(rect.width() / 2, rect.height() / 2);
    const double t = std::clamp(topRadius, 0.0, limit);
    const double b = std::clamp(bottomRadius, 0.0, limit);
    QPainterPath path;
    path.moveTo(rect.left() + t, rect.top());
    path.lineTo(rect.right() - t, rect.top());
    path.arcTo(QRectF(rect.right() - 2 * t, rect.top(), 2 * t, 2 * t), 90, -90);
    path.lineTo(rect.right(), rect.bottom() - b);
    path.arcTo(QRectF(rect.right() - 2 * b, rect.bottom() - 2 * b, 2 * b, 2 * b), 0, -90);
    path.lineTo(rect.left() + b, rect.bottom());
    path.arcTo(QRectF(rect.left(), rect.bottom() - 2 * b, 2 * b, 2 * b), 270, -90);
    path.lineTo(rect.left(), rect.top() + t);
    path.arcTo(QRectF(rect.left(), rect.top(), 2 * t, 2 * t), 180, -90);
    path.closeSubpath();
    return path;
}

QColor rgba(int r, int g, int b, double alpha) {
    QColor color(r, g, b);
    color.setAlphaF(static_cast<float>(alpha));
    return color;
}

void hairline(QPainter& painter, const QPainterPath& path, const QColor& color, double width) {
    painter.save();
    painter.setClipPath(path, Qt::IntersectClip);
    QPen pen(color, 2 * width);
    pen.setJoinStyle(Qt::RoundJoin);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(path);
    painter.restore();
}

} // namespace deviceframe

void paintDeviceFrame(QPainter& painter, BackgroundFrameStyle style, const BackgroundLayout& layout,
                      double cornerRadius) {
    if (style == BackgroundFrameStyle::none) {
        return;
    }
    const Rect& f = layout.frameRect;
    const Rect& s = layout.contentRect;
    deviceframe::Geometry g;
    g.frame = QRectF(f.minX(), f.minY(), f.width(), f.height());
    g.screen = QRectF(s.minX(), s.minY(), s.width(), s.height());
    g.insets = BackgroundLayout::frameInsets(style, s.size);
    g.screenCornerRadius = std::max(cornerRadius, 0.0);
    g.bodyCornerRadius = BackgroundRenderPlan::frameShapeCornerRadius(style, cornerRadius, f.width());

    painter.save();
    painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
    switch (style) {
    case BackgroundFrameStyle::none:
        break;
    case BackgroundFrameStyle::browserLight:
    case BackgroundFrameStyle::browserDark:
        deviceframe::paintBrowser(painter, g, style == BackgroundFrameStyle::browserDark);
        break;
    case BackgroundFrameStyle::iphoneLight:
    case BackgroundFrameStyle::iphoneDark:
        deviceframe::paintPhone(painter, g, style == BackgroundFrameStyle::iphoneDark);
        break;
    case BackgroundFrameStyle::macbookLight:
    case BackgroundFrameStyle::macbookDark:
        deviceframe::paintLaptop(painter, g, style == BackgroundFrameStyle::macbookDark);
        break;
    }
    painter.restore();
}

} // namespace brisklet
