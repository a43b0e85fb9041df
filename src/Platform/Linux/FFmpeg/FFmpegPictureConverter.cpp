#include "Platform/Linux/FFmpeg/FFmpegPictureConverter.h"

#include "Platform/ScreenFrameStream.h"

extern "C" {
#include <libavutil/frame.h>
#include <libswscale/swscale.h>
}

namespace brisklet {

void FFmpegPictureDeleter::operator()(AVFrame* frame) const {
    av_frame_free(&frame);
}

FFmpegPictureConverter::FFmpegPictureConverter(int sourceWidth, int sourceHeight, int outputWidth, int outputHeight)
    : sourceWidth_(sourceWidth), sourceHeight_(sourceHeight), outputWidth_(outputWidth), outputHeight_(outputHeight) {}

FFmpegPictureConverter::~FFmpegPictureConverter() {
    sws_freeContext(bgrxScaler_);
    sws_freeContext(rgbaScaler_);
}

SwsContext* FFmpegPictureConverter::scaler(bool isBGRX) {
    SwsContext*& context = isBGRX ? bgrxScaler_ : rgbaScaler_;
    if (!context) {
        // BGR0 is the screen's own order, read straight from the grab as ffmpeg's x11grab does.
        context = sws_getContext(sourceWidth_, sourceHeight_, isBGRX ? AV_PIX_FMT_BGR0 : AV_PIX_FMT_RGBA, outputWidth_,
                                 outputHeight_, AV_PIX_FMT_YUV420P, SWS_BICUBIC, nullptr, nullptr, nullptr);
    }
    return context;
}

Result<FFmpegPicture, std::string> FFmpegPictureConverter::takePicture() {
    using R = Result<FFmpegPicture, std::string>;
    FFmpegPicture picture;
    {
        std::lock_guard lock(spareMutex_);
        if (!spares_.empty()) {
            picture = std::move(spares_.back());
            spares_.pop_back();
        }
    }
    if (picture) {
        // A picture the encoder still references is copied away from it rather than overwritten.
        if (av_frame_make_writable(picture.get()) < 0) {
            return R::failure("cannot reuse a picture");
        }
        return R::success(std::move(picture));
    }
    picture.reset(av_frame_alloc());
    if (!picture) {
        return R::failure("out of memory");
    }
    picture->format = AV_PIX_FMT_YUV420P;
    picture->width = outputWidth_;
    picture->height = outputHeight_;
    if (av_frame_get_buffer(picture.get(), 0) < 0) {
        return R::failure("cannot allocate a picture");
    }
    return R::success(std::move(picture));
}

Result<FFmpegPicture, std::string> FFmpegPictureConverter::convert(const ScreenPixels& pixels) {
    using R = Result<FFmpegPicture, std::string>;
    if (pixels.width != sourceWidth_ || pixels.height != sourceHeight_) {
        return R::failure("a frame of " + std::to_string(pixels.width) + "x" + std::to_string(pixels.height) +
                          " pixels does not fit the recording");
    }
    SwsContext* context = scaler(pixels.isBGRX);
    if (!context) {
        return R::failure("cannot convert the picture to YUV");
    }
    auto taken = takePicture();
    if (!taken) {
        return taken;
    }
    FFmpegPicture picture = std::move(taken).value();
    const std::uint8_t* source[1] = {pixels.data};
    const int stride[1] = {static_cast<int>(pixels.bytesPerRow)};
    sws_scale(context, source, stride, 0, pixels.height, picture->data, picture->linesize);
    return R::success(std::move(picture));
}

void FFmpegPictureConverter::recycle(FFmpegPicture picture) {
    if (!picture) {
        return;
    }
    std::lock_guard lock(spareMutex_);
    if (spares_.size() < kMaxSpares) {
        spares_.push_back(std::move(picture));
    }
}

} // namespace brisklet
