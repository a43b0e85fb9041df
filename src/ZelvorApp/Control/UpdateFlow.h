#pragma once

#include "ZelvorApp/Control/AlertUpdatePrompt.h"
#include "ZelvorApp/Control/UpdateCheckScheduler.h"
#include "ZelvorApp/Updater/PendingUpdatePrompt.h"
#include "ZelvorApp/Updater/UpdatePromptPreferenceStore.h"
#include "ZelvorCore/Models/AppViewState.h"

#include <memory>
#include <optional>

namespace brisklet {

class AppModel;
struct AppEnvironment;
struct AppPreferences;

/// The controller's side of updates: the schedule of checks, the answers to manual checks, the
/// update offer (shown at once while nothing else happens, else as soon as the application is
/// idle again) and the hand-over to the new version. Without an updater every check reports
/// "not configured". Main queue only.
class UpdateFlow {
public:
    UpdateFlow(const AppEnvironment& environment, AppModel& model, double minimumCheckDelaySeconds);
    ~UpdateFlow();
    UpdateFlow(const UpdateFlow&) = delete;
    UpdateFlow& operator=(const UpdateFlow&) = delete;

    /// Publishes the status (after confirming an installation of the previous run) and arms the
    /// automatic checks.
    void start(bool automaticChecksEnabled);
    /// From the menu or the settings: checks now and always answers.
    void checkManually();
    void installAvailableUpdate();
    void cancelDownload();
    void automaticChecksChanged(bool enabled);
    /// An offer waiting for the application to be idle is shown now if the state allows it.
    void stateChanged(AppViewState state);
    void localizationChanged();
    void tearDown();

    const std::optional<PendingUpdatePrompt>& pendingPrompt() const { return pending_; }

private:
    AppUpdater::CheckStart startCheck(UpdateCheckOrigin origin);
    void checkFinished(const AppUpdaterStatus& status, UpdateCheckOrigin origin);
    void offer(const PendingUpdatePrompt& prompt);
    void present(const PendingUpdatePrompt& prompt);
    void decided(const PendingUpdatePrompt& prompt, UpdatePromptDecision decision);
    /// A manual check that found no update says how it ended.
    void reportManualOutcome(const AppUpdaterStatus& status);
    void publishStatus();
    UpdatePromptPort& promptPort();

    const AppEnvironment& env_;
    AppModel& model_;
    AppUpdater* updater_;
    UpdatePromptPreferenceStore promptPreferences_;
    AlertUpdatePrompt alertPrompt_;
    UpdateCheckScheduler scheduler_;
    std::optional<PendingUpdatePrompt> pending_;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

} // namespace brisklet
