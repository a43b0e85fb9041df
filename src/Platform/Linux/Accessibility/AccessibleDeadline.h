#pragma once

#include "Platform/Clock.h"
#include "Platform/Linux/Accessibility/FocusedSelectionFinder.h"

#include <algorithm>

namespace brisklet {

/// The time a walk of the accessibility bus may take, handed out call by call: each call waits
/// at most what is left and at most `callLimitMilliseconds`, so an application that stopped
/// answering cannot hold the walk past its end.
class AccessibleDeadline {
public:
    AccessibleDeadline(const Clock& clock, double seconds, int callLimitMilliseconds)
        : clock_(clock), deadline_(clock.monotonicSeconds() + seconds), callLimit_(callLimitMilliseconds) {}

    /// The timeout for the next call; zero once the time is over.
    int callTimeout() const {
        return std::min(callLimit_, FocusedSelectionFinder::millisecondsUntil(clock_, deadline_));
    }
    bool expired() const { return callTimeout() <= 0; }

private:
    const Clock& clock_;
    double deadline_;
    int callLimit_;
};

} // namespace brisklet
