#include "Platform/Linux/QtRender/StrokeAnnotationPainter.h"

#include "Platform/Linux/QtRender/AnnotationPaintStyle.h"
#include "ZelvorApp/Editor/AnnotationColors.h"

namespace brisklet {

namespace S = AnnotationPaintStyle;

namespace {

/// Pointer samples joined by quadratic curves through their midpoints: the curve stays within
/// the polyline's corners, so hit testing on the straight segments still matches.
QPainterPath smoothedPath(const std::vector<Point>& points) {
    QPainterPath path(S::toQPoint(points.front()));
    if (points.size() < 3) {
        for (std::size_t i = 1; i < points.size(); ++i) {
            path.lineTo(S::toQPoint(points[i]));
        }
        return path;
    }
    for (std::size_t i = 1; i + 1 < points.size(); ++i) {
        const QPointF control = S::toQPoint(points[i]);
        const QPointF mid = (control + S::toQPoint(points[i + 1])) / 2;
        path.quadTo(control, mid);
    }
    path.lineTo(S::toQPoint(points.back()));
    return path;
}

} // namespace

void paintStrokeAnnotation(QPainter& painter, const StrokeAnnotation& stroke, bool enhanced) {
    if (stroke.points.empty()) {
        return;
    }
    const QPainterPath path = smoothedPath(stroke.points);
    if (stroke.mode == StrokeMode::highlighter) {
        painter.save();
        painter.setBrush(Qt::NoBrush);
        painter.setPen(S::roundPen(S::toQColor(AnnotationColors::highlighterColor(stroke.color)), stroke.lineWidth));
        painter.drawPath(path);
        painter.restore();
        return;
    }
    S::strokeInPasses(painter, path, stroke.color, stroke.lineWidth, enhanced);
}

} // namespace brisklet
