#pragma once

#include "ZelvorApp/Infrastructure/L10nKey.h"

#include <string>

namespace brisklet {

class LocalizationStore;

/// What the control bar of a scrolling capture shows: whether the page scrolls by itself, what
/// the play/pause button does, the status texts, and whether the buttons still do anything.
/// Main thread only; the bar redraws when the session tells it to.
class LongshotControlBarModel {
public:
    enum class Scrolling {
        /// Auto-scrolling starts once the first frame is in.
        autoPending,
        automatic,
        /// Auto-scrolling is not available (no accessibility access) or was refused.
        manual,
        /// The user paused auto-scrolling and scrolls by hand.
        paused,
    };
    enum class Toggle { pause, resume };

    /// The state the auto-scroll coordinator is in, as the bar sees it.
    static Scrolling scrollingFor(bool autoScrolling, bool autoStartPending, bool pausedByUser);

    void setScrolling(Scrolling scrolling) { scrolling_ = scrolling; }
    Scrolling scrolling() const { return scrolling_; }
    void setFrameCount(int count) { frameCount_ = count < 0 ? 0 : count; }
    int frameCount() const { return frameCount_; }
    void setReachedBottom(bool reached) { reachedBottom_ = reached; }
    bool reachedBottom() const { return reachedBottom_; }
    /// Stitching and writing: nothing can be changed any more.
    void setFinalizing(bool finalizing) { finalizing_ = finalizing; }
    bool finalizing() const { return finalizing_; }

    Toggle toggle() const;
    /// The symbol name of the play/pause button.
    std::string toggleSymbol() const;
    L10nKey toggleTooltip() const;
    bool controlsEnabled() const { return !finalizing_; }

    L10nKey titleKey() const;
    L10nKey detailKey() const;
    std::string title(const LocalizationStore& text) const;
    std::string detail(const LocalizationStore& text) const;
    std::string frames(const LocalizationStore& text) const;

private:
    Scrolling scrolling_ = Scrolling::manual;
    int frameCount_ = 0;
    bool reachedBottom_ = false;
    bool finalizing_ = false;
};

} // namespace brisklet
