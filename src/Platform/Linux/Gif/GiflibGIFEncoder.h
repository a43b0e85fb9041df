#pragma once

#include "Platform/GIFEncoder.h"

namespace brisklet {

/// Animated GIFs through giflib, with each frame's palette chosen by libimagequant (Floyd–Steinberg
/// dithering), because screen recordings rarely fit one global 256-colour table.
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
