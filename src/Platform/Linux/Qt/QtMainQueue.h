#pragma once

#include "Platform/MainQueue.h"

namespace brisklet {

/// The main queue on Qt's event loop. Requires a QCoreApplication (or QApplication) to exist.
class QtMainQueue final : public MainQueue {
public:
    void post(Task task) override;
    void postAfter(double delaySeconds, Task task) override;
    void runFor(double seconds) override;
    bool isMainThread() const override;
};

} // namespace brisklet
