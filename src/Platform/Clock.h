#pragma once

#include "ZelvorCore/Foundation/Date.h"

namespace brisklet {

/// Wall-clock and monotonic time. Tests use ManualClock so nothing ever sleeps.
class Clock {
public:
    virtual ~Clock() = default;
    /// The current wall-clock time.
    virtual Date now() const = 0;
    /// Seconds on a clock that never jumps; only differences are meaningful.
    virtual double monotonicSeconds() const = 0;
};

/// The process's real clocks.
class SystemClock final : public Clock {
public:
    Date now() const override;
    double monotonicSeconds() const override;
};

} // namespace brisklet
