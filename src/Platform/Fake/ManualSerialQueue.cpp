#include "Platform/Fake/ManualSerialQueue.h"

namespace brisklet {

void ManualSerialQueue::async(Task task) {
    std::lock_guard lock(mutex_);
    tasks_.push_back(std::move(task));
}

void ManualSerialQueue::sync(Task task) {
    runPending();
    task();
}

int ManualSerialQueue::runPending() {
    int count = 0;
    for (;;) {
        Task task;
        {
            std::lock_guard lock(mutex_);
            if (tasks_.empty()) {
                return count;
            }
            task = std::move(tasks_.front());
            tasks_.pop_front();
        }
        task();
        ++count;
    }
}

std::size_t ManualSerialQueue::pendingTaskCount() const {
    std::lock_guard lock(mutex_);
    return tasks_.size();
}

} // namespace brisklet
