#pragma once

#include <functional>

namespace brisklet {

/// The main thread's task queue: every state change of the application runs here.
class MainQueue {
public:
    using Task = std::function<void()>;
    virtual ~MainQueue() = default;

    /// Runs `task` on the main thread after everything already queued. Callable from any thread.
    virtual void post(Task task) = 0;
    /// Runs `task` on the main thread once `delaySeconds` have passed. Callable from any thread.
    virtual void postAfter(double delaySeconds, Task task) = 0;
    /// Keeps the main loop turning for `seconds` (tasks and events run meanwhile), then returns.
    /// Called on the main thread only.
    virtual void runFor(double seconds) = 0;
    /// Whether the caller is on the main thread.
    virtual bool isMainThread() const = 0;
};

} // namespace brisklet
