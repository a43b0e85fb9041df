#pragma once

#include "Platform/ScreenCaptureBackend.h"
#include "ZelvorCore/Foundation/Geometry.h"
#include "ZelvorCore/Foundation/Image.h"

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace brisklet {

/// The file formats a screen recording can be written in.
enum class VideoContainer { quickTimeMovie, mpeg4 };

inline std::string_view toString(VideoContainer container) {
    return container == VideoContainer::quickTimeMovie ? "mov" : "mp4";
}

/// Drawn into every recorded frame (before it is encoded) on the recorder's own thread, so an
/// implementation must be safe to call from there.
class ScreenRecordingOverlay {
public:
    virtual ~ScreenRecordingOverlay() = default;
    /// `frame` shows `region` (global points, origin bottom-left) at its own pixel size;
    /// `monotonicSeconds` is the frame's capture time on the process's monotonic clock.
    virtual void draw(Image& frame, const Rect& region, double monotonicSeconds) = 0;
    /// Whether `draw` would change a frame of that moment; false lets the recorder skip preparing
    /// the frame for it.
    virtual bool drawsAt(double /*monotonicSeconds*/) const { return true; }
};

/// What one screen recording captures and how it is encoded.
struct ScreenRecordingConfiguration {
    /// The region, in points of the global desktop space (origin bottom-left), made integral.
    Rect rect;
    ScreenCaptureContext context;
    /// Encoded picture size in pixels; both even.
    int outputWidth = 2;
    int outputHeight = 2;
    int frameRate = 30;
    VideoContainer container = VideoContainer::mpeg4;
    /// The system pointer drawn into the picture.
    bool showsCursor = true;
    /// Records what the default audio output plays, in sync with the picture.
    bool capturesAudio = false;
    /// Where the file is written; it must not exist yet.
    std::filesystem::path outputURL;
    /// The recording holds at most this many frames (none: until stopped).
    std::optional<long long> maxFrameCount;
    /// Drawn over the picture (click effects); may be null.
    std::shared_ptr<ScreenRecordingOverlay> overlay;
};

/// Told what a running recording does. Calls arrive on the recorder's threads, never inside
/// `start`, `stop` or `abort`.
class ScreenRecordingDelegate {
public:
    virtual ~ScreenRecordingDelegate() = default;
    /// The first frame is being written.
    virtual void recordingDidStart() = 0;
    /// Nothing was recorded; no further call follows.
    virtual void recordingDidFailToStart(const std::string& error) = 0;
    /// The file at the output URL is complete (after `stop`, `abort`, the frame limit, or an
    /// ending of its own such as the display going away). The last call.
    virtual void recordingDidFinish() = 0;
    /// Recording or writing failed after the start; the file may be partial. The last call.
    virtual void recordingDidFail(const std::string& error) = 0;
    /// The recording goes on without sound (no audio server, no monitor source).
    virtual void recordingAudioUnavailable(const std::string& reason) = 0;
};

/// Records a screen region into a video file on its own threads.
class ScreenRecorder {
public:
    virtual ~ScreenRecorder() = default;

    /// Whether this system can record video at all.
    virtual bool isAvailable() const = 0;
    /// The containers files can be written in, and whether H.264 encoding is there.
    virtual std::vector<VideoContainer> availableContainers() const = 0;
    virtual bool supportsH264() const = 0;

    /// Starts recording `configuration` and returns at once; `delegate` hears of the start (or
    /// its failure) and of the end, and must outlive the recording. One recording at a time.
    virtual void start(const ScreenRecordingConfiguration& configuration, ScreenRecordingDelegate& delegate) = 0;
    /// Ends the recording, keeping everything captured; `recordingDidFinish` follows once the file
    /// is complete. Harmless when nothing runs.
    virtual void stop() = 0;
    /// Ends the recording as fast as possible (a cancellation); the delegate still hears the end.
    virtual void abort() = 0;
    /// Holds the recording: no frames are written until `resume`, and the file's timeline has no
    /// gap for the held time.
    virtual void pause() = 0;
    virtual void resume() = 0;
};

} // namespace brisklet
