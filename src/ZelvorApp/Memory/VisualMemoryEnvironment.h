#pragma once

#include "ZelvorCore/Models/AppPreferences.h"
#include "ZelvorCore/Models/VisualMemoryItem.h"

#include <functional>
#include <vector>

namespace brisklet {

class Clock;
class MainQueue;
class SerialQueue;
class VisualMemoryStore;

/// What every library flow works with: the store (touched on the main queue only), a background
/// queue for file work and analysis, the clock, the current preferences, and where the new list
/// of items goes after every change (the controller publishes it to the windows).
struct VisualMemoryEnvironment {
    VisualMemoryStore& store;
    MainQueue& mainQueue;
    SerialQueue& workQueue;
    const Clock& clock;
    std::function<AppPreferences()> preferences;
    std::function<void(const std::vector<VisualMemoryItem>&)> publish;

    void publishItems(const std::vector<VisualMemoryItem>& items) const {
        if (publish) {
            publish(items);
        }
    }
};

} // namespace brisklet
