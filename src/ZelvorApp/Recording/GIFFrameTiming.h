#pragma once

#include "ZelvorApp/Recording/CapturedGIFFrame.h"

#include <optional>
#include <vector>

namespace brisklet {

/// Turns captured frames (taken whenever the screen delivered them) into GIF frames on a uniform
/// delay grid, so the animation plays as long as the recording lasted.
class GIFFrameTiming {
public:
    struct ExportFrame {
        CapturedGIFFrame frame;
        /// Seconds the frame stays on screen (a multiple of 1/100 s).
        double delay = 0;

        bool operator==(const ExportFrame&) const = default;
    };

    /// The per-frame delay at `fps`, in hundredths of a second: GIF viewers ignore anything
    /// shorter than 2/100 s, so that is the floor.
    static int delayHundredths(int fps);

    /// Sample-and-hold resampling of `frames` onto the delay grid of `fallbackFPS` when the
    /// recording length is known and longer than one delay; otherwise every frame in timestamp
    /// order with that delay.
    static std::vector<ExportFrame> exportFrames(std::vector<CapturedGIFFrame> frames, int fallbackFPS,
                                                 std::optional<double> recordingDuration);
};

} // namespace brisklet
