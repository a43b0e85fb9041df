#pragma once

#include "Platform/ImageRegistration.h"

namespace brisklet {

/// Translational registration for scrolled content. Phase correlation (OpenCV imgproc) on a
/// small grey copy finds the offset roughly; a search at full vertical resolution around it then
/// makes the vertical offset exact, which is what stitching needs. The grey copies average across
/// columns (scrolling moves rows, so rows are kept whole for the final answer) and the
/// correlation canvas is zero-padded to twice the height, so content scrolled by most of the
/// band still correlates instead of wrapping around.
class OpenCVImageRegistration final : public ImageRegistration {
public:
    /// Columns of the grey copy used to make the vertical offset exact.
    static constexpr int refinementColumns = 96;
    /// Columns and most rows of the copy that is phase-correlated.
    static constexpr int correlationColumns = 32;
    static constexpr int correlationRows = 192;
    static constexpr int minimumSide = 8;

    using ImageRegistration::translation;
    Outcome translation(const Image& reference, const Image& floating, const PixelRegion& region) const override;
};

} // namespace brisklet
