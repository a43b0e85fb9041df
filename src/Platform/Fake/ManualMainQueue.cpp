#include "Platform/Fake/ManualMainQueue.h"

#include "Platform/Fake/ManualClock.h"

#include <algorithm>

namespace brisklet {

ManualMainQueue::ManualMainQueue(ManualClock& clock) : clock_(clock), mainThread_(std::this_thread::get_id()) {}

void ManualMainQueue::post(Task task) {
    postAfter(0, std::move(task));
}

void ManualMainQueue::postAfter(double delaySeconds, Task task) {
    std::lock_guard lock(mutex_);
    entries_.push_back({clock_.monotonicSeconds() + std::max(0.0, delaySeconds), nextOrder_++, std::move(task)});
}

bool ManualMainQueue::runNextDueBy(double limit) {
    Task task;
    {
        std::lock_guard lock(mutex_);
        auto next = std::min_element(entries_.begin(), entries_.end(), [](const Entry& a, const Entry& b) {
            return a.due < b.due || (a.due == b.due && a.order < b.order);
        });
        if (next == entries_.end() || next->due > limit) {
            return false;
        }
        if (next->due > clock_.monotonicSeconds()) {
            clock_.advance(next->due - clock_.monotonicSeconds());
        }
        task = std::move(next->task);
        entries_.erase(next);
    }
    task();
    return true;
}

void ManualMainQueue::runFor(double seconds) {
    const double end = clock_.monotonicSeconds() + std::max(0.0, seconds);
    while (runNextDueBy(end)) {
    }
    if (end > clock_.monotonicSeconds()) {
        clock_.advance(end - clock_.monotonicSeconds());
    }
}

void ManualMainQueue::drain() {
    while (runNextDueBy(clock_.monotonicSeconds())) {
    }
}

std::size_t ManualMainQueue::pendingTaskCount() const {
    std::lock_guard lock(mutex_);
    return entries_.size();
}

} // namespace brisklet
