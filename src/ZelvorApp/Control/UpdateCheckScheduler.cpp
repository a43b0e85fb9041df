#include "ZelvorApp/Control/UpdateCheckScheduler.h"

#include "Platform/Clock.h"
#include "Platform/DefaultsStore.h"
#include "Platform/MainQueue.h"
#include "ZelvorApp/Infrastructure/RuntimeLogger.h"
#include "ZelvorCore/Stores/PreferencesStore.h"

#include <algorithm>
#include <cmath>

namespace brisklet {

UpdateCheckScheduler::UpdateCheckScheduler(MainQueue& mainQueue, const Clock& clock, DefaultsStore& defaults,
                                           double minimumDelaySeconds, CheckStarter startCheck)
    : mainQueue_(mainQueue), clock_(clock), defaults_(defaults), minimumDelaySeconds_(minimumDelaySeconds),
      startCheck_(std::move(startCheck)) {}

void UpdateCheckScheduler::schedule(bool automaticChecksEnabled) {
    enabled_ = automaticChecksEnabled;
    ++generation_;
    if (stopped_) {
        return;
    }
    if (!enabled_) {
        RuntimeLogger::log("automatic update check disabled");
        return;
    }
    const Date now = clock_.now();
    Date due = now.addingSeconds(minimumDelaySeconds_);
    if (const auto lastAttempt = defaults_.date(DefaultsKeys::updaterLastAutomaticCheckAttempt)) {
        due = std::max(due, lastAttempt->addingSeconds(checkIntervalSeconds));
    }
    arm(due.secondsSince(now));
}

void UpdateCheckScheduler::arm(double delaySeconds) {
    const unsigned long long generation = ++generation_;
    RuntimeLogger::log("automatic update check scheduled delaySeconds=" + std::to_string(std::llround(delaySeconds)));
    std::weak_ptr<bool> alive = alive_;
    mainQueue_.postAfter(delaySeconds, [this, alive, generation] {
        if (!alive.expired() && generation == generation_ && !stopped_) {
            run(UpdateCheckOrigin::automatic);
        }
    });
}

AppUpdater::CheckStart UpdateCheckScheduler::run(UpdateCheckOrigin origin) {
    const bool automatic = origin == UpdateCheckOrigin::automatic;
    const auto previous = origin_;
    origin_ = origin;
    const AppUpdater::CheckStart start = startCheck_(origin);
    switch (start) {
    case AppUpdater::CheckStart::started:
        defaults_.setDate(DefaultsKeys::updaterLastAutomaticCheckAttempt, clock_.now());
        RuntimeLogger::log(std::string("update check started automatic=") + (automatic ? "true" : "false"));
        schedule(enabled_);
        break;
    case AppUpdater::CheckStart::notConfigured:
        origin_ = previous;
        if (automatic) {
            // Counts as the day's attempt, so an unconfigured build does not try every launch.
            defaults_.setDate(DefaultsKeys::updaterLastAutomaticCheckAttempt, clock_.now());
            schedule(enabled_);
        }
        break;
    case AppUpdater::CheckStart::busy:
        // The check that runs keeps its origin.
        origin_ = previous;
        if (automatic && enabled_ && !stopped_) {
            arm(busyRetrySeconds);
        }
        break;
    }
    return start;
}

void UpdateCheckScheduler::stop() {
    stopped_ = true;
    ++generation_;
}

} // namespace brisklet
