#pragma once

#include "Platform/ScreenRecorder.h"
#include "ZelvorCore/Models/RecordingOptions.h"

#include <optional>

namespace brisklet {

/// The encoder settings of one video recording, derived from the captured size and the quality.
struct VideoRecorderConfiguration {
    int width = 2;
    int height = 2;
    int frameRate = 30;
    VideoContainer container = VideoContainer::mpeg4;

    bool operator==(const VideoRecorderConfiguration&) const = default;

    /// The limits of one quality step.
    struct QualityLimits {
        int frameRate;
        int maxWidth;
        int maxHeight;
    };
    static QualityLimits limits(RecordingQuality quality);

    /// Scales `sourcePixelSize` down (never up) into the quality's limits, keeping its proportions
    /// and making both sides even, as H.264 in yuv420p needs. None for `gif`.
    static std::optional<VideoRecorderConfiguration> make(Size sourcePixelSize, RecordingQuality quality,
                                                          RecordingOutputFormat format);

    /// `value` rounded, at least 2, and even.
    static int even(double value);
};

} // namespace brisklet
