#include "ZelvorApp/Export/AppClipboardWriteTracker.h"

namespace brisklet {

namespace {
// Entries are consumed by the watcher; a bound keeps a watcher that is switched off from letting
// the map grow for the life of the process.
constexpr std::size_t maximumEntries = 256;
} // namespace

void AppClipboardWriteTracker::registerWrite(std::int64_t changeCount, Policy policy) {
    std::lock_guard lock(mutex_);
    entries_[changeCount] = policy;
    while (entries_.size() > maximumEntries) {
        entries_.erase(entries_.begin());
    }
}

std::optional<AppClipboardWriteTracker::Policy> AppClipboardWriteTracker::consume(std::int64_t changeCount) {
    std::lock_guard lock(mutex_);
    const auto it = entries_.find(changeCount);
    if (it == entries_.end()) {
        return std::nullopt;
    }
    const Policy policy = it->second;
    entries_.erase(it);
    return policy;
}

} // namespace brisklet
