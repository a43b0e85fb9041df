#include "Platform/Linux/QtRender/GIFQtAnnotationFrameRenderer.h"

#include "Platform/Linux/Qt/QtImageConversion.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace brisklet {

namespace {

struct Scale {
    double x = 1;
    double y = 1;
    double length() const { return std::min(x, y); }
    QPointF point(Point p) const { return {p.x * x, p.y * y}; }
    QRectF rect(const Rect& r) const { return {r.minX() * x, r.minY() * y, r.width() * x, r.height() * y}; }
};

QColor qColor(const GIFPrototypeColor& c, double alphaFactor = 1.0) {
    return QColor::fromRgbF(static_cast<float>(c.red), static_cast<float>(c.green), static_cast<float>(c.blue),
                            static_cast<float>(std::clamp(c.alpha * alphaFactor, 0.0, 1.0)));
}

QPen roundPen(const QColor& color, double width) {
    QPen pen(color, width);
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    return pen;
}

void drawArrow(QPainter& p, const GIFPrototypeArrowAnnotation& a, const Scale& s) {
    const QPointF start = s.point(a.start), tip = s.point(a.end);
    const double dx = tip.x() - start.x(), dy = tip.y() - start.y();
    const double length = std::hypot(dx, dy);
    if (length <= 0)
        return;
    const double head = s.length() * std::max(4 * a.lineWidth, 12.0);
    const double ux = dx / length, uy = dy / length;
    const double shaft = std::max(length - 0.72 * head, 0.0);
    p.setPen(roundPen(qColor(a.color), a.lineWidth * s.length()));
    p.drawLine(start, QPointF(start.x() + ux * shaft, start.y() + uy * shaft));
    const double back = std::atan2(-uy, -ux);
    const double spread = std::numbers::pi / 7;
    QPolygonF triangle;
    triangle << tip << QPointF(tip.x() + head * std::cos(back + spread), tip.y() + head * std::sin(back + spread))
             << QPointF(tip.x() + head * std::cos(back - spread), tip.y() + head * std::sin(back - spread));
    p.setPen(Qt::NoPen);
    p.setBrush(qColor(a.color));
    p.drawPolygon(triangle);
}

void drawShape(QPainter& p, const Rect& rect, const GIFPrototypeColor& color, double lineWidth, bool filled,
               bool ellipse, const Scale& s) {
    if (filled) {
        p.setPen(Qt::NoPen);
        p.setBrush(qColor(color));
    } else {
        p.setPen(roundPen(qColor(color), lineWidth * s.length()));
        p.setBrush(Qt::NoBrush);
    }
    ellipse ? p.drawEllipse(s.rect(rect)) : p.drawRect(s.rect(rect));
}

void drawStroke(QPainter& p, const GIFPrototypeStrokeAnnotation& a, const Scale& s) {
    if (a.points.size() < 2)
        return;
    QPainterPath path(s.point(a.points.front()));
    for (std::size_t i = 1; i < a.points.size(); ++i)
        path.lineTo(s.point(a.points[i]));
    p.setPen(roundPen(qColor(a.color, a.isHighlighter ? 0.45 : 1.0), a.lineWidth * s.length()));
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
}

void drawNumber(QPainter& p, const GIFPrototypeNumberAnnotation& a, const Scale& s) {
    const double d = a.diameter * s.length();
    const QPointF c = s.point(a.center);
    const QRectF circle(c.x() - d / 2, c.y() - d / 2, d, d);
    p.setPen(Qt::NoPen);
    p.setBrush(qColor(a.color));
    p.drawEllipse(circle);
    QFont font(QStringLiteral("Helvetica Neue"));
    font.setBold(true);
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(0.52 * d))));
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(circle, Qt::AlignCenter, QString::number(a.value));
}

void drawText(QPainter& p, const GIFPrototypeTextAnnotation& a, const Scale& s) {
    QFont font;
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(a.fontSize * s.length()))));
    p.setFont(font);
    p.setPen(qColor(a.color));
    const QPointF origin = s.point(a.origin);
    p.drawText(QRectF(origin, QSizeF(1e6, 1e6)), Qt::AlignLeft | Qt::AlignTop, QString::fromStdString(a.text));
}

/// The region under a redaction, replaced by a coarse copy of itself.
void drawRedaction(QPainter& p, const QImage& source, const GIFPrototypeRedactionAnnotation& a, const Scale& s) {
    const QRect area = s.rect(a.rect).toAlignedRect().intersected(source.rect());
    if (area.width() < 1 || area.height() < 1)
        return;
    const QImage crop = source.copy(area);
    int block = GIFQtAnnotationFrameRenderer::kMosaicBlock;
    if (a.mode == GIFRedactionMode::blur) {
        // Shrinking hard and scaling back smoothly reads as a strong blur of the same radius.
        block = static_cast<int>(std::max(0.12 * std::min(area.width(), area.height()), 8.0));
    }
    const QImage small = crop.scaled(std::max(1, area.width() / block), std::max(1, area.height() / block),
                                     Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    const auto mode = a.mode == GIFRedactionMode::blur ? Qt::SmoothTransformation : Qt::FastTransformation;
    p.drawImage(area.topLeft(), small.scaled(area.size(), Qt::IgnoreAspectRatio, mode));
}

} // namespace

Image GIFQtAnnotationFrameRenderer::render(const Image& frame, const std::vector<GIFPrototypeAnnotation>& annotations,
                                           Size canvasSize) const {
    if (frame.isEmpty() || canvasSize.width <= 0 || canvasSize.height <= 0)
        return frame;
    QImage image = toQImage(frame);
    const QImage source = image.copy();
    const Scale s{frame.width() / canvasSize.width, frame.height() / canvasSize.height};
    {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        p.setRenderHint(QPainter::TextAntialiasing);
        for (const auto& annotation : annotations) {
            p.save();
            std::visit(
                [&](const auto& a) {
                    using T = std::decay_t<decltype(a)>;
                    if constexpr (std::is_same_v<T, GIFPrototypeArrowAnnotation>) {
                        drawArrow(p, a, s);
                    } else if constexpr (std::is_same_v<T, GIFPrototypeRectangleAnnotation>) {
                        drawShape(p, a.rect, a.color, a.lineWidth, a.filled, false, s);
                    } else if constexpr (std::is_same_v<T, GIFPrototypeEllipseAnnotation>) {
                        drawShape(p, a.rect, a.color, a.lineWidth, a.filled, true, s);
                    } else if constexpr (std::is_same_v<T, GIFPrototypeLineAnnotation>) {
                        p.setPen(roundPen(qColor(a.color), a.lineWidth * s.length()));
                        p.drawLine(s.point(a.start), s.point(a.end));
                    } else if constexpr (std::is_same_v<T, GIFPrototypeStrokeAnnotation>) {
                        drawStroke(p, a, s);
                    } else if constexpr (std::is_same_v<T, GIFPrototypeRedactionAnnotation>) {
                        drawRedaction(p, source, a, s);
                    } else if constexpr (std::is_same_v<T, GIFPrototypeTextAnnotation>) {
                        drawText(p, a, s);
                    } else {
                        drawNumber(p, a, s);
                    }
                },
                annotation.payload);
            p.restore();
        }
    }
    return fromQImage(image);
}

} // namespace brisklet
