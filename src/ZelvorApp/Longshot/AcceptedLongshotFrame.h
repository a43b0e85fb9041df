#pragma once

#include "ZelvorApp/Longshot/LongshotOverlapMatch.h"
#include "ZelvorCore/Foundation/Image.h"

#include <memory>
#include <optional>

namespace brisklet {

/// One frame kept by a scrolling capture. The pixels are shared, not copied, between the
/// recorder, preview rendering and the final composition.
struct AcceptedLongshotFrame {
    std::shared_ptr<const Image> image;
    /// How this frame lines up with the one before; absent for the first frame.
    std::optional<LongshotOverlapMatch> match;

    /// Frames compare by their pixels, not by who holds them.
    bool operator==(const AcceptedLongshotFrame& other) const;
};

} // namespace brisklet
