#include "ZelvorApp/Longshot/LongshotFixedBarConsensus.h"

#include <algorithm>

namespace brisklet {

int LongshotFixedBarConsensus::representative(const std::vector<int>& values) {
    std::vector<int> positive;
    std::copy_if(values.begin(), values.end(), std::back_inserter(positive), [](int v) { return v > 0; });
    const std::size_t n = values.size();
    // With one or two pairs every pair must agree; a plain majority rule would demand two
    // sightings from a single pair and so never cut the header of a two-frame recording.
    const std::size_t required = n > 2 ? (n + 1) / 2 : n;
    if (n == 0 || positive.size() < required) {
        return 0;
    }
    std::sort(positive.begin(), positive.end());
    const std::size_t k = positive.size();
    return positive[std::min(3 * k / 4, k - 1)];
}

LongshotFixedBarDetector::Exclusions
LongshotFixedBarConsensus::resolve(const std::vector<AcceptedLongshotFrame>& frames,
                                   const LongshotCropOptions& cropOptions) {
    std::vector<int> headers, footers, lefts, rights;
    for (const auto& frame : frames) {
        if (!frame.match) {
            continue;
        }
        headers.push_back(frame.match->headerExclusionHeight);
        footers.push_back(frame.match->footerExclusionHeight);
        lefts.push_back(frame.match->leftExclusionWidth);
        rights.push_back(frame.match->rightExclusionWidth);
    }
    LongshotFixedBarDetector::Exclusions result;
    result.top = cropOptions.ignoreTopFixedBar ? representative(headers) : 0;
    result.bottom = cropOptions.ignoreBottomFixedBar ? representative(footers) : 0;
    result.left = representative(lefts);
    result.right = representative(rights);
    return result;
}

} // namespace brisklet
