#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <optional>

namespace brisklet {

/// Remembers the clipboard changes the application made itself, so the clipboard watcher does
/// not record our own copies into the library.
class AppClipboardWriteTracker {
public:
    enum class Policy { ignore };

    /// Called right after every own write with the clipboard's new change count.
    void registerWrite(std::int64_t changeCount, Policy policy = Policy::ignore);
    /// Takes (and forgets) the policy registered for `changeCount`, if any.
    std::optional<Policy> consume(std::int64_t changeCount);

private:
    std::mutex mutex_;
    std::map<std::int64_t, Policy> entries_;
};

} // namespace brisklet
