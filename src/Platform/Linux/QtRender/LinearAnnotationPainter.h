#pragma once

#include "ZelvorApp/Editor/AnnotationItem.h"

#include <QPainter>

namespace brisklet {

/// A straight line with round caps.
void paintLineAnnotation(QPainter& painter, const LineAnnotation& line, bool enhanced);
/// An arrow from the shared arrow geometry: a tapered filled outline (brush) or a shaft with a
/// notched head (geometric).
void paintArrowAnnotation(QPainter& painter, const ArrowAnnotation& arrow, bool enhanced);

} // namespace brisklet
