#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace brisklet {

/// One zlib stream compressed by several threads, the way pigz does it: each part is deflated on
/// its own (primed with the 32 KiB before it, so matches still reach back across the seam), all
/// but the last end on a byte boundary, and the parts are joined under one header and checksum.
/// The result is an ordinary zlib stream any decoder reads.
struct ParallelZlib {
    /// Parts smaller than this are not worth a thread.
    static constexpr std::size_t minimumPartSize = 512 * 1024;

    /// `data` compressed at zlib `level` (1…9) with up to `threads` threads. Nothing when zlib
    /// fails (out of memory).
    static std::optional<std::vector<std::uint8_t>> compress(const std::uint8_t* data, std::size_t size, int level,
                                                             unsigned threads);
};

} // namespace brisklet
