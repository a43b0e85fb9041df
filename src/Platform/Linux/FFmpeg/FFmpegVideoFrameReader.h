#pragma once

#include "Platform/VideoFrameReader.h"

namespace brisklet {

/// First frames through FFmpeg (libavformat, libavcodec, libswscale): MP4, MOV, GIF and
/// anything else FFmpeg can demux. Honours the stream's rotation and pixel aspect ratio.
/// Stateless, so it can be used from several threads at once.
class FFmpegVideoFrameReader final : public VideoFrameReader {
public:
    Result<Image, VideoFrameReaderError> firstFrame(const std::filesystem::path& file, int maxWidth,
                                                    int maxHeight) const override;
};

} // namespace brisklet
