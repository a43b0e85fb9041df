#pragma once

#include "Platform/GIFEncoder.h"

namespace brisklet {

/// Animated GIFs through giflib, with each frame's palette chosen by libimagequant (Floyd–Steinberg
/// dithering at half strength), because screen recordings rarely fit one global 256-colour table.
/// After the first frame only the area that changed is written, with unchanged pixels transparent
/// over the frame before, which keeps recordings of user interfaces small; only the previous frame
/// is kept in memory.
class GiflibGIFEncoder final : public GIFEncoder {
public:
    /// `quantizationSpeed` follows libimagequant: 1 (slowest, best) … 10 (fastest).
    explicit GiflibGIFEncoder(int quantizationSpeed = 4) : speed_(quantizationSpeed) {}

    Result<std::unique_ptr<GIFEncoderSession>, GIFEncoderError> begin(const std::filesystem::path& file, int width,
                                                                      int height, int loopCount) override;

private:
    int speed_;
};

} // namespace brisklet
