#pragma once

#include <memory>

struct AVFrame;

namespace brisklet {

/// Frees an FFmpeg picture and its buffers.
struct FFmpegPictureDeleter {
    void operator()(AVFrame* frame) const;
};

/// A picture owned on its way from the converter to the encoder and back.
using FFmpegPicture = std::unique_ptr<AVFrame, FFmpegPictureDeleter>;

} // namespace brisklet
