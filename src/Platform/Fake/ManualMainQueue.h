#pragma once

#include "Platform/MainQueue.h"

#include <mutex>
#include <thread>
#include <vector>

namespace brisklet {

class ManualClock;

/// A main queue driven by a manual clock: `runFor` runs due tasks in time order and moves the
/// clock forward, so timers and timeouts are tested without sleeping. Posting is thread-safe.
class ManualMainQueue final : public MainQueue {
public:
    explicit ManualMainQueue(ManualClock& clock);

    void post(Task task) override;
    void postAfter(double delaySeconds, Task task) override;
    void runFor(double seconds) override;
    bool isMainThread() const override { return std::this_thread::get_id() == mainThread_; }

    /// Runs every task that is due now (including ones those tasks post for now).
    void drain();
    std::size_t pendingTaskCount() const;

private:
    struct Entry {
        double due;
        unsigned long long order;
        Task task;
    };
    bool runNextDueBy(double limit);

    ManualClock& clock_;
    std::thread::id mainThread_;
    mutable std::mutex mutex_;
    std::vector<Entry> entries_;
    unsigned long long nextOrder_ = 0;
};

} // namespace brisklet
