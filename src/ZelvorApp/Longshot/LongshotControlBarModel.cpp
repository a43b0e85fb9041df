#include "ZelvorApp/Longshot/LongshotControlBarModel.h"

#include "ZelvorApp/Infrastructure/LocalizationStore.h"

namespace brisklet {

LongshotControlBarModel::Scrolling LongshotControlBarModel::scrollingFor(bool autoScrolling, bool autoStartPending,
                                                                         bool pausedByUser) {
    if (autoScrolling) {
        return Scrolling::automatic;
    }
    if (autoStartPending) {
        return Scrolling::autoPending;
    }
    return pausedByUser ? Scrolling::paused : Scrolling::manual;
}

LongshotControlBarModel::Toggle LongshotControlBarModel::toggle() const {
    // A pending start counts as scrolling: pausing it keeps the page still from the first frame.
    return scrolling_ == Scrolling::automatic || scrolling_ == Scrolling::autoPending ? Toggle::pause : Toggle::resume;
}

std::string LongshotControlBarModel::toggleSymbol() const {
    return toggle() == Toggle::pause ? "pause.fill" : "play.fill";
}

L10nKey LongshotControlBarModel::toggleTooltip() const {
    return toggle() == Toggle::pause ? L10nKey::longshotPauseAutoScroll : L10nKey::longshotAutoScroll;
}

L10nKey LongshotControlBarModel::titleKey() const {
    if (finalizing_) {
        return L10nKey::menuStatusFinalizingLongshot;
    }
    return scrolling_ == Scrolling::paused ? L10nKey::menuStatusPausedLongshot : L10nKey::menuStatusCapturingLongshot;
}

L10nKey LongshotControlBarModel::detailKey() const {
    if (reachedBottom_) {
        return L10nKey::longshotReachedBottom;
    }
    switch (scrolling_) {
    case Scrolling::automatic:
        return L10nKey::longshotAutoScrolling;
    case Scrolling::paused:
        return L10nKey::longshotAutoScrollPaused;
    case Scrolling::autoPending:
    case Scrolling::manual:
        break;
    }
    return L10nKey::longshotScrollHint;
}

std::string LongshotControlBarModel::title(const LocalizationStore& text) const {
    return text.text(titleKey());
}

std::string LongshotControlBarModel::detail(const LocalizationStore& text) const {
    return text.text(detailKey());
}

std::string LongshotControlBarModel::frames(const LocalizationStore& text) const {
    return text.format(L10nKey::longshotFrameCount, {frameCount_});
}

} // namespace brisklet
