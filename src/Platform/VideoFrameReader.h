#pragma once

#include "ZelvorCore/Foundation/Image.h"
#include "ZelvorCore/Foundation/Result.h"

#include <filesystem>
#include <string_view>

namespace brisklet {

enum class VideoFrameReaderError {
    openFailed,    ///< the file is missing or not a container we can read
    noVideoStream, ///< the file has no picture to show
    decodeFailed,  ///< the first picture could not be decoded
};

inline std::string_view toString(VideoFrameReaderError error) {
    switch (error) {
    case VideoFrameReaderError::openFailed:
        return "openFailed";
    case VideoFrameReaderError::noVideoStream:
        return "noVideoStream";
    case VideoFrameReaderError::decodeFailed:
        return "decodeFailed";
    }
    return "unknown";
}

/// Reads single pictures out of video and animation files (MP4, MOV, GIF).
class VideoFrameReader {
public:
    virtual ~VideoFrameReader() = default;

    /// The first picture of `file`, turned the way the file says it should be shown, and scaled
    /// down (never up) to fit within `maxWidth` × `maxHeight` keeping its proportions.
    virtual Result<Image, VideoFrameReaderError> firstFrame(const std::filesystem::path& file, int maxWidth,
                                                            int maxHeight) const = 0;
};

} // namespace brisklet
