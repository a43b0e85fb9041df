#include "Platform/Linux/QtRender/TextAnnotationPainter.h"

#include "Platform/Linux/QtRender/AnnotationFont.h"
#include "Platform/Linux/QtRender/AnnotationPaintStyle.h"
#include "ZelvorApp/Editor/ScreenshotTextLayout.h"

#include <numbers>

namespace brisklet {

void paintTextAnnotation(QPainter& painter, const TextAnnotation& text, const AnnotationFont& fonts,
                         const TextMeasurer& measurer) {
    if (text.text.empty()) {
        return;
    }
    const TextLayoutMeasurement layout =
        ScreenshotTextLayout::measurement(text.text, text.fontSize, text.layoutWidth, measurer);
    const Rect box = ScreenshotTextLayout::contentRect(text, layout);
    const AnnotationFont::Scaled font = fonts.text(text.fontSize);

    painter.save();
    painter.translate(box.midX(), box.midY());
    painter.rotate(text.rotation * 180 / std::numbers::pi);
    painter.translate(-box.midX(), -box.midY());
    painter.setFont(font.font);
    painter.setPen(AnnotationPaintStyle::toQColor(text.color));
    for (std::size_t i = 0; i < layout.lines.size(); ++i) {
        const double baseline = box.minY() + static_cast<double>(i) * layout.lineHeight + layout.ascender;
        painter.save();
        painter.translate(box.minX(), baseline);
        painter.scale(font.scale, font.scale);
        painter.drawText(QPointF(0, 0), QString::fromStdString(layout.lines[i]));
        painter.restore();
    }
    painter.restore();
}

} // namespace brisklet
