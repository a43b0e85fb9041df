#pragma once

#include "ZelvorCore/Foundation/Uuid.h"

namespace brisklet {

/// A kept stretch of a recording, in seconds of recording time.
struct GIFTrimSegment {
    Uuid id = Uuid::generate();
    double start = 0;
    double end = 0;

    bool operator==(const GIFTrimSegment&) const = default;
};

} // namespace brisklet
