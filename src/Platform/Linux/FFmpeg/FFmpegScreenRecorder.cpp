#include "Platform/Linux/FFmpeg/FFmpegScreenRecorder.h"

#include "Platform/Linux/FFmpeg/FFmpegPictureConverter.h"
#include "Platform/Linux/FFmpeg/FFmpegVideoEncoder.h"
#include "Platform/Linux/FFmpeg/FrameRateGrid.h"
#include "Platform/Linux/Pulse/PulseAudioMonitorCapture.h"
#include "Platform/Linux/X11/X11CursorImage.h"
#include "Platform/ScreenFrameStream.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/log.h>
}

#include <pthread.h>

#include <array>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <variant>

namespace brisklet {

namespace {

double steadySeconds() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

/// Sound captured before the first picture is kept this long, so its start can be matched.
constexpr double kEarlyAudioSeconds = 2.0;
/// Sound that drifts further than this from the picture is moved back into place.
constexpr double kAudioDriftSeconds = 0.1;

} // namespace

struct FFmpegScreenRecorder::Event {
    struct Frame {
        FFmpegPicture picture;
        double seconds;
    };
    struct Audio {
        std::vector<std::int16_t> samples;
        double seconds;
    };
    struct Pause {
        double seconds;
    };
    struct Resume {
        double seconds;
    };
    struct Stop {
        double seconds;
    };
    struct Abort {};
    struct Ended {
        std::string error;
    };
    std::variant<Frame, Audio, Pause, Resume, Stop, Abort, Ended> payload;
};

/// One recording: the queue between the capture threads and the encoder thread, and the encoder
/// thread's own state.
struct FFmpegScreenRecorder::Run {
    ScreenRecordingConfiguration configuration;
    ScreenRecordingDelegate* delegate = nullptr;
    ScreenFrameStream* stream = nullptr;
    std::string displayName;

    std::mutex mutex;
    std::condition_variable wake;
    std::deque<Event> events;
    int framesQueued = 0;
    Statistics statistics;

    // Stream thread only (made before the stream starts).
    std::unique_ptr<FFmpegPictureConverter> converter;
    std::unique_ptr<X11CursorImage> cursor;
    /// Frames drawn on by the overlay, which draws on images.
    Image overlayFrame;
    /// What the previous grab was turned into: an unchanged grab after it reuses its picture.
    bool previousQueued = false;
    bool previousHadOverlay = false;
    std::optional<X11CursorImage::Cursor> previousPointer;
    /// The grab's own pixels under the pointer while the pointer is drawn on it.
    std::vector<std::uint8_t> underPointer;

    // Encoder thread only.
    std::unique_ptr<FFmpegVideoEncoder> encoder;
    FrameRateGrid grid{30, std::nullopt};
    std::deque<Event::Audio> earlyAudio;
    /// The newest picture that has no slot yet (it came while paused or lost its slot); an
    /// unchanged grab after it shows it.
    FFmpegPicture unplaced;
    bool isAudioAligned = false;
    bool hasStarted = false;

    void push(Event event) {
        {
            std::lock_guard lock(mutex);
            if (std::holds_alternative<Event::Frame>(event.payload)) {
                ++framesQueued;
            }
            events.push_back(std::move(event));
        }
        wake.notify_one();
    }

    /// Whether the encoder has room for another picture; counts the grab either way.
    bool admitsFrame() {
        std::lock_guard lock(mutex);
        ++statistics.captured;
        // Only this thread adds pictures, so the room cannot go before the picture is queued.
        if (framesQueued >= kQueueDepth) {
            ++statistics.dropped;
            return false;
        }
        return true;
    }

    Event next() {
        std::unique_lock lock(mutex);
        wake.wait(lock, [this] { return !events.empty(); });
        Event event = std::move(events.front());
        events.pop_front();
        if (std::holds_alternative<Event::Frame>(event.payload)) {
            --framesQueued;
        }
        return event;
    }

    void execute();
    void capture(ScreenPixels& pixels);
    bool isUnchanged(const ScreenPixels& pixels, const std::optional<X11CursorImage::Cursor>& pointer,
                     bool overlayDraws) const;
    /// Draws the pointer on `pixels`, keeping what it covers for `restorePointer`; the rows and
    /// columns it covers.
    std::array<int, 4> drawPointer(ScreenPixels& pixels, const X11CursorImage::Cursor& pointer);
    void restorePointer(ScreenPixels& pixels, const std::array<int, 4>& covered);
    void drawOverlay(ScreenPixels& pixels, double seconds);
    Status<std::string> record();
    Status<std::string> writeFrame(Event::Frame& frame);
    Status<std::string> repeat(long long from, long long to);
    Status<std::string> writeAudio(Event::Audio& audio);
    Status<std::string> finish(double stopSeconds);
};

FFmpegScreenRecorder::FFmpegScreenRecorder(ScreenFrameStream& stream, std::string displayName)
    : stream_(stream), displayName_(std::move(displayName)) {
    // The encoders' progress chatter would land on the terminal of every recording; failures
    // still come back as errors.
    av_log_set_level(AV_LOG_ERROR);
}

FFmpegScreenRecorder::~FFmpegScreenRecorder() {
    abort();
    join();
}

std::vector<VideoContainer> FFmpegScreenRecorder::availableContainers() const {
    std::vector<VideoContainer> containers;
    if (av_guess_format("mov", nullptr, nullptr)) {
        containers.push_back(VideoContainer::quickTimeMovie);
    }
    if (av_guess_format("mp4", nullptr, nullptr)) {
        containers.push_back(VideoContainer::mpeg4);
    }
    return containers;
}

bool FFmpegScreenRecorder::supportsH264() const {
    return avcodec_find_encoder_by_name("libx264") != nullptr;
}

void FFmpegScreenRecorder::start(const ScreenRecordingConfiguration& configuration, ScreenRecordingDelegate& delegate) {
    abort();
    join();
    auto run = std::make_shared<Run>();
    run->configuration = configuration;
    run->delegate = &delegate;
    run->stream = &stream_;
    run->displayName = displayName_;
    run->grid = FrameRateGrid(configuration.frameRate, configuration.maxFrameCount);
    run_ = run;
    worker_ = std::thread([this, run] {
        pthread_setname_np(pthread_self(), "video-encode");
        run->execute();
        std::lock_guard lock(statisticsMutex_);
        std::lock_guard runLock(run->mutex);
        statistics_ = run->statistics;
    });
}

void FFmpegScreenRecorder::push(Event event) {
    if (run_) {
        run_->push(std::move(event));
    }
}

void FFmpegScreenRecorder::stop() {
    push({Event::Stop{steadySeconds()}});
}

void FFmpegScreenRecorder::abort() {
    push({Event::Abort{}});
}

void FFmpegScreenRecorder::pause() {
    push({Event::Pause{steadySeconds()}});
}

void FFmpegScreenRecorder::resume() {
    push({Event::Resume{steadySeconds()}});
}

void FFmpegScreenRecorder::join() {
    if (worker_.joinable()) {
        worker_.join();
    }
    run_.reset();
}

FFmpegScreenRecorder::Statistics FFmpegScreenRecorder::lastStatistics() const {
    std::lock_guard lock(statisticsMutex_);
    return statistics_;
}

void FFmpegScreenRecorder::Run::execute() {
    const ScreenRecordingConfiguration& c = configuration;
    PulseAudioMonitorCapture audio;
    bool withAudio = false;
    if (c.capturesAudio) {
        auto started = audio.start([this](std::vector<std::int16_t> samples, double seconds) {
            push({Event::Audio{std::move(samples), seconds}});
        });
        withAudio = started.ok();
        if (!started) {
            delegate->recordingAudioUnavailable("no audio server: " + started.error());
        }
    }
    FFmpegVideoEncoder::Settings settings{c.outputURL, c.container, c.outputWidth, c.outputHeight, c.frameRate,
                                          withAudio};
    auto opened = FFmpegVideoEncoder::open(settings);
    if (!opened) {
        audio.stop();
        delegate->recordingDidFailToStart(opened.error());
        return;
    }
    encoder = std::move(opened).value();
    if (c.showsCursor) {
        cursor = std::make_unique<X11CursorImage>(displayName);
    }
    converter = std::make_unique<FFmpegPictureConverter>(static_cast<int>(c.rect.width()),
                                                         static_cast<int>(c.rect.height()), c.outputWidth,
                                                         c.outputHeight);
    const ScreenFrameStreamConfiguration frames{c.rect, c.context, c.frameRate, 0};
    auto streaming = stream->startLending(
        frames, [this](ScreenPixels& pixels) { capture(pixels); },
        [this](const std::string& error) { push({Event::Ended{error}}); });
    if (!streaming) {
        audio.stop();
        encoder.reset();
        std::error_code ignored;
        std::filesystem::remove(c.outputURL, ignored);
        delegate->recordingDidFailToStart("cannot stream the region: " + streaming.error());
        return;
    }
    auto outcome = record();
    stream->stop();
    audio.stop();
    if (!hasStarted) {
        encoder.reset();
        std::error_code ignored;
        std::filesystem::remove(c.outputURL, ignored);
        delegate->recordingDidFailToStart(outcome ? "no picture arrived" : outcome.error());
        return;
    }
    auto finished = encoder->finish();
    encoder.reset();
    if (!outcome || !finished) {
        delegate->recordingDidFail(!outcome ? outcome.error() : finished.error());
    } else {
        delegate->recordingDidFinish();
    }
}

void FFmpegScreenRecorder::Run::capture(ScreenPixels& pixels) {
    const double seconds = steadySeconds();
    if (!admitsFrame()) {
        previousQueued = false;
        return;
    }
    std::optional<X11CursorImage::Cursor> pointer = cursor ? cursor->current() : std::nullopt;
    const bool overlayDraws = configuration.overlay && configuration.overlay->drawsAt(seconds);
    // Most of a screen recording is a still screen: a grab equal to the one before costs a
    // comparison instead of a conversion, and the encoder sends the same picture again.
    if (isUnchanged(pixels, pointer, overlayDraws)) {
        {
            std::lock_guard lock(mutex);
            ++statistics.unchanged;
        }
        push({Event::Frame{nullptr, seconds}});
        return;
    }
    ScreenPixels grabbed = pixels;
    std::array<int, 4> covered{0, 0, 0, 0};
    if (pointer) {
        covered = drawPointer(pixels, *pointer);
    }
    drawOverlay(pixels, seconds);
    auto picture = converter->convert(pixels);
    restorePointer(grabbed, covered);
    previousQueued = picture.ok();
    previousHadOverlay = overlayDraws;
    previousPointer = std::move(pointer);
    if (!picture) {
        push({Event::Ended{picture.error()}});
        return;
    }
    push({Event::Frame{std::move(picture).value(), seconds}});
}

bool FFmpegScreenRecorder::Run::isUnchanged(const ScreenPixels& pixels,
                                            const std::optional<X11CursorImage::Cursor>& pointer,
                                            bool overlayDraws) const {
    if (!previousQueued || !pixels.previous || overlayDraws || previousHadOverlay) {
        return false;
    }
    const bool samePointer = pointer.has_value() == previousPointer.has_value() &&
                             (!pointer || (pointer->x == previousPointer->x && pointer->y == previousPointer->y &&
                                           pointer->image == previousPointer->image));
    return samePointer &&
           std::memcmp(pixels.data, pixels.previous, pixels.bytesPerRow * static_cast<std::size_t>(pixels.height)) == 0;
}

std::array<int, 4> FFmpegScreenRecorder::Run::drawPointer(ScreenPixels& pixels, const X11CursorImage::Cursor& pointer) {
    const Rect& region = configuration.rect;
    const Rect& desktop = configuration.context.virtualDesktopFrame;
    const int originX = static_cast<int>(region.minX() - desktop.minX());
    const int originY = static_cast<int>(desktop.maxY() - region.maxY());
    const int width = pointer.image ? pointer.image->width() : 0;
    const int height = pointer.image ? pointer.image->height() : 0;
    const std::array<int, 4> covered{std::max(0, pointer.y - originY),
                                     std::min(pixels.height, pointer.y - originY + height),
                                     std::max(0, pointer.x - originX),
                                     std::min(pixels.width, pointer.x - originX + width)};
    underPointer.clear();
    for (int y = covered[0]; y < covered[1] && covered[2] < covered[3]; ++y) {
        const std::uint8_t* row = pixels.data + static_cast<std::size_t>(y) * pixels.bytesPerRow;
        underPointer.insert(underPointer.end(), row + covered[2] * 4, row + covered[3] * 4);
    }
    X11CursorImage::draw(pixels, pointer, originX, originY);
    return covered;
}

void FFmpegScreenRecorder::Run::restorePointer(ScreenPixels& pixels, const std::array<int, 4>& covered) {
    const std::size_t span = covered[3] > covered[2] ? static_cast<std::size_t>(covered[3] - covered[2]) * 4 : 0;
    for (int y = covered[0], i = 0; y < covered[1] && span > 0; ++y, ++i) {
        std::memcpy(pixels.data + static_cast<std::size_t>(y) * pixels.bytesPerRow + covered[2] * 4,
                    underPointer.data() + static_cast<std::size_t>(i) * span, span);
    }
}

void FFmpegScreenRecorder::Run::drawOverlay(ScreenPixels& pixels, double seconds) {
    if (!configuration.overlay || !configuration.overlay->drawsAt(seconds)) {
        return;
    }
    if (overlayFrame.width() != pixels.width || overlayFrame.height() != pixels.height) {
        overlayFrame = Image(pixels.width, pixels.height);
    }
    for (int y = 0; y < pixels.height; ++y) {
        const std::uint8_t* from = pixels.data + static_cast<std::size_t>(y) * pixels.bytesPerRow;
        std::uint8_t* to = overlayFrame.row(y);
        for (int x = 0; x < pixels.width; ++x, from += 4, to += 4) {
            to[0] = from[pixels.isBGRX ? 2 : 0];
            to[1] = from[1];
            to[2] = from[pixels.isBGRX ? 0 : 2];
            to[3] = 255;
        }
    }
    configuration.overlay->draw(overlayFrame, configuration.rect, seconds);
    pixels = ScreenPixels{overlayFrame.data(), overlayFrame.width(), overlayFrame.height(), overlayFrame.bytesPerRow(),
                          false};
}

Status<std::string> FFmpegScreenRecorder::Run::record() {
    for (;;) {
        Event event = next();
        Status<std::string> step = succeeded<std::string>();
        if (auto* frame = std::get_if<Event::Frame>(&event.payload)) {
            step = writeFrame(*frame);
            converter->recycle(std::move(frame->picture));
        } else if (auto* sound = std::get_if<Event::Audio>(&event.payload)) {
            step = writeAudio(*sound);
        } else if (auto* held = std::get_if<Event::Pause>(&event.payload)) {
            grid.pause(held->seconds);
        } else if (auto* resumed = std::get_if<Event::Resume>(&event.payload)) {
            grid.resume(resumed->seconds);
        } else if (auto* stopped = std::get_if<Event::Stop>(&event.payload)) {
            return finish(stopped->seconds);
        } else if (std::holds_alternative<Event::Ended>(event.payload)) {
            // The display went away: what was recorded is kept.
            return finish(steadySeconds());
        } else {
            return succeeded<std::string>(); // aborted: the file is finished as it stands
        }
        if (!step) {
            return step;
        }
    }
}

Status<std::string> FFmpegScreenRecorder::Run::repeat(long long from, long long to) {
    for (long long index = from; index < to; ++index) {
        if (auto step = encoder->repeatFrame(index); !step) {
            return step;
        }
        std::lock_guard lock(mutex);
        ++statistics.repeated;
        ++statistics.written;
    }
    return succeeded<std::string>();
}

Status<std::string> FFmpegScreenRecorder::Run::writeFrame(Event::Frame& frame) {
    if (frame.picture) {
        converter->recycle(std::move(unplaced)); // older than what is on screen now
    }
    const bool outsideTheRecording = grid.isPaused() || grid.isFull();
    const FrameRateGrid::Placement placement = grid.place(frame.seconds);
    if (!placement.index) {
        // Pictures while paused or after the last frame are not part of the recording; only one
        // that lost its slot to the previous picture is a dropped frame.
        if (!outsideTheRecording) {
            std::lock_guard lock(mutex);
            ++statistics.dropped;
        }
        if (frame.picture) {
            unplaced = std::move(frame.picture);
        }
        return succeeded<std::string>();
    }
    if (auto step = repeat(placement.firstRepeat, placement.repeatEnd); !step) {
        return step;
    }
    if (!frame.picture) {
        frame.picture = std::move(unplaced); // null: the screen is as in the picture written last
    }
    if (frame.picture) {
        auto written = encoder->writePicture(std::move(frame.picture), *placement.index);
        if (!written) {
            return Status<std::string>::failure(written.error());
        }
        frame.picture = std::move(written).value();
    } else if (auto step = encoder->repeatFrame(*placement.index); !step) {
        return step;
    }
    {
        std::lock_guard lock(mutex);
        ++statistics.written;
    }
    if (!hasStarted) {
        hasStarted = true;
        delegate->recordingDidStart();
        for (auto& early : std::exchange(earlyAudio, {})) {
            if (auto step = writeAudio(early); !step) {
                return step;
            }
        }
    }
    return succeeded<std::string>();
}

Status<std::string> FFmpegScreenRecorder::Run::writeAudio(Event::Audio& audio) {
    if (!grid.hasOrigin()) {
        const double newest = audio.seconds;
        earlyAudio.push_back(std::move(audio));
        while (!earlyAudio.empty() && newest - earlyAudio.front().seconds > kEarlyAudioSeconds) {
            earlyAudio.pop_front();
        }
        return succeeded<std::string>();
    }
    if (grid.isPaused() || grid.isFull()) {
        return succeeded<std::string>();
    }
    constexpr int rate = FFmpegVideoEncoder::kSampleRate;
    constexpr int channels = FFmpegVideoEncoder::kChannels;
    const long long expected = std::llround((audio.seconds - grid.origin() - grid.heldSeconds()) * rate);
    const long long drift = expected - encoder->sampleCount();
    std::size_t skip = 0;
    if (!isAudioAligned || std::llabs(drift) > static_cast<long long>(kAudioDriftSeconds * rate)) {
        isAudioAligned = true;
        if (drift > 0) {
            const std::vector<std::int16_t> silence(static_cast<std::size_t>(drift) * channels, 0);
            if (auto step = encoder->writeSamples(silence.data(), drift); !step) {
                return step;
            }
        } else {
            skip = static_cast<std::size_t>(-drift) * channels;
        }
    }
    if (skip >= audio.samples.size()) {
        isAudioAligned = false; // entirely before the picture's start; the next chunk aligns
        return succeeded<std::string>();
    }
    return encoder->writeSamples(audio.samples.data() + skip,
                                 static_cast<long long>((audio.samples.size() - skip) / channels));
}

Status<std::string> FFmpegScreenRecorder::Run::finish(double stopSeconds) {
    if (!hasStarted) {
        return succeeded<std::string>();
    }
    const FrameRateGrid::Placement tail = grid.finish(stopSeconds);
    if (auto step = repeat(tail.firstRepeat, tail.repeatEnd); !step) {
        return step;
    }
    if (configuration.capturesAudio && encoder->sampleCount() > 0) {
        // The sound runs as long as the picture, even when the output fell silent early.
        const long long wanted = std::llround(grid.duration() * FFmpegVideoEncoder::kSampleRate);
        const long long missing = wanted - encoder->sampleCount();
        if (missing > 0) {
            const std::vector<std::int16_t> silence(static_cast<std::size_t>(missing) * FFmpegVideoEncoder::kChannels,
                                                    0);
            return encoder->writeSamples(silence.data(), missing);
        }
    }
    return succeeded<std::string>();
}

} // namespace brisklet
