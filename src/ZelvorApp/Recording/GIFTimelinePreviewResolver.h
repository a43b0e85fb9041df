#pragma once

#include "ZelvorApp/Recording/CapturedGIFFrame.h"

#include <optional>
#include <vector>

namespace brisklet {

/// Which recorded frame to show for a time on the timeline.
class GIFTimelinePreviewResolver {
public:
    /// The frame whose timestamp is closest to `time` in `frames` (sorted by timestamp); the
    /// earlier one on a tie; none for an empty list.
    static std::optional<CapturedGIFFrame> nearestFrame(const std::vector<CapturedGIFFrame>& frames, double time);
};

} // namespace brisklet
