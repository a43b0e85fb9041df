#pragma once

#include "ZelvorApp/Longshot/LongshotSampledImage.h"

#include <optional>

namespace brisklet {

/// Tells a frame in which the page moved (or changed) from one that merely repeats the previous
/// frame; the recorder counts repeats to notice the bottom of the page. Stateless.
class LongshotFrameChangeDetector {
public:
    /// Unusable or mismatched images count as changed, so nothing is dropped by mistake.
    static bool hasMeaningfulChange(const Image& previous, const Image& current);
    /// The same on coarse samples (at most 128 pixels wide) made beforehand.
    static bool hasMeaningfulChange(const std::optional<LongshotSampledImage>& previous,
                                    const std::optional<LongshotSampledImage>& current);
};

} // namespace brisklet
