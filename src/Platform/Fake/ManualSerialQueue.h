#pragma once

#include "Platform/SerialQueue.h"

#include <deque>
#include <mutex>

namespace brisklet {

/// A serial queue whose tasks run only when the test says so, on the test's thread.
class ManualSerialQueue final : public SerialQueue {
public:
    explicit ManualSerialQueue(std::string label = "com.brisklet.test") : label_(std::move(label)) {}

    const std::string& label() const override { return label_; }
    void async(Task task) override;
    /// Runs everything queued before, then `task`.
    void sync(Task task) override;

    /// Runs queued tasks (and any they queue) until none are left. Returns how many ran.
    int runPending();
    std::size_t pendingTaskCount() const;

private:
    std::string label_;
    mutable std::mutex mutex_;
    std::deque<Task> tasks_;
};

} // namespace brisklet
