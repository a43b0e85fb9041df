#pragma once

#include "ZelvorApp/Longshot/AcceptedLongshotFrame.h"
#include "ZelvorApp/Longshot/LongshotFixedBarDetector.h"

#include <vector>

namespace brisklet {

/// Turns the fixed bars found pair by pair during a recording into one decision for the whole
/// recording: a bar counts only when most pairs saw it. Stateless.
class LongshotFixedBarConsensus {
public:
    /// Header and footer follow the crop options; side bars are always resolved.
    static LongshotFixedBarDetector::Exclusions resolve(const std::vector<AcceptedLongshotFrame>& frames,
                                                        const LongshotCropOptions& cropOptions);
    /// The upper quartile of the positive values when they are a majority, else 0.
    static int representative(const std::vector<int>& values);
};

} // namespace brisklet
