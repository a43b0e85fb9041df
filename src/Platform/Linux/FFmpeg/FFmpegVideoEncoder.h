#pragma once

#include "Platform/Linux/FFmpeg/FFmpegPicture.h"
#include "Platform/ScreenRecorder.h"
#include "ZelvorCore/Foundation/Result.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

namespace brisklet {

/// Writes H.264 video (libx264, yuv420p) and, optionally, AAC sound into an MP4 or MOV file with
/// libavformat. Not thread-safe: one thread feeds it. Frames are placed by their index on the
/// frame-rate grid, so a repeated index is the caller's mistake, and a gap is shown as a pause.
class FFmpegVideoEncoder {
public:
    struct Settings {
        std::filesystem::path file;
        VideoContainer container = VideoContainer::mpeg4;
        int outputWidth = 2;
        int outputHeight = 2;
        int frameRate = 30;
        bool withAudio = false;
    };
    static constexpr int kSampleRate = 48000;
    static constexpr int kChannels = 2;

    /// Creates the file and writes its header; the reason when that fails (nothing is left then).
    static Result<std::unique_ptr<FFmpegVideoEncoder>, std::string> open(const Settings& settings);
    ~FFmpegVideoEncoder();
    FFmpegVideoEncoder(const FFmpegVideoEncoder&) = delete;
    FFmpegVideoEncoder& operator=(const FFmpegVideoEncoder&) = delete;

    /// Encodes `picture` (YUV 4:2:0 at the output size) as frame number `index` and keeps it for
    /// repeats; gives back the picture it kept before (none at first), for reuse.
    Result<FFmpegPicture, std::string> writePicture(FFmpegPicture picture, long long index);
    /// Encodes the previous picture again as frame number `index`.
    Status<std::string> repeatFrame(long long index);
    /// Appends interleaved signed 16-bit stereo samples at 48 kHz to the sound track.
    Status<std::string> writeSamples(const std::int16_t* samples, long long frameCount);
    /// Sound samples written so far.
    long long sampleCount() const { return samplesWritten_; }
    bool hasFrame() const;
    /// Flushes both encoders and finishes the file (the index moves to the front for MP4).
    Status<std::string> finish();

private:
    struct State;
    explicit FFmpegVideoEncoder(std::unique_ptr<State> state);
    Status<std::string> sendVideo(long long index);
    Status<std::string> encodeAudioFrame(int frameSize);
    Status<std::string> drain(int streamKind, bool flushing);

    std::unique_ptr<State> state_;
    long long samplesWritten_ = 0;
    bool finished_ = false;
};

} // namespace brisklet
