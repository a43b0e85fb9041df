#include "Platform/Linux/QtRender/AnnotationPaintStyle.h"

#include "ZelvorApp/Editor/AnnotationColors.h"

#include <QImage>

#include <algorithm>
#include <cmath>

namespace brisklet::AnnotationPaintStyle {

QColor toQColor(const StoredColor& color) {
    const StoredColor c = AnnotationColors::safeRGBAComponents(color);
    return QColor::fromRgbF(static_cast<float>(c.red), static_cast<float>(c.green), static_cast<float>(c.blue),
                            static_cast<float>(c.alpha));
}

QPointF toQPoint(Point p) {
    return {p.x, p.y};
}

QPainterPath polygonPath(std::span<const Point> points) {
    QPainterPath path;
    if (points.empty()) {
        return path;
    }
    path.moveTo(toQPoint(points[0]));
    for (std::size_t i = 1; i < points.size(); ++i) {
        path.lineTo(toQPoint(points[i]));
    }
    path.closeSubpath();
    return path;
}

QPen roundPen(const QColor& color, double width) {
    QPen pen(color, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    return pen;
}

std::array<Pass, 3> enhancedPasses(const StoredColor& color) {
    return {{
        {toQColor(AnnotationColors::haloColor(color)), AnnotationColors::haloExtraWidth},
        {toQColor(AnnotationColors::depthColor(color)), AnnotationColors::depthExtraWidth},
        {toQColor(AnnotationColors::lightenedColor(color)), 0},
    }};
}

std::vector<Pass> passes(const StoredColor& color, bool enhanced) {
    if (!enhanced) {
        return {{toQColor(color), 0}};
    }
    const auto all = enhancedPasses(color);
    return {all.begin(), all.end()};
}

void strokeInPasses(QPainter& painter, const QPainterPath& path, const StoredColor& color, double width, bool enhanced,
                    Qt::PenJoinStyle join) {
    painter.save();
    painter.setBrush(Qt::NoBrush);
    for (const Pass& pass : passes(color, enhanced)) {
        QPen pen = roundPen(pass.color, width + pass.extraWidth);
        pen.setJoinStyle(join);
        painter.setPen(pen);
        painter.drawPath(path);
    }
    painter.restore();
}

namespace {

/// Two passes of a 3 × 3 box blur over a premultiplied image: close to a Gaussian of 1.6 pixels.
void boxBlur(QImage& image) {
    const int w = image.width();
    const int h = image.height();
    std::vector<int> line(static_cast<std::size_t>(std::max(w, h)) * 4);
    for (int pass = 0; pass < 2; ++pass) {
        for (int y = 0; y < h; ++y) {
            uchar* row = image.scanLine(y);
            for (int x = 0; x < w; ++x) {
                for (int c = 0; c < 4; ++c) {
                    const int l = row[std::max(0, x - 1) * 4 + c];
                    const int m = row[x * 4 + c];
                    const int r = row[std::min(w - 1, x + 1) * 4 + c];
                    line[static_cast<std::size_t>(x) * 4 + c] = (l + m + r) / 3;
                }
            }
            for (int i = 0; i < w * 4; ++i) {
                row[i] = static_cast<uchar>(line[static_cast<std::size_t>(i)]);
            }
        }
        for (int x = 0; x < w; ++x) {
            for (int y = 0; y < h; ++y) {
                for (int c = 0; c < 4; ++c) {
                    const int u = image.constScanLine(std::max(0, y - 1))[x * 4 + c];
                    const int m = image.constScanLine(y)[x * 4 + c];
                    const int d = image.constScanLine(std::min(h - 1, y + 1))[x * 4 + c];
                    line[static_cast<std::size_t>(y) * 4 + c] = (u + m + d) / 3;
                }
            }
            for (int y = 0; y < h; ++y) {
                for (int c = 0; c < 4; ++c) {
                    image.scanLine(y)[x * 4 + c] = static_cast<uchar>(line[static_cast<std::size_t>(y) * 4 + c]);
                }
            }
        }
    }
}

} // namespace

void drawSoftShadow(QPainter& painter, const QPainterPath& path, const QColor& color) {
    constexpr int margin = 4;
    const QRectF bounds = path.boundingRect();
    if (bounds.isEmpty() || bounds.width() > 8192 || bounds.height() > 8192) {
        return;
    }
    const QRect area = bounds.toAlignedRect().adjusted(-margin, -margin, margin, margin);
    QImage shadow(area.size(), QImage::Format_RGBA8888_Premultiplied);
    shadow.fill(Qt::transparent);
    {
        QPainter p(&shadow);
        p.setRenderHint(QPainter::Antialiasing);
        p.translate(-area.topLeft());
        p.fillPath(path, color);
    }
    boxBlur(shadow);
    painter.drawImage(QPointF(area.left(), area.top() + 1), shadow);
}

} // namespace brisklet::AnnotationPaintStyle
