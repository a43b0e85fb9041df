#include "Platform/Linux/FFmpeg/FFmpegVideoFrameReader.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/display.h>
#include <libswscale/swscale.h>
}

#include <algorithm>
#include <cmath>
#include <memory>

namespace brisklet {

namespace {

using R = Result<Image, VideoFrameReaderError>;

struct FormatCloser {
    void operator()(AVFormatContext* context) const { avformat_close_input(&context); }
};
struct CodecFreer {
    void operator()(AVCodecContext* context) const { avcodec_free_context(&context); }
};
struct FrameFreer {
    void operator()(AVFrame* frame) const { av_frame_free(&frame); }
};
struct PacketFreer {
    void operator()(AVPacket* packet) const { av_packet_free(&packet); }
};
struct ScalerFreer {
    void operator()(SwsContext* context) const { sws_freeContext(context); }
};

// Clockwise quarter turns that make the picture upright, from the stream's display matrix.
int quarterTurns(const AVStream* stream) {
    std::size_t size = 0;
    const std::uint8_t* matrix = av_stream_get_side_data(stream, AV_PKT_DATA_DISPLAYMATRIX, &size);
    if (matrix == nullptr || size < 9 * sizeof(std::int32_t)) {
        return 0;
    }
    const double counterClockwise = av_display_rotation_get(reinterpret_cast<const std::int32_t*>(matrix));
    if (std::isnan(counterClockwise)) {
        return 0;
    }
    const long turns = std::lround(-counterClockwise / 90.0);
    return static_cast<int>(((turns % 4) + 4) % 4);
}

Image rotatedClockwise(const Image& image, int turns) {
    if (turns == 0) {
        return image;
    }
    const int w = image.width();
    const int h = image.height();
    Image out = turns % 2 == 0 ? Image(w, h) : Image(h, w);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            int tx = x;
            int ty = y;
            if (turns == 1) {
                tx = h - 1 - y;
                ty = x;
            } else if (turns == 2) {
                tx = w - 1 - x;
                ty = h - 1 - y;
            } else {
                tx = y;
                ty = w - 1 - x;
            }
            const std::uint8_t* p = image.row(y) + x * 4;
            std::copy(p, p + 4, out.row(ty) + tx * 4);
        }
    }
    return out;
}

// Decodes packets until the first picture comes out (or the stream ends).
std::unique_ptr<AVFrame, FrameFreer> decodeFirstFrame(AVFormatContext* format, AVCodecContext* codec, int stream) {
    std::unique_ptr<AVFrame, FrameFreer> frame(av_frame_alloc());
    std::unique_ptr<AVPacket, PacketFreer> packet(av_packet_alloc());
    if (!frame || !packet) {
        return nullptr;
    }
    bool flushed = false;
    while (true) {
        const int received = avcodec_receive_frame(codec, frame.get());
        if (received == 0) {
            return frame;
        }
        if (received != AVERROR(EAGAIN) || flushed) {
            return nullptr;
        }
        const int read = av_read_frame(format, packet.get());
        if (read < 0) {
            avcodec_send_packet(codec, nullptr);
            flushed = true;
            continue;
        }
        if (packet->stream_index == stream) {
            const int sent = avcodec_send_packet(codec, packet.get());
            if (sent < 0 && sent != AVERROR(EAGAIN)) {
                av_packet_unref(packet.get());
                return nullptr;
            }
        }
        av_packet_unref(packet.get());
    }
}

} // namespace

Result<Image, VideoFrameReaderError> FFmpegVideoFrameReader::firstFrame(const std::filesystem::path& file, int maxWidth,
                                                                        int maxHeight) const {
    AVFormatContext* rawFormat = nullptr;
    if (avformat_open_input(&rawFormat, file.c_str(), nullptr, nullptr) < 0) {
        return R::failure(VideoFrameReaderError::openFailed);
    }
    std::unique_ptr<AVFormatContext, FormatCloser> format(rawFormat);
    if (avformat_find_stream_info(format.get(), nullptr) < 0) {
        return R::failure(VideoFrameReaderError::openFailed);
    }
    const AVCodec* decoder = nullptr;
    const int streamIndex = av_find_best_stream(format.get(), AVMEDIA_TYPE_VIDEO, -1, -1, &decoder, 0);
    if (streamIndex < 0 || decoder == nullptr) {
        return R::failure(VideoFrameReaderError::noVideoStream);
    }
    const AVStream* stream = format->streams[streamIndex];
    std::unique_ptr<AVCodecContext, CodecFreer> codec(avcodec_alloc_context3(decoder));
    if (!codec || avcodec_parameters_to_context(codec.get(), stream->codecpar) < 0) {
        return R::failure(VideoFrameReaderError::decodeFailed);
    }
    codec->thread_count = 1;
    if (avcodec_open2(codec.get(), decoder, nullptr) < 0) {
        return R::failure(VideoFrameReaderError::decodeFailed);
    }
    const auto frame = decodeFirstFrame(format.get(), codec.get(), streamIndex);
    if (!frame || frame->width <= 0 || frame->height <= 0) {
        return R::failure(VideoFrameReaderError::decodeFailed);
    }

    const int turns = quarterTurns(stream);
    double displayWidth = frame->width;
    const AVRational aspect = av_guess_sample_aspect_ratio(format.get(), const_cast<AVStream*>(stream), frame.get());
    if (aspect.num > 0 && aspect.den > 0) {
        displayWidth = frame->width * av_q2d(aspect);
    }
    const double displayHeight = frame->height;
    // Fit the picture as it will be shown (after turning), then scale in the stored orientation.
    const double shownWidth = turns % 2 == 0 ? displayWidth : displayHeight;
    const double shownHeight = turns % 2 == 0 ? displayHeight : displayWidth;
    const double scale =
        std::min({static_cast<double>(maxWidth) / shownWidth, static_cast<double>(maxHeight) / shownHeight, 1.0});
    const int targetWidth = std::max(1, static_cast<int>(std::lround(displayWidth * scale)));
    const int targetHeight = std::max(1, static_cast<int>(std::lround(displayHeight * scale)));

    std::unique_ptr<SwsContext, ScalerFreer> scaler(
        sws_getContext(frame->width, frame->height, static_cast<AVPixelFormat>(frame->format), targetWidth,
                       targetHeight, AV_PIX_FMT_RGBA, SWS_AREA | SWS_ACCURATE_RND, nullptr, nullptr, nullptr));
    if (!scaler) {
        return R::failure(VideoFrameReaderError::decodeFailed);
    }
    Image image(targetWidth, targetHeight);
    std::uint8_t* destination[4] = {image.data(), nullptr, nullptr, nullptr};
    const int strides[4] = {static_cast<int>(image.bytesPerRow()), 0, 0, 0};
    if (sws_scale(scaler.get(), frame->data, frame->linesize, 0, frame->height, destination, strides) <= 0) {
        return R::failure(VideoFrameReaderError::decodeFailed);
    }
    return R::success(rotatedClockwise(image, turns));
}

} // namespace brisklet
