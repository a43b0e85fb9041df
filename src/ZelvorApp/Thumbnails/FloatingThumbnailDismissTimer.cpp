#include "ZelvorApp/Thumbnails/FloatingThumbnailDismissTimer.h"

#include "Platform/Clock.h"
#include "Platform/MainQueue.h"

#include <algorithm>
#include <utility>

namespace brisklet {

FloatingThumbnailDismissTimer::FloatingThumbnailDismissTimer(MainQueue& mainQueue, const Clock& clock,
                                                             double duration, std::function<void()> onExpire)
    : mainQueue_(mainQueue), clock_(clock), duration_(std::max(0.0, duration)), onExpire_(std::move(onExpire)),
      remaining_(duration_) {}

void FloatingThumbnailDismissTimer::start() {
    invalidateScheduledExpiry();
    remaining_ = duration_;
    isPaused_ = false;
    schedule();
}

void FloatingThumbnailDismissTimer::restart(double duration) {
    duration_ = std::max(0.0, duration);
    if (isPaused_) {
        remaining_ = duration_;
        return;
    }
    start();
}

void FloatingThumbnailDismissTimer::pause() {
    if (!startedAt_) {
        return;
    }
    const double elapsed = clock_.monotonicSeconds() - *startedAt_;
    remaining_ = std::max(0.0, remaining_ - elapsed);
    invalidateScheduledExpiry();
    isPaused_ = true;
}

void FloatingThumbnailDismissTimer::resume() {
    if (!isPaused_) {
        return;
    }
    isPaused_ = false;
    schedule();
}

void FloatingThumbnailDismissTimer::cancel() {
    invalidateScheduledExpiry();
    isPaused_ = false;
}

void FloatingThumbnailDismissTimer::schedule() {
    startedAt_ = clock_.monotonicSeconds();
    const std::uint64_t scheduledGeneration = *generation_;
    std::weak_ptr<std::uint64_t> generation = generation_;
    mainQueue_.postAfter(remaining_, [this, generation, scheduledGeneration] {
        const auto current = generation.lock();
        if (!current || *current != scheduledGeneration) {
            return;
        }
        invalidateScheduledExpiry();
        remaining_ = 0;
        // The owner usually destroys this timer from the callback, so run a copy and touch nothing after.
        auto onExpire = onExpire_;
        if (onExpire) {
            onExpire();
        }
    });
}

void FloatingThumbnailDismissTimer::invalidateScheduledExpiry() {
    ++*generation_;
    startedAt_.reset();
}

} // namespace brisklet
