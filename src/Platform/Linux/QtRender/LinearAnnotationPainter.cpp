#include "Platform/Linux/QtRender/LinearAnnotationPainter.h"

#include "Platform/Linux/QtRender/AnnotationPaintStyle.h"
#include "ZelvorApp/Editor/ArrowGeometry.h"

namespace brisklet {

namespace S = AnnotationPaintStyle;

namespace {

/// The edge drawn around an enhanced arrow's polygon so every pass wraps the head too.
constexpr double enhancedEdgeWidth = 1.6;

/// One pass over the arrow's own outline. The halo and depth passes widen the shaft and the
/// polygon's edge rather than drawing a larger arrow: a larger arrow has a longer head, whose
/// ghost would stick out behind the real one.
void paintArrowPass(QPainter& painter, const ArrowGeometry& g, ArrowStyle style, const QColor& color, double extraWidth,
                    bool edge) {
    if (style == ArrowStyle::geometric) {
        painter.setPen(S::roundPen(color, g.shaftLineWidth + extraWidth));
        painter.setBrush(Qt::NoBrush);
        painter.drawLine(S::toQPoint(g.shaftStart), S::toQPoint(g.shaftEnd));
    }
    // The brush arrow keeps its taper in every pass: its shaft is part of the outline.
    painter.setPen(edge ? S::roundPen(color, enhancedEdgeWidth + extraWidth) : QPen(Qt::NoPen));
    painter.setBrush(color);
    painter.drawPath(S::polygonPath(g.outlinePoints));
}

} // namespace

void paintLineAnnotation(QPainter& painter, const LineAnnotation& line, bool enhanced) {
    QPainterPath path(S::toQPoint(line.start));
    path.lineTo(S::toQPoint(line.end));
    S::strokeInPasses(painter, path, line.color, line.lineWidth, enhanced);
}

void paintArrowAnnotation(QPainter& painter, const ArrowAnnotation& arrow, bool enhanced) {
    const ArrowGeometry geometry = arrowGeometry(arrow.start, arrow.end, arrow.style, arrow.lineWidth);
    painter.save();
    for (const S::Pass& pass : S::passes(arrow.color, enhanced)) {
        paintArrowPass(painter, geometry, arrow.style, pass.color, pass.extraWidth, enhanced);
    }
    painter.restore();
}

} // namespace brisklet
