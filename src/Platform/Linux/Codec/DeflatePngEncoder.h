#pragma once

#include "ZelvorCore/Foundation/Image.h"

#include <algorithm>
#include <optional>
#include <string>
#include <thread>

namespace brisklet {

/// Writes PNG files, compressing large images on several threads: the encoder is in the path of
/// every capture the user saves, and a full screen is megabytes of pixels.
class DeflatePngEncoder {
public:
    enum class Filters {
        sub,      ///< the same filter on every row: fast, and as good as any on screen content
        adaptive, ///< per row, the filter whose output looks smallest (the classic heuristic)
    };

    /// `level` as zlib counts (1…9); `threads` at most (the machine's cores by default).
    DeflatePngEncoder(int level, Filters filters, unsigned threads = std::max(1u, std::thread::hardware_concurrency()))
        : level_(level), filters_(filters), threads_(threads) {}

    /// An 8-bit PNG with an sRGB chunk: RGB when every pixel is opaque, RGBA otherwise. Nothing when
    /// the image is empty or memory runs out.
    std::optional<std::string> encode(const Image& image) const;

private:
    int level_;
    Filters filters_;
    unsigned threads_;
};

} // namespace brisklet
