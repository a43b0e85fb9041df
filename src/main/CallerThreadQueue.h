#pragma once

#include "Platform/MainQueue.h"
#include "Platform/SerialQueue.h"

#include <string>

namespace brisklet {

/// The command line runs every step itself, in order, on its only thread: work "posted" to the
/// main queue or a serial queue runs at once.
class CallerThreadQueue final : public MainQueue, public SerialQueue {
public:
    explicit CallerThreadQueue(std::string label) : label_(std::move(label)) {}

    const std::string& label() const override { return label_; }
    void async(SerialQueue::Task task) override { task(); }
    void sync(SerialQueue::Task task) override { task(); }
    void post(MainQueue::Task task) override { task(); }
    void postAfter(double, MainQueue::Task task) override { task(); }
    void runFor(double) override {}
    bool isMainThread() const override { return true; }

private:
    std::string label_;
};

} // namespace brisklet
