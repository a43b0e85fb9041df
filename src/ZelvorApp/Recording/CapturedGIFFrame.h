#pragma once

#include "ZelvorCore/Foundation/Image.h"

#include <memory>

namespace brisklet {

/// One frame of a recording. Images are shared because timing repeats a frame in several slots of
/// the export grid and post-processing keeps the originals while previewing.
struct CapturedGIFFrame {
    std::shared_ptr<const Image> image;
    /// Seconds of recording time since the start, pauses excluded.
    double timestamp = 0;

    bool operator==(const CapturedGIFFrame&) const = default;
};

} // namespace brisklet
