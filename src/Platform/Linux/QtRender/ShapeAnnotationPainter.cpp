#include "Platform/Linux/QtRender/ShapeAnnotationPainter.h"

#include "Platform/Linux/QtRender/AnnotationPaintStyle.h"
#include "ZelvorApp/Editor/AnnotationColors.h"

namespace brisklet {

namespace S = AnnotationPaintStyle;

void paintShapeAnnotation(QPainter& painter, const RectangleAnnotation& shape, bool enhanced) {
    const QRectF rect(shape.rect.minX(), shape.rect.minY(), shape.rect.width(), shape.rect.height());
    QPainterPath path;
    if (shape.kind == ShapeKind::ellipse) {
        path.addEllipse(rect);
    } else {
        path.addRect(rect);
    }
    if (shape.fillMode == ShapeFillMode::fill) {
        if (enhanced) {
            S::drawSoftShadow(painter, path, S::toQColor(AnnotationColors::haloColor(shape.color)));
            painter.fillPath(path, S::toQColor(AnnotationColors::lightenedColor(shape.color)));
        } else {
            painter.fillPath(path, S::toQColor(shape.color));
        }
    }
    S::strokeInPasses(painter, path, shape.color, shape.lineWidth, enhanced,
                      shape.kind == ShapeKind::rectangle ? Qt::MiterJoin : Qt::RoundJoin);
}

} // namespace brisklet
