#pragma once

#include "ZelvorApp/Recording/GIFAnnotationFrameRenderer.h"

namespace brisklet {

/// Recording annotations drawn with QPainter (antialiased, round caps and joins).
class GIFQtAnnotationFrameRenderer final : public GIFAnnotationFrameRenderer {
public:
    /// Side of a mosaic block in frame pixels.
    static constexpr int kMosaicBlock = 12;

    Image render(const Image& frame, const std::vector<GIFPrototypeAnnotation>& annotations,
                 Size canvasSize) const override;
};

} // namespace brisklet
