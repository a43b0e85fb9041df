#pragma once

#include "Platform/ScreenRecorder.h"

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace brisklet {

class ScreenFrameStream;

/// Screen recordings on Linux: pictures of the region come from a frame stream (the X11 one in
/// the application), sound from the default output's monitor through PulseAudio. The stream's
/// thread draws the system pointer and the overlay on each grab where it lies and converts it to
/// YUV at once (the grab is never copied); an encoder thread ("video-encode") puts the pictures on
/// a constant frame-rate grid and writes H.264 and AAC through FFmpeg. When the encoder falls
/// behind, grabs are dropped before they are converted and the grid repeats the previous picture,
/// so the timeline stays true.
class FFmpegScreenRecorder final : public ScreenRecorder {
public:
    /// Streams pictures from `stream`; the pointer is read from `displayName` (empty: $DISPLAY).
    explicit FFmpegScreenRecorder(ScreenFrameStream& stream, std::string displayName = {});
    ~FFmpegScreenRecorder() override;
    FFmpegScreenRecorder(const FFmpegScreenRecorder&) = delete;
    FFmpegScreenRecorder& operator=(const FFmpegScreenRecorder&) = delete;

    bool isAvailable() const override { return true; }
    std::vector<VideoContainer> availableContainers() const override;
    bool supportsH264() const override;

    void start(const ScreenRecordingConfiguration& configuration, ScreenRecordingDelegate& delegate) override;
    void stop() override;
    void abort() override;
    void pause() override;
    void resume() override;

    /// Grabs taken, pictures dropped (no room in the queue, or no slot of their own on the grid),
    /// slots filled by repeating and frames written, in the last recording. Grabs while paused or
    /// after the last frame are captured but not dropped: they were never part of the recording.
    struct Statistics {
        long long captured = 0;
        long long dropped = 0;
        long long repeated = 0;
        long long written = 0;
        /// Grabs equal to the one before, whose picture was sent again instead of converted anew.
        long long unchanged = 0;
    };
    Statistics lastStatistics() const;

    /// Pictures waiting for the encoder; enough to ride out a busy quarter second at 30 fps (as
    /// ffmpeg's own input queue does), bounded so a slow machine costs frames, not memory.
    static constexpr int kQueueDepth = 8;

private:
    struct Event;
    struct Run;
    void push(Event event);
    void join();

    ScreenFrameStream& stream_;
    std::string displayName_;
    std::thread worker_;
    std::shared_ptr<Run> run_;
    mutable std::mutex statisticsMutex_;
    Statistics statistics_;
};

} // namespace brisklet
