#include "ZelvorApp/Control/UpdateFlow.h"

#include "Platform/Clock.h"
#include "ZelvorApp/Control/AppEnvironment.h"
#include "ZelvorApp/Control/AppModel.h"
#include "ZelvorApp/Control/Ports/AlertPresenter.h"
#include "ZelvorApp/Control/Ports/ApplicationHost.h"
#include "ZelvorApp/Infrastructure/LocalizationStore.h"
#include "ZelvorApp/Infrastructure/RuntimeLogger.h"

namespace brisklet {

UpdateFlow::UpdateFlow(const AppEnvironment& environment, AppModel& model, double minimumCheckDelaySeconds)
    : env_(environment), model_(model), updater_(environment.services.updater),
      promptPreferences_(environment.services.defaults),
      alertPrompt_(environment.ports.alerts, environment.services.localization),
      scheduler_(environment.services.mainQueue, environment.services.clock, environment.services.defaults,
                 minimumCheckDelaySeconds, [this](UpdateCheckOrigin origin) { return startCheck(origin); }) {}

UpdateFlow::~UpdateFlow() {
    tearDown();
}

UpdatePromptPort& UpdateFlow::promptPort() {
    return env_.ports.updatePrompt ? *env_.ports.updatePrompt : alertPrompt_;
}

void UpdateFlow::start(bool automaticChecksEnabled) {
    if (updater_) {
        AppModel* model = &model_;
        updater_->setOnStatusChange([model](const AppUpdaterStatus& status) { model->setUpdaterStatus(status); });
        ApplicationHost* host = &env_.ports.host;
        updater_->setOnRelaunchReady([host] {
            RuntimeLogger::log("update relaunch ready; quitting");
            host->terminate();
        });
        updater_->confirmPendingInstallation();
    }
    publishStatus();
    scheduler_.schedule(automaticChecksEnabled);
}

void UpdateFlow::publishStatus() {
    if (updater_) {
        updater_->refreshLocalizedTexts();
        return;
    }
    AppUpdaterStatus status;
    status.phase = AppUpdaterPhase::notConfigured;
    localizeUpdaterStatus(status, env_.services.localization, std::string());
    model_.setUpdaterStatus(std::move(status));
}

void UpdateFlow::localizationChanged() {
    publishStatus();
}

void UpdateFlow::automaticChecksChanged(bool enabled) {
    scheduler_.schedule(enabled);
}

AppUpdater::CheckStart UpdateFlow::startCheck(UpdateCheckOrigin origin) {
    if (!updater_) {
        return AppUpdater::CheckStart::notConfigured;
    }
    std::weak_ptr<bool> alive = alive_;
    return updater_->checkForUpdates([this, alive, origin](const AppUpdaterStatus& status) {
        if (!alive.expired()) {
            checkFinished(status, origin);
        }
    });
}

void UpdateFlow::checkManually() {
    RuntimeLogger::log("manual update check requested");
    switch (scheduler_.run(UpdateCheckOrigin::manual)) {
    case AppUpdater::CheckStart::started:
        return;
    case AppUpdater::CheckStart::busy:
        RuntimeLogger::log("manual update check refused reason=busy");
        return;
    case AppUpdater::CheckStart::notConfigured: {
        const LocalizationStore& text = env_.services.localization;
        env_.ports.alerts.present({text.text(L10nKey::updaterNotConfiguredTitle),
                                   text.text(L10nKey::updaterNotConfiguredDetail),
                                   {text.text(L10nKey::genericOK)},
                                   AlertRequest::Style::informational},
                                  [](int) {});
        return;
    }
    }
}

void UpdateFlow::checkFinished(const AppUpdaterStatus& status, UpdateCheckOrigin origin) {
    scheduler_.checkEnded();
    const bool manual = origin == UpdateCheckOrigin::manual;
    if (status.phase != AppUpdaterPhase::updateAvailable || !status.latestVersion) {
        if (manual) {
            reportManualOutcome(status);
        }
        return;
    }
    const std::string& version = *status.latestVersion;
    if (!promptPreferences_.shouldPresent(version, env_.services.clock.now(), manual)) {
        RuntimeLogger::log("update prompt suppressed version=" + version);
        return;
    }
    offer(PendingUpdatePrompt{version, status.releaseNotes, manual});
}

void UpdateFlow::reportManualOutcome(const AppUpdaterStatus& status) {
    const auto style =
        status.phase == AppUpdaterPhase::error ? AlertRequest::Style::warning : AlertRequest::Style::informational;
    env_.ports.alerts.present(
        {status.title, status.detail, {env_.services.localization.text(L10nKey::genericOK)}, style}, [](int) {});
}

void UpdateFlow::offer(const PendingUpdatePrompt& prompt) {
    if (model_.state() != AppViewState::idle) {
        pending_ = prompt;
        RuntimeLogger::log("update prompt deferred version=" + prompt.version);
        return;
    }
    present(prompt);
}

void UpdateFlow::stateChanged(AppViewState state) {
    if (!pending_ || state != AppViewState::idle) {
        return;
    }
    const PendingUpdatePrompt prompt = *pending_;
    pending_.reset();
    present(prompt);
}

void UpdateFlow::present(const PendingUpdatePrompt& prompt) {
    UpdatePromptPort& port = promptPort();
    if (port.isVisible()) {
        RuntimeLogger::log("update prompt already visible version=" + prompt.version);
        return;
    }
    RuntimeLogger::log("update prompt presented version=" + prompt.version);
    const std::string current = updater_ ? updater_->configuration().currentVersion : std::string();
    std::weak_ptr<bool> alive = alive_;
    port.present(prompt, current, [this, alive, prompt](UpdatePromptDecision decision) {
        if (!alive.expired()) {
            decided(prompt, decision);
        }
    });
}

void UpdateFlow::decided(const PendingUpdatePrompt& prompt, UpdatePromptDecision decision) {
    switch (decision) {
    case UpdatePromptDecision::skip:
        promptPreferences_.skip(prompt.version);
        return;
    case UpdatePromptDecision::remindLater:
        promptPreferences_.remindLater(prompt.version, env_.services.clock.now());
        return;
    case UpdatePromptDecision::install:
        promptPreferences_.install(prompt.version);
        installAvailableUpdate();
        return;
    }
}

void UpdateFlow::installAvailableUpdate() {
    if (!updater_) {
        RuntimeLogger::log("update install skipped reason=updaterUnavailable");
        return;
    }
    updater_->installAvailableUpdate();
}

void UpdateFlow::cancelDownload() {
    if (updater_) {
        updater_->cancelDownload();
    }
}

void UpdateFlow::tearDown() {
    scheduler_.stop();
    if (updater_) {
        updater_->cancelDownload();
        updater_->setOnStatusChange({});
        updater_->setOnRelaunchReady({});
    }
}

} // namespace brisklet
