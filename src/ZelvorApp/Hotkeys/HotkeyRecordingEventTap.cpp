#include "ZelvorApp/Hotkeys/HotkeyRecordingEventTap.h"

#include "ZelvorApp/Infrastructure/RuntimeLogger.h"

namespace brisklet {

bool HotkeyRecordingEventTap::start() {
    stop();
    running_ = grab_.grabKeyboard([this](const RawKeyEvent& event) {
        if (event.type == RawKeyEvent::Type::keyDown && onRawKeyDown && onRawKeyDown(event)) {
            return true;
        }
        return onEvent ? onEvent(event) : false;
    });
    if (!running_) {
        RuntimeLogger::log("hotkey recording event tap unavailable; requesting accessibility trust");
        if (requestAccessibilityTrust) {
            requestAccessibilityTrust();
        }
    }
    return running_;
}

void HotkeyRecordingEventTap::stop() {
    if (running_) {
        grab_.ungrabKeyboard();
        running_ = false;
    }
}

} // namespace brisklet
