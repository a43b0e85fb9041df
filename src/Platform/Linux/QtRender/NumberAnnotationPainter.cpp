#include "Platform/Linux/QtRender/NumberAnnotationPainter.h"

#include "Platform/Linux/QtRender/AnnotationFont.h"
#include "Platform/Linux/QtRender/AnnotationPaintStyle.h"
#include "ZelvorApp/Editor/AnnotationColors.h"

#include <QFontMetricsF>

#include <algorithm>

namespace brisklet {

namespace S = AnnotationPaintStyle;

void paintNumberAnnotation(QPainter& painter, const NumberAnnotation& number, const AnnotationFont& fonts,
                           bool enhanced) {
    const double r = number.diameter / 2;
    QPainterPath disc;
    disc.addEllipse(S::toQPoint(number.center), r, r);
    if (enhanced) {
        S::drawSoftShadow(painter, disc, S::toQColor(AnnotationColors::haloColor(number.color)));
        painter.fillPath(disc, S::toQColor(AnnotationColors::lightenedColor(number.color)));
    } else {
        painter.fillPath(disc, S::toQColor(number.color));
    }

    const AnnotationFont::Scaled font = fonts.number(std::max(number.diameter * 14 / 28, 8.0));
    const QFontMetricsF metrics(font.font);
    const QString label = QString::number(number.value);
    // Digits sit on the baseline and reach cap height, so centring the cap height centres them.
    const double width = metrics.horizontalAdvance(label) * font.scale;
    const double capHeight = metrics.capHeight() * font.scale;
    painter.save();
    painter.translate(number.center.x - width / 2, number.center.y + capHeight / 2);
    painter.scale(font.scale, font.scale);
    painter.setFont(font.font);
    painter.setPen(Qt::white);
    painter.drawText(QPointF(0, 0), label);
    painter.restore();
}

} // namespace brisklet
