#pragma once

#include "Platform/Linux/FFmpeg/FFmpegPicture.h"
#include "ZelvorCore/Foundation/Result.h"

#include <mutex>
#include <string>
#include <vector>

struct SwsContext;

namespace brisklet {

struct ScreenPixels;

/// Turns grabbed screen pixels (BGRX or RGBA) into the encoder's YUV 4:2:0 pictures at the output
/// size. Pictures the encoder is done with come back through `recycle`, so a recording keeps
/// filling the same few buffers instead of mapping and clearing megabytes for every frame.
/// `convert` belongs to one thread; `recycle` may be called from any.
class FFmpegPictureConverter {
public:
    FFmpegPictureConverter(int sourceWidth, int sourceHeight, int outputWidth, int outputHeight);
    ~FFmpegPictureConverter();
    FFmpegPictureConverter(const FFmpegPictureConverter&) = delete;
    FFmpegPictureConverter& operator=(const FFmpegPictureConverter&) = delete;

    /// The picture of `pixels`, which must have the source size; the reason when it cannot be made.
    Result<FFmpegPicture, std::string> convert(const ScreenPixels& pixels);
    /// Hands back a picture for a later `convert` to fill.
    void recycle(FFmpegPicture picture);

    /// Spare pictures kept at most: as many as the encoder's queue holds, more would only keep memory.
    static constexpr std::size_t kMaxSpares = 10;

private:
    SwsContext* scaler(bool isBGRX);
    Result<FFmpegPicture, std::string> takePicture();

    int sourceWidth_;
    int sourceHeight_;
    int outputWidth_;
    int outputHeight_;
    SwsContext* bgrxScaler_ = nullptr;
    SwsContext* rgbaScaler_ = nullptr;
    std::mutex spareMutex_;
    std::vector<FFmpegPicture> spares_;
};

} // namespace brisklet
