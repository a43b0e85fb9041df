#pragma once

#include "ZelvorCore/Foundation/Result.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace brisklet {

/// What the default audio output plays, read from its monitor source through PulseAudio's simple
/// API (PipeWire serves the same protocol on current desktops): interleaved signed 16-bit stereo at
/// 48 kHz, in chunks of about 20 ms, on a reader thread of its own.
class PulseAudioMonitorCapture {
public:
    static constexpr int kSampleRate = 48000;
    static constexpr int kChannels = 2;
    /// Runs on the reader thread with one chunk and the monotonic time (steady clock seconds) at
    /// which its first sample was played.
    using OnSamples = std::function<void(std::vector<std::int16_t> samples, double firstSampleSeconds)>;

    PulseAudioMonitorCapture() = default;
    ~PulseAudioMonitorCapture();
    PulseAudioMonitorCapture(const PulseAudioMonitorCapture&) = delete;
    PulseAudioMonitorCapture& operator=(const PulseAudioMonitorCapture&) = delete;

    /// Connects to the audio server and starts reading; the server's reason when it cannot (no
    /// server running, no monitor of the default output).
    Status<std::string> start(OnSamples onSamples);
    /// Stops reading; no callback runs after this returns.
    void stop();

private:
    void run(void* connection, OnSamples onSamples);

    std::thread reader_;
    std::atomic<bool> stopRequested_{false};
};

} // namespace brisklet
