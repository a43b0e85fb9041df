#pragma once

#include "ZelvorApp/Editor/AnnotationItem.h"

#include <QPainter>

namespace brisklet {

/// Rectangles and ellipses: filled first when asked, then outlined at their width.
void paintShapeAnnotation(QPainter& painter, const RectangleAnnotation& shape, bool enhanced);

} // namespace brisklet
