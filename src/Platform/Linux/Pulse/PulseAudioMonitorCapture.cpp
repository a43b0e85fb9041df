#include "Platform/Linux/Pulse/PulseAudioMonitorCapture.h"

#include <pulse/error.h>
#include <pulse/simple.h>

#include <pthread.h>

#include <chrono>

namespace brisklet {

namespace {

constexpr std::size_t kChunkFrames = PulseAudioMonitorCapture::kSampleRate / 50;

double steadySeconds() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

} // namespace

PulseAudioMonitorCapture::~PulseAudioMonitorCapture() {
    stop();
}

Status<std::string> PulseAudioMonitorCapture::start(OnSamples onSamples) {
    stop();
    const pa_sample_spec sampleFormat{PA_SAMPLE_S16LE, kSampleRate, kChannels};
    // Small fragments keep the sound close to the picture.
    pa_buffer_attr attributes{};
    attributes.maxlength = static_cast<std::uint32_t>(-1);
    attributes.fragsize = static_cast<std::uint32_t>(kChunkFrames * kChannels * sizeof(std::int16_t));
    int error = 0;
    pa_simple* connection = pa_simple_new(nullptr, "Brisklet", PA_STREAM_RECORD, "@DEFAULT_MONITOR@",
                                          "Screen recording", &sampleFormat, nullptr, &attributes, &error);
    if (!connection) {
        return Status<std::string>::failure(pa_strerror(error));
    }
    stopRequested_ = false;
    reader_ = std::thread(&PulseAudioMonitorCapture::run, this, connection, std::move(onSamples));
    return succeeded<std::string>();
}

void PulseAudioMonitorCapture::stop() {
    stopRequested_ = true;
    if (reader_.joinable()) {
        reader_.join();
    }
}

void PulseAudioMonitorCapture::run(void* opaque, OnSamples onSamples) {
    pthread_setname_np(pthread_self(), "video-audio");
    auto* connection = static_cast<pa_simple*>(opaque);
    while (!stopRequested_) {
        std::vector<std::int16_t> chunk(kChunkFrames * kChannels);
        int error = 0;
        if (pa_simple_read(connection, chunk.data(), chunk.size() * sizeof(std::int16_t), &error) < 0) {
            break; // the server went away: the picture goes on alone
        }
        const double readAt = steadySeconds();
        const pa_usec_t latency = pa_simple_get_latency(connection, &error);
        const double chunkSeconds = static_cast<double>(kChunkFrames) / kSampleRate;
        const double latencySeconds = latency == static_cast<pa_usec_t>(-1) ? 0 : latency / 1e6;
        if (onSamples) {
            onSamples(std::move(chunk), readAt - latencySeconds - chunkSeconds);
        }
    }
    pa_simple_free(connection);
}

} // namespace brisklet
