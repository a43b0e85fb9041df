#pragma once

#include "ZelvorApp/Editor/AnnotationItem.h"

#include <QPainter>

namespace brisklet {

/// A freehand stroke, smoothed through its points with round caps and joins. A highlighter is
/// translucent and never enhanced.
void paintStrokeAnnotation(QPainter& painter, const StrokeAnnotation& stroke, bool enhanced);

} // namespace brisklet
