#include "ZelvorApp/Recording/GIFFrameTiming.h"

#include <algorithm>
#include <cmath>

namespace brisklet {

namespace {

/// Grid times are sums of decimal fractions (0.1 × 3 = 0.30000000000000004), so a frame stamped
/// exactly on a slot must still count as shown in it.
constexpr double kSlotTolerance = 1e-9;

} // namespace

int GIFFrameTiming::delayHundredths(int fps) {
    const int rate = std::max(fps, 1);
    return std::max(static_cast<int>(std::lround(100.0 / rate)), 2);
}

std::vector<GIFFrameTiming::ExportFrame> GIFFrameTiming::exportFrames(std::vector<CapturedGIFFrame> frames,
                                                                      int fallbackFPS,
                                                                      std::optional<double> recordingDuration) {
    std::vector<ExportFrame> result;
    if (frames.empty()) {
        return result;
    }
    std::stable_sort(frames.begin(), frames.end(),
                     [](const CapturedGIFFrame& a, const CapturedGIFFrame& b) { return a.timestamp < b.timestamp; });
    const double delay = delayHundredths(fallbackFPS) / 100.0;

    if (!recordingDuration || !(delay < *recordingDuration)) {
        result.reserve(frames.size());
        for (auto& frame : frames) {
            result.push_back({std::move(frame), delay});
        }
        return result;
    }

    const double slots = std::round(*recordingDuration / delay);
    if (slots < 2) {
        result.push_back({frames.front(), delay});
        return result;
    }
    const auto count = static_cast<std::size_t>(std::max(slots, 1.0));
    result.reserve(count);
    std::size_t shown = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) * delay;
        while (shown + 1 < frames.size() && frames[shown + 1].timestamp <= t + kSlotTolerance) {
            ++shown;
        }
        result.push_back({CapturedGIFFrame{frames[shown].image, t}, delay});
    }
    return result;
}

} // namespace brisklet
