#pragma once

#include "ZelvorApp/Editor/EditorViewport.h"
#include "ZelvorCore/Foundation/Uuid.h"

#include <QRectF>

#include <optional>

class QPainter;
class QPointF;

namespace brisklet {

class EditorTextRecognitionModel;
struct RecognizedTextItem;

/// The recognised words over the screenshot: a box per word, brighter under the pointer and
/// filled when selected. Draws and hit-tests only; the selection itself is the text model's.
class EditorTextOverlay {
public:
    explicit EditorTextOverlay(const EditorTextRecognitionModel& text);

    /// Veils the picture slightly so the boxes stand out, then draws every word's box.
    void paint(QPainter& painter, const EditorViewport& viewport) const;
    /// The word whose box holds `viewPoint` (grown a little so the gaps between words still
    /// hit the nearer word of a line), or nothing.
    std::optional<Uuid> wordAt(QPointF viewPoint, const EditorViewport& viewport) const;
    /// Where a word stands in the view. Word boxes are in the recognition image's pixels (which
    /// may be upscaled) with the origin at the bottom-left; the view has its origin at the top.
    QRectF wordRect(const RecognizedTextItem& word, const EditorViewport& viewport) const;

private:
    const EditorTextRecognitionModel& text_;
};

} // namespace brisklet
