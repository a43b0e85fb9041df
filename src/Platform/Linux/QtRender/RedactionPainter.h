#pragma once

#include "ZelvorApp/Editor/AnnotationItem.h"
#include "ZelvorCore/Foundation/Image.h"

#include <QPainter>
#include <optional>

namespace brisklet {

/// The pixels of `base` under `rect` (made integral outward and kept inside the image), blurred
/// (Gaussian, radius 12, edges clamped) or pixellated (12-pixel cells centred on the patch), as a
/// patch and the pixel rectangle it covers. None when the rectangle misses the image.
struct RedactionPatch {
    Image pixels;
    int x = 0;
    int y = 0;
};
std::optional<RedactionPatch> redactionPatch(const Image& base, const Rect& rect, RedactionMode mode);

/// Draws the processed patch over the redacted area.
void paintRedactionAnnotation(QPainter& painter, const RedactionAnnotation& redaction, const Image& base);

} // namespace brisklet
