#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

namespace brisklet {

class Clock;
class MainQueue;

/// Counts down one card's time on screen. Pausing keeps what is left, so a card the user hovers
/// for longer than the delay still gets the rest of its time once the pointer leaves.
///
/// Expiries are posted to the main queue and cannot be taken back; each carries the generation it
/// was scheduled in and does nothing once the timer has been paused, cancelled or restarted since.
class FloatingThumbnailDismissTimer {
public:
    FloatingThumbnailDismissTimer(MainQueue& mainQueue, const Clock& clock, double duration,
                                  std::function<void()> onExpire);
    FloatingThumbnailDismissTimer(const FloatingThumbnailDismissTimer&) = delete;
    FloatingThumbnailDismissTimer& operator=(const FloatingThumbnailDismissTimer&) = delete;

    /// Runs the full duration from now, whatever state the timer was in.
    void start();
    /// Like `start`, with a new duration. A paused timer stays paused with the full new time left.
    void restart(double duration);
    /// Stops the countdown and keeps the time that was left. Does nothing unless running.
    void pause();
    /// Continues the countdown with the time that was left. Does nothing unless paused.
    void resume();
    /// Stops for good (until the next `start`); the expiry never runs.
    void cancel();

    double duration() const { return duration_; }
    /// Time left; while running, as of the last start or resume.
    double remaining() const { return remaining_; }
    /// Monotonic time of the last start or resume while running.
    std::optional<double> startedAt() const { return startedAt_; }
    bool isPaused() const { return isPaused_; }
    bool isRunning() const { return startedAt_.has_value(); }

private:
    void schedule();
    void invalidateScheduledExpiry();

    MainQueue& mainQueue_;
    const Clock& clock_;
    double duration_;
    std::function<void()> onExpire_;
    double remaining_;
    std::optional<double> startedAt_;
    bool isPaused_ = false;
    /// Shared with the posted expiries so they can tell whether they are still current, and whether
    /// the timer still exists at all.
    std::shared_ptr<std::uint64_t> generation_ = std::make_shared<std::uint64_t>(0);
};

} // namespace brisklet
