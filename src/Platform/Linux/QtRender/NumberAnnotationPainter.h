#pragma once

#include "ZelvorApp/Editor/AnnotationItem.h"

#include <QPainter>

namespace brisklet {

class AnnotationFont;

/// A filled disc in the colour with the value centred on it in white bold.
void paintNumberAnnotation(QPainter& painter, const NumberAnnotation& number, const AnnotationFont& fonts,
                           bool enhanced);

} // namespace brisklet
