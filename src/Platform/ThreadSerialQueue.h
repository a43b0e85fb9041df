#pragma once

#include "Platform/SerialQueue.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

namespace brisklet {

/// A serial queue backed by one worker thread named after the queue's label. Tasks still queued
/// when it is destroyed run before the thread ends, so no queued write is lost at shutdown.
class ThreadSerialQueue final : public SerialQueue {
public:
    explicit ThreadSerialQueue(std::string label);
    ~ThreadSerialQueue() override;

    ThreadSerialQueue(const ThreadSerialQueue&) = delete;
    ThreadSerialQueue& operator=(const ThreadSerialQueue&) = delete;

    const std::string& label() const override { return label_; }
    void async(Task task) override;
    void sync(Task task) override;

private:
    void run();

    std::string label_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<Task> tasks_;
    bool stopping_ = false;
    std::thread::id workerId_;
    std::thread worker_;
};

class ThreadSerialQueueFactory final : public SerialQueueFactory {
public:
    std::unique_ptr<SerialQueue> makeQueue(const std::string& label) override {
        return std::make_unique<ThreadSerialQueue>(label);
    }
};

} // namespace brisklet
