#pragma once

#include "Platform/ScreenRecorder.h"

#include <fstream>
#include <string>
#include <vector>

namespace brisklet {

/// A screen recorder the test drives by hand: it remembers what it was asked and tells the
/// delegate only what the test says, on the test's thread, so every interleaving can be played.
class ScriptedScreenRecorder final : public ScreenRecorder {
public:
    bool isAvailable() const override { return available; }
    std::vector<VideoContainer> availableContainers() const override { return containers; }
    bool supportsH264() const override { return h264; }

    void start(const ScreenRecordingConfiguration& started, ScreenRecordingDelegate& delegate) override {
        ++startCount;
        configuration = started;
        delegate_ = &delegate;
        calls.push_back("start");
    }
    void stop() override { calls.push_back("stop"); }
    void abort() override { calls.push_back("abort"); }
    void pause() override { calls.push_back("pause"); }
    void resume() override { calls.push_back("resume"); }

    /// Writes `bytes` at the output URL, as an encoder would.
    void writeFile(const std::string& bytes) const {
        std::ofstream(configuration.outputURL, std::ios::binary) << bytes;
    }
    void reportStarted() { delegate_->recordingDidStart(); }
    void reportStartFailure(const std::string& error) { delegate_->recordingDidFailToStart(error); }
    void reportFinished() { delegate_->recordingDidFinish(); }
    void reportFailure(const std::string& error) { delegate_->recordingDidFail(error); }
    void reportAudioUnavailable(const std::string& reason) { delegate_->recordingAudioUnavailable(reason); }

    bool available = true;
    bool h264 = true;
    std::vector<VideoContainer> containers{VideoContainer::quickTimeMovie, VideoContainer::mpeg4};
    ScreenRecordingConfiguration configuration;
    std::vector<std::string> calls;
    int startCount = 0;

private:
    ScreenRecordingDelegate* delegate_ = nullptr;
};

} // namespace brisklet
