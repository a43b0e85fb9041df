#include "Platform/ThreadSerialQueue.h"

#include <future>
#include <pthread.h>

namespace brisklet {

ThreadSerialQueue::ThreadSerialQueue(std::string label) : label_(std::move(label)) {
    worker_ = std::thread([this] { run(); });
    // Thread names are limited to 15 bytes; the end of a reverse-DNS label is the telling part.
    const std::string shortName = label_.size() > 15 ? label_.substr(label_.size() - 15) : label_;
    pthread_setname_np(worker_.native_handle(), shortName.c_str());
}

ThreadSerialQueue::~ThreadSerialQueue() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_one();
    if (worker_.joinable()) {
        worker_.join();
    }
}

void ThreadSerialQueue::async(Task task) {
    {
        std::lock_guard lock(mutex_);
        tasks_.push_back(std::move(task));
    }
    wake_.notify_one();
}

void ThreadSerialQueue::sync(Task task) {
    bool onWorker = false;
    {
        std::lock_guard lock(mutex_);
        onWorker = std::this_thread::get_id() == workerId_;
    }
    if (onWorker) {
        task(); // a task that syncs onto its own queue would otherwise wait for itself forever
        return;
    }
    std::promise<void> done;
    auto finished = done.get_future();
    async([&] {
        task();
        done.set_value();
    });
    finished.wait();
}

void ThreadSerialQueue::run() {
    {
        std::lock_guard lock(mutex_);
        workerId_ = std::this_thread::get_id();
    }
    for (;;) {
        Task task;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [this] { return stopping_ || !tasks_.empty(); });
            if (tasks_.empty()) {
                return;
            }
            task = std::move(tasks_.front());
            tasks_.pop_front();
        }
        task();
    }
}

} // namespace brisklet
