#include "ZelvorApp/Video/VideoRecorderConfiguration.h"

#include <algorithm>
#include <cmath>

namespace brisklet {

VideoRecorderConfiguration::QualityLimits VideoRecorderConfiguration::limits(RecordingQuality quality) {
    switch (quality) {
    case RecordingQuality::low:
        return {15, 1280, 720};
    case RecordingQuality::medium:
        return {30, 1920, 1080};
    case RecordingQuality::high:
        return {60, 2560, 1440};
    }
    return {30, 1920, 1080};
}

int VideoRecorderConfiguration::even(double value) {
    const long rounded = std::max(std::lround(value), 2L);
    return static_cast<int>(rounded & ~1L);
}

std::optional<VideoRecorderConfiguration>
VideoRecorderConfiguration::make(Size sourcePixelSize, RecordingQuality quality, RecordingOutputFormat format) {
    if (format == RecordingOutputFormat::gif) {
        return std::nullopt;
    }
    const double w = std::max(sourcePixelSize.width, 1.0);
    const double h = std::max(sourcePixelSize.height, 1.0);
    if (!std::isfinite(w) || !std::isfinite(h)) {
        return std::nullopt;
    }
    const QualityLimits table = limits(quality);
    const double scale = std::min({table.maxWidth / w, table.maxHeight / h, 1.0});
    VideoRecorderConfiguration configuration;
    configuration.width = even(w * scale);
    configuration.height = even(h * scale);
    configuration.frameRate = table.frameRate;
    configuration.container =
        format == RecordingOutputFormat::mov ? VideoContainer::quickTimeMovie : VideoContainer::mpeg4;
    return configuration;
}

} // namespace brisklet
