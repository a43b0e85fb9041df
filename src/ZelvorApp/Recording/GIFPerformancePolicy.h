#pragma once

#include "ZelvorCore/Foundation/Image.h"
#include "ZelvorCore/Models/RecordingOptions.h"

namespace brisklet {

/// Keeps recordings affordable: frames are shrunk before they are stored and the export frame
/// rate is lowered so that a GIF never has more than `kMaxExportedFrames` frames.
class GIFPerformancePolicy {
public:
    static constexpr int kMaxExportedFrames = 320;

    struct PixelSize {
        int width = 0;
        int height = 0;
        bool operator==(const PixelSize&) const = default;
    };

    /// The highest rate ≤ `requestedFPS` (at least 1) whose grid over `recordingDuration` seconds
    /// stays within the frame cap; 1 when even 2 frames per second would exceed it.
    static int effectiveExportFPS(int requestedFPS, double recordingDuration);

    /// `width` × `height` scaled so the longer side is at most `maxPixelDimension` (sides below 1
    /// count as 1; never below 1 after scaling).
    static PixelSize constrainedPixelSize(int width, int height, int maxPixelDimension);

    /// `image` shrunk to `constrainedPixelSize` by averaging the source pixels each target pixel
    /// covers; the image itself when it already fits.
    static Image downscaledImage(const Image& image, int maxPixelDimension);

    /// The encoder quality (1 … 100) a recording's quality choice stands for: `medium` is the
    /// encoder's standard, the others trade file size and fidelity either way.
    static int encodingQuality(RecordingQuality quality);
};

} // namespace brisklet
