#pragma once

#include "ZelvorApp/Longshot/LongshotAutoScroller.h"
#include "ZelvorApp/Longshot/LongshotRecorder.h"

#include <functional>

namespace brisklet {

/// Drives auto-scrolling during a scrolling capture: starts it once the first frame is in,
/// scrolls one step after each capture, finishes at the bottom of the page, and pauses or
/// resumes at the user's request. The application controller owns it next to the recorder and
/// the scroller; main thread only.
class LongshotAutoScrollCoordinator {
public:
    /// Synthetic input may need the user's permission (accessibility access).
    struct InputPermission {
        /// Whether access is granted now; decides at start whether auto-scrolling will follow.
        std::function<bool()> isTrusted;
        /// Asks for access (may prompt); true when granted.
        std::function<bool()> requestAccess;
        /// Access was refused: refresh the permission state and show the settings to grant it.
        std::function<void()> onAccessDenied;
    };

    LongshotAutoScrollCoordinator(LongshotRecorder& recorder, LongshotAutoScroller& scroller,
                                  InputPermission permission);

    /// Starts the recording with the controller's callbacks; ours are chained in front of them.
    void start(const LongshotRecorder::StartRequest& request, LongshotRecorder::Callbacks callbacks);
    /// The play button: (re)starts auto-scrolling while capturing, when not already scrolling.
    void resume();
    /// The pause button: auto-scrolling stops, manual scrolling keeps being captured.
    void pause();
    /// The stop button: finish and export.
    void finish();
    /// The cancel button: discard.
    void cancel();

    bool isAutoScrolling() const { return autoScrolling_; }
    bool isAutoStartPending() const { return autoStartPending_; }

private:
    void handlePreview(const LongshotPreviewSnapshot& snapshot);
    void handleCaptureActivity(bool active);
    void handleStableBottom();
    void handleMatchAccepted(const LongshotOverlapMatch& match);
    void reset();

    LongshotRecorder& recorder_;
    LongshotAutoScroller& scroller_;
    InputPermission permission_;
    LongshotRecorder::Callbacks controller_;
    bool autoStartPending_ = false;
    bool autoScrolling_ = false;
};

} // namespace brisklet
