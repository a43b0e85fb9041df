#pragma once

#include "ZelvorApp/Editor/AnnotationItem.h"

#include <QPainter>

namespace brisklet {

class AnnotationFont;
class TextMeasurer;

/// A text in its semibold font and colour, broken into lines exactly as the editor measures it,
/// turned by its rotation about the centre of its box.
void paintTextAnnotation(QPainter& painter, const TextAnnotation& text, const AnnotationFont& fonts,
                         const TextMeasurer& measurer);

} // namespace brisklet
