#pragma once

#include "ZelvorApp/Updater/AppUpdater.h"

#include <functional>
#include <memory>
#include <optional>

namespace brisklet {

class Clock;
class DefaultsStore;
class MainQueue;

/// Who asked for an update check.
enum class UpdateCheckOrigin { automatic, manual };

/// When update checks run: automatically at most once a day while the preference allows it
/// (never sooner than a short delay after launch), and at once when the user asks. Every check
/// that starts counts as the day's attempt. Main queue only.
class UpdateCheckScheduler {
public:
    static constexpr double checkIntervalSeconds = 86400;
    /// A check refused because another check or an installation runs is tried again after this.
    static constexpr double busyRetrySeconds = 900;

    using CheckStarter = std::function<AppUpdater::CheckStart(UpdateCheckOrigin)>;

    UpdateCheckScheduler(MainQueue& mainQueue, const Clock& clock, DefaultsStore& defaults, double minimumDelaySeconds,
                         CheckStarter startCheck);

    /// Arms the automatic check (due at the later of now + the minimum delay and the last
    /// attempt + a day), or disarms it.
    void schedule(bool automaticChecksEnabled);
    /// Starts a check of `origin` now and books it; returns what became of it.
    AppUpdater::CheckStart run(UpdateCheckOrigin origin);
    /// The origin of the check that runs, if one does.
    std::optional<UpdateCheckOrigin> runningOrigin() const { return origin_; }
    /// The running check has ended.
    void checkEnded() { origin_.reset(); }
    /// Disarms the timer for good (tear-down).
    void stop();

private:
    void arm(double delaySeconds);

    MainQueue& mainQueue_;
    const Clock& clock_;
    DefaultsStore& defaults_;
    double minimumDelaySeconds_;
    CheckStarter startCheck_;
    bool enabled_ = false;
    bool stopped_ = false;
    std::optional<UpdateCheckOrigin> origin_;
    /// Timers of an older arming find a newer generation and do nothing.
    unsigned long long generation_ = 0;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

} // namespace brisklet
