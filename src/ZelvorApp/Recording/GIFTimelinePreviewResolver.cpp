#include "ZelvorApp/Recording/GIFTimelinePreviewResolver.h"

#include <algorithm>

namespace brisklet {

std::optional<CapturedGIFFrame> GIFTimelinePreviewResolver::nearestFrame(const std::vector<CapturedGIFFrame>& frames,
                                                                         double time) {
    if (frames.empty()) {
        return std::nullopt;
    }
    const auto after = std::lower_bound(frames.begin(), frames.end(), time,
                                        [](const CapturedGIFFrame& f, double t) { return f.timestamp < t; });
    if (after == frames.begin())
        return *after;
    if (after == frames.end())
        return frames.back();
    const auto before = std::prev(after);
    return (time - before->timestamp) <= (after->timestamp - time) ? *before : *after;
}

} // namespace brisklet
