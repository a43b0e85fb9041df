#include "Platform/Linux/FFmpeg/FFmpegVideoEncoder.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
}

#include <algorithm>
#include <utility>
#include <vector>

namespace brisklet {

namespace {

using S = Status<std::string>;

std::string describe(int code) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return text;
}

S failure(const std::string& what, int code) {
    return S::failure(what + ": " + describe(code));
}

constexpr int kVideo = 0;
constexpr int kAudio = 1;

} // namespace

struct FFmpegVideoEncoder::State {
    Settings settings;
    AVFormatContext* format = nullptr;
    AVCodecContext* video = nullptr;
    AVCodecContext* audio = nullptr;
    AVStream* videoStream = nullptr;
    AVStream* audioStream = nullptr;
    /// The latest picture, sent again for repeats.
    FFmpegPicture picture;
    AVFrame* sound = nullptr;
    AVPacket* packet = nullptr;
    bool headerWritten = false;
    /// Interleaved samples waiting for a whole AAC frame.
    std::vector<std::int16_t> pendingSamples;
    long long audioPts = 0;

    ~State() {
        av_packet_free(&packet);
        av_frame_free(&sound);
        avcodec_free_context(&audio);
        avcodec_free_context(&video);
        if (format) {
            if (format->pb) {
                avio_closep(&format->pb);
            }
            avformat_free_context(format);
        }
    }
};

FFmpegVideoEncoder::FFmpegVideoEncoder(std::unique_ptr<State> state) : state_(std::move(state)) {}

FFmpegVideoEncoder::~FFmpegVideoEncoder() {
    if (!finished_) {
        (void)finish();
    }
}

bool FFmpegVideoEncoder::hasFrame() const {
    return state_->picture != nullptr;
}

namespace {

S openVideo(FFmpegVideoEncoder::Settings const& settings, AVFormatContext* format, AVCodecContext*& context,
            AVStream*& stream) {
    const AVCodec* codec = avcodec_find_encoder_by_name("libx264");
    if (!codec) {
        return S::failure("this FFmpeg has no libx264 encoder");
    }
    stream = avformat_new_stream(format, nullptr);
    context = avcodec_alloc_context3(codec);
    if (!stream || !context) {
        return S::failure("out of memory");
    }
    context->width = settings.outputWidth;
    context->height = settings.outputHeight;
    context->pix_fmt = AV_PIX_FMT_YUV420P;
    context->time_base = AVRational{1, settings.frameRate};
    context->framerate = AVRational{settings.frameRate, 1};
    // A keyframe every two seconds: now that still screens cost little, the extra keyframes buy
    // quality (and quicker seeking in players) for about 2 % of size.
    context->gop_size = settings.frameRate * 2;
    // Screen content converted with BT.601 coefficients in limited range, and tagged so players
    // convert it back the same way.
    context->colorspace = AVCOL_SPC_SMPTE170M;
    context->color_primaries = AVCOL_PRI_SMPTE170M;
    context->color_trc = AVCOL_TRC_SMPTE170M;
    context->color_range = AVCOL_RANGE_MPEG;
    if (format->oformat->flags & AVFMT_GLOBALHEADER) {
        context->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    }
    av_opt_set(context->priv_data, "preset", "veryfast", 0);
    av_opt_set(context->priv_data, "crf", "23", 0);
    if (const int code = avcodec_open2(context, codec, nullptr); code < 0) {
        return failure("cannot open the H.264 encoder", code);
    }
    stream->time_base = context->time_base;
    stream->avg_frame_rate = context->framerate;
    if (const int code = avcodec_parameters_from_context(stream->codecpar, context); code < 0) {
        return failure("cannot describe the video track", code);
    }
    return succeeded<std::string>();
}

S openAudio(AVFormatContext* format, AVCodecContext*& context, AVStream*& stream) {
    const AVCodec* codec = avcodec_find_encoder(AV_CODEC_ID_AAC);
    if (!codec) {
        return S::failure("this FFmpeg has no AAC encoder");
    }
    stream = avformat_new_stream(format, nullptr);
    context = avcodec_alloc_context3(codec);
    if (!stream || !context) {
        return S::failure("out of memory");
    }
    context->sample_fmt = AV_SAMPLE_FMT_FLTP;
    context->sample_rate = FFmpegVideoEncoder::kSampleRate;
    context->bit_rate = 160000;
    av_channel_layout_default(&context->ch_layout, FFmpegVideoEncoder::kChannels);
    context->time_base = AVRational{1, FFmpegVideoEncoder::kSampleRate};
    if (format->oformat->flags & AVFMT_GLOBALHEADER) {
        context->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    }
    if (const int code = avcodec_open2(context, codec, nullptr); code < 0) {
        return failure("cannot open the AAC encoder", code);
    }
    stream->time_base = context->time_base;
    if (const int code = avcodec_parameters_from_context(stream->codecpar, context); code < 0) {
        return failure("cannot describe the sound track", code);
    }
    return succeeded<std::string>();
}

} // namespace

Result<std::unique_ptr<FFmpegVideoEncoder>, std::string> FFmpegVideoEncoder::open(const Settings& settings) {
    using R = Result<std::unique_ptr<FFmpegVideoEncoder>, std::string>;
    auto state = std::make_unique<State>();
    state->settings = settings;
    const char* container = settings.container == VideoContainer::quickTimeMovie ? "mov" : "mp4";
    if (const int code = avformat_alloc_output_context2(&state->format, nullptr, container, settings.file.c_str());
        code < 0 || !state->format) {
        return R::failure("cannot create a " + std::string(container) + " file: " + describe(code));
    }
    if (auto opened = openVideo(settings, state->format, state->video, state->videoStream); !opened) {
        return R::failure(opened.error());
    }
    if (settings.withAudio) {
        if (auto opened = openAudio(state->format, state->audio, state->audioStream); !opened) {
            return R::failure(opened.error());
        }
        state->sound = av_frame_alloc();
    }
    state->packet = av_packet_alloc();
    if (!state->packet || (settings.withAudio && !state->sound)) {
        return R::failure("out of memory");
    }
    if (const int code = avio_open(&state->format->pb, settings.file.c_str(), AVIO_FLAG_WRITE); code < 0) {
        return R::failure("cannot write " + settings.file.string() + ": " + describe(code));
    }
    AVDictionary* options = nullptr;
    if (settings.container == VideoContainer::mpeg4) {
        // The index goes to the front so the file plays while it downloads.
        av_dict_set(&options, "movflags", "+faststart", 0);
    }
    const int code = avformat_write_header(state->format, &options);
    av_dict_free(&options);
    if (code < 0) {
        avio_closep(&state->format->pb);
        std::error_code ignored;
        std::filesystem::remove(settings.file, ignored);
        return R::failure("cannot write the file header: " + describe(code));
    }
    state->headerWritten = true;
    return R::success(std::unique_ptr<FFmpegVideoEncoder>(new FFmpegVideoEncoder(std::move(state))));
}

Result<FFmpegPicture, std::string> FFmpegVideoEncoder::writePicture(FFmpegPicture picture, long long index) {
    using R = Result<FFmpegPicture, std::string>;
    State& s = *state_;
    if (!picture || picture->width != s.settings.outputWidth || picture->height != s.settings.outputHeight ||
        picture->format != AV_PIX_FMT_YUV420P) {
        return R::failure("a picture that does not fit the recording");
    }
    FFmpegPicture previous = std::exchange(s.picture, std::move(picture));
    if (auto sent = sendVideo(index); !sent) {
        return R::failure(sent.error());
    }
    return R::success(std::move(previous));
}

Status<std::string> FFmpegVideoEncoder::repeatFrame(long long index) {
    if (!state_->picture) {
        return S::failure("no picture to repeat");
    }
    return sendVideo(index);
}

Status<std::string> FFmpegVideoEncoder::sendVideo(long long index) {
    State& s = *state_;
    s.picture->pts = index;
    if (const int code = avcodec_send_frame(s.video, s.picture.get()); code < 0) {
        return failure("cannot encode a frame", code);
    }
    return drain(kVideo, false);
}

Status<std::string> FFmpegVideoEncoder::writeSamples(const std::int16_t* samples, long long frameCount) {
    State& s = *state_;
    if (!s.audio || frameCount <= 0) {
        return succeeded<std::string>();
    }
    s.pendingSamples.insert(s.pendingSamples.end(), samples, samples + frameCount * kChannels);
    samplesWritten_ += frameCount;
    const int frameSize = s.audio->frame_size > 0 ? s.audio->frame_size : 1024;
    while (static_cast<long long>(s.pendingSamples.size()) >= static_cast<long long>(frameSize) * kChannels) {
        if (auto encoded = encodeAudioFrame(frameSize); !encoded) {
            return encoded;
        }
    }
    return succeeded<std::string>();
}

Status<std::string> FFmpegVideoEncoder::encodeAudioFrame(int frameSize) {
    State& s = *state_;
    const int available = static_cast<int>(s.pendingSamples.size() / kChannels);
    const int count = std::min(frameSize, available);
    AVFrame* frame = s.sound;
    av_frame_unref(frame);
    frame->format = AV_SAMPLE_FMT_FLTP;
    frame->sample_rate = kSampleRate;
    frame->nb_samples = count;
    av_channel_layout_copy(&frame->ch_layout, &s.audio->ch_layout);
    if (const int code = av_frame_get_buffer(frame, 0); code < 0) {
        return failure("cannot allocate sound", code);
    }
    for (int channel = 0; channel < kChannels; ++channel) {
        auto* plane = reinterpret_cast<float*>(frame->data[channel]);
        for (int i = 0; i < count; ++i) {
            plane[i] = s.pendingSamples[static_cast<std::size_t>(i) * kChannels + channel] / 32768.0f;
        }
    }
    s.pendingSamples.erase(s.pendingSamples.begin(), s.pendingSamples.begin() + count * kChannels);
    frame->pts = s.audioPts;
    s.audioPts += count;
    if (const int code = avcodec_send_frame(s.audio, frame); code < 0) {
        return failure("cannot encode sound", code);
    }
    return drain(kAudio, false);
}

Status<std::string> FFmpegVideoEncoder::drain(int streamKind, bool flushing) {
    State& s = *state_;
    AVCodecContext* codec = streamKind == kVideo ? s.video : s.audio;
    AVStream* stream = streamKind == kVideo ? s.videoStream : s.audioStream;
    for (;;) {
        const int code = avcodec_receive_packet(codec, s.packet);
        if (code == AVERROR(EAGAIN) || code == AVERROR_EOF) {
            return succeeded<std::string>();
        }
        if (code < 0) {
            return failure(flushing ? "cannot finish encoding" : "cannot encode", code);
        }
        av_packet_rescale_ts(s.packet, codec->time_base, stream->time_base);
        s.packet->stream_index = stream->index;
        if (const int written = av_interleaved_write_frame(s.format, s.packet); written < 0) {
            return failure("cannot write to the file", written);
        }
    }
}

Status<std::string> FFmpegVideoEncoder::finish() {
    if (finished_) {
        return succeeded<std::string>();
    }
    finished_ = true;
    State& s = *state_;
    S outcome = succeeded<std::string>();
    const auto keep = [&outcome](S step) {
        if (outcome.ok() && !step.ok()) {
            outcome = std::move(step);
        }
    };
    if (s.audio) {
        if (!s.pendingSamples.empty()) {
            keep(encodeAudioFrame(static_cast<int>(s.pendingSamples.size() / kChannels)));
        }
        avcodec_send_frame(s.audio, nullptr);
        keep(drain(kAudio, true));
    }
    avcodec_send_frame(s.video, nullptr);
    keep(drain(kVideo, true));
    if (s.headerWritten) {
        if (const int code = av_write_trailer(s.format); code < 0) {
            keep(failure("cannot finish the file", code));
        }
    }
    if (s.format->pb) {
        avio_closep(&s.format->pb);
    }
    return outcome;
}

} // namespace brisklet
