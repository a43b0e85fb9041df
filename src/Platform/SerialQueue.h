#pragma once

#include <functional>
#include <memory>
#include <string>

namespace brisklet {

/// A named background queue that runs its tasks one at a time, in submission order.
class SerialQueue {
public:
    using Task = std::function<void()>;
    virtual ~SerialQueue() = default;

    /// The queue's label, e.g. "com.brisklet.screenshot-copy-persistence".
    virtual const std::string& label() const = 0;
    /// Queues `task` and returns at once.
    virtual void async(Task task) = 0;
    /// Queues `task` and waits until it (and everything before it) has run.
    virtual void sync(Task task) = 0;
};

/// Makes serial queues; services that need a worker get one of these instead of a thread.
class SerialQueueFactory {
public:
    virtual ~SerialQueueFactory() = default;
    virtual std::unique_ptr<SerialQueue> makeQueue(const std::string& label) = 0;
};

} // namespace brisklet
