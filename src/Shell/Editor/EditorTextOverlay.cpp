#include "Shell/Editor/EditorTextOverlay.h"

#include "ZelvorApp/Text/EditorTextRecognitionModel.h"
#include "ZelvorApp/Text/ScreenshotOCRService.h"

#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace brisklet {

namespace {

const QColor accent(0x35, 0x84, 0xe4);
/// How far around a word the pointer still counts as on it, in view points.
constexpr double hitSlop = 3;

QRectF toQt(const Rect& rect) {
    return QRectF(rect.minX(), rect.minY(), rect.width(), rect.height());
}

} // namespace

EditorTextOverlay::EditorTextOverlay(const EditorTextRecognitionModel& text) : text_(text) {}

QRectF EditorTextOverlay::wordRect(const RecognizedTextItem& word, const EditorViewport& viewport) const {
    const double width = viewport.imageSize.width;
    const double height = viewport.imageSize.height;
    const PixelDimensions recognized = ScreenshotOCRService::recognitionSize(static_cast<int>(std::lround(width)),
                                                                             static_cast<int>(std::lround(height)));
    if (recognized.width <= 0 || recognized.height <= 0) {
        return {};
    }
    const double sx = width / recognized.width;
    const double sy = height / recognized.height;
    const Rect image{{word.bounds.minX() * sx, (recognized.height - word.bounds.maxY()) * sy},
                     {word.bounds.width() * sx, word.bounds.height() * sy}};
    return toQt(viewport.toView(image));
}

void EditorTextOverlay::paint(QPainter& painter, const EditorViewport& viewport) const {
    const auto& words = text_.recognizedTextWords();
    const QRectF image = toQt(viewport.displayedImageRect);
    painter.save();
    painter.setClipRect(image);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath veil;
    veil.setFillRule(Qt::OddEvenFill);
    veil.addRect(image);
    for (const auto& word : words) {
        veil.addRoundedRect(wordRect(word, viewport).adjusted(-2, -2, 2, 2), 3, 3);
    }
    painter.fillPath(veil, QColor(0, 0, 0, words.empty() ? 0 : 36));
    const auto& selected = text_.textSelection().selectedWordIDs;
    const auto& hovered = text_.hoveredRecognizedWordID();
    for (const auto& word : words) {
        const QRectF box = wordRect(word, viewport).adjusted(-2, -2, 2, 2);
        const bool isSelected = selected.contains(word.id);
        const bool isHovered = hovered && *hovered == word.id;
        QColor fill = accent;
        fill.setAlpha(isSelected ? 110 : isHovered ? 60 : 18);
        QColor edge = accent;
        edge.setAlpha(isSelected || isHovered ? 255 : 150);
        painter.setPen(QPen(edge, isHovered ? 1.5 : 1));
        painter.setBrush(fill);
        painter.drawRoundedRect(box, 3, 3);
    }
    painter.restore();
}

std::optional<Uuid> EditorTextOverlay::wordAt(QPointF viewPoint, const EditorViewport& viewport) const {
    std::optional<Uuid> nearest;
    double nearestDistance = hitSlop;
    for (const auto& word : text_.recognizedTextWords()) {
        const QRectF box = wordRect(word, viewport);
        if (box.contains(viewPoint)) {
            return word.id;
        }
        const double dx = std::max({box.left() - viewPoint.x(), 0.0, viewPoint.x() - box.right()});
        const double dy = std::max({box.top() - viewPoint.y(), 0.0, viewPoint.y() - box.bottom()});
        const double distance = std::hypot(dx, dy);
        if (distance <= nearestDistance) {
            nearestDistance = distance;
            nearest = word.id;
        }
    }
    return nearest;
}

} // namespace brisklet
