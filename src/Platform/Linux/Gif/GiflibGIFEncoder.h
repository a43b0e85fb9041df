#pragma once

#include "Platform/GIFEncoder.h"

namespace brisklet {

/// Animated GIFs through giflib with colours chosen by libimagequant. Screen recordings change
/// little from frame to frame, so one palette is shared by the frames for as long as their colours
/// fit it; a pixel that still shows its source within the quality's tolerance is left as it is
/// (transparent over the frame before), so capture noise and dithering do not rewrite still parts;
/// and each frame writes only the area around the pixels that did change, with a colour table of
/// just the entries it uses when that shortens its codes. Only what the viewer shows is kept in
/// memory, not earlier frames.
class GiflibGIFEncoder final : public GIFEncoder {
public:
    Result<std::unique_ptr<GIFEncoderSession>, GIFEncoderError> begin(const std::filesystem::path& file, int width,
                                                                      int height, int loopCount, int quality) override;
};

} // namespace brisklet
