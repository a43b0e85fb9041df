#pragma once

#include "Platform/ScreenFrameStream.h"

#include <optional>
#include <utility>

namespace brisklet {

/// A frame stream the test drives by hand: frames and self-inflicted stops are delivered on the
/// test's thread when it says so, and starts can be made to fail.
class ScriptedScreenFrameStream final : public ScreenFrameStream {
public:
    Status<std::string> start(const ScreenFrameStreamConfiguration& configuration, FrameHandler onFrame,
                              StopHandler onStopped) override {
        stop();
        ++startCount_;
        if (startFailure_) {
            return Status<std::string>::failure(*std::exchange(startFailure_, std::nullopt));
        }
        configuration_ = configuration;
        onFrame_ = std::move(onFrame);
        onStopped_ = std::move(onStopped);
        return succeeded<std::string>();
    }
    void stop() override {
        onFrame_ = nullptr;
        onStopped_ = nullptr;
    }

    /// The next start fails with `error`.
    void failNextStart(std::string error) { startFailure_ = std::move(error); }
    bool isRunning() const { return static_cast<bool>(onFrame_); }
    int startCount() const { return startCount_; }
    const ScreenFrameStreamConfiguration& configuration() const { return configuration_; }

    /// Hands `frame` to the running stream's handler; false when no stream runs.
    bool deliver(Image frame) {
        if (!onFrame_)
            return false;
        onFrame_(std::move(frame));
        return true;
    }
    /// Ends the running stream as if the display had gone away.
    void endByItself(const std::string& error) {
        auto onStopped = std::move(onStopped_);
        stop();
        if (onStopped)
            onStopped(error);
    }

private:
    ScreenFrameStreamConfiguration configuration_;
    FrameHandler onFrame_;
    StopHandler onStopped_;
    std::optional<std::string> startFailure_;
    int startCount_ = 0;
};

} // namespace brisklet
