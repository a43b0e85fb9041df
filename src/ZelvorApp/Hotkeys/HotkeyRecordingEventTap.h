#pragma once

#include "Platform/KeyboardGrab.h"

#include <functional>

namespace brisklet {

/// While the settings window records a combination, takes the whole keyboard so that
/// combinations the desktop or another program would take still reach the recorder. Key-downs go
/// to `onRawKeyDown`, everything else to `onEvent`. Main queue only.
class HotkeyRecordingEventTap {
public:
    explicit HotkeyRecordingEventTap(KeyboardGrab& grab) : grab_(grab) {}
    ~HotkeyRecordingEventTap() { stop(); }
    HotkeyRecordingEventTap(const HotkeyRecordingEventTap&) = delete;
    HotkeyRecordingEventTap& operator=(const HotkeyRecordingEventTap&) = delete;

    std::function<bool(const RawKeyEvent&)> onRawKeyDown;
    std::function<bool(const RawKeyEvent&)> onEvent;
    /// Asked when the keyboard cannot be taken, so the user can be told what to allow.
    std::function<void()> requestAccessibilityTrust;

    /// False when the keyboard could not be taken (logged).
    bool start();
    void stop();
    bool isRunning() const { return running_; }

private:
    KeyboardGrab& grab_;
    bool running_ = false;
};

} // namespace brisklet
