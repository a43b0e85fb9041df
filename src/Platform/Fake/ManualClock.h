#pragma once

#include "Platform/Clock.h"

#include <atomic>

namespace brisklet {

/// A clock that moves only when told to; wall and monotonic time advance together.
class ManualClock final : public Clock {
public:
    explicit ManualClock(Date start = Date{1'700'000'000.0}) : wall_(start.secondsSince1970) {}

    Date now() const override { return Date{wall_.load()}; }
    double monotonicSeconds() const override { return monotonic_.load(); }

    void advance(double seconds) {
        wall_.store(wall_.load() + seconds);
        monotonic_.store(monotonic_.load() + seconds);
    }
    void setNow(Date date) { wall_.store(date.secondsSince1970); }

private:
    std::atomic<double> wall_;
    std::atomic<double> monotonic_{1000.0};
};

} // namespace brisklet
