// Update checks as the controller runs them: the once-a-day schedule on the manual clock, manual
// checks that always answer, the offer (through the update window or an alert, deferred while a
// capture runs) and the hand-over to the new version.

#include "ZelvorApp/Control/AppHarness.h"
#include "ZelvorApp/Control/UpdateCheckScheduler.h"
#include "ZelvorApp/Updater/UpdaterRig.h"

#include "ZelvorApp/Control/Ports/UpdatePromptPort.h"

#include <gtest/gtest.h>

namespace brisklet {
namespace {

using control_testing::AppHarness;
using updater_testing::releaseJSON;
using updater_testing::releaseURL;

// MARK: the schedule

class UpdateCheckSchedulerTest : public ::testing::Test {
protected:
    std::vector<std::string> scheduleLines() { return log.linesStartingWith("automatic update check"); }
    std::optional<Date> lastAttempt() const { return defaults.date(DefaultsKeys::updaterLastAutomaticCheckAttempt); }

    testing::CapturedLog log;
    ManualClock clock;
    ManualMainQueue queue{clock};
    InMemoryDefaultsStore defaults;
    std::vector<UpdateCheckOrigin> starts;
    AppUpdater::CheckStart answer = AppUpdater::CheckStart::started;
    UpdateCheckScheduler scheduler{queue, clock, defaults, 5.0, [this](UpdateCheckOrigin origin) {
                                       starts.push_back(origin);
                                       return answer;
                                   }};
};

TEST_F(UpdateCheckSchedulerTest, TheFirstCheckWaitsTheMinimumDelayAndTheNextOneADay) {
    scheduler.schedule(true);
    queue.runFor(4.9);
    EXPECT_TRUE(starts.empty());
    queue.runFor(0.1);
    EXPECT_EQ(starts, std::vector<UpdateCheckOrigin>{UpdateCheckOrigin::automatic});
    EXPECT_EQ(lastAttempt(), clock.now());
    EXPECT_EQ(scheduler.runningOrigin(), UpdateCheckOrigin::automatic);
    EXPECT_EQ(scheduleLines(), (std::vector<std::string>{"automatic update check scheduled delaySeconds=5",
                                                         "automatic update check scheduled delaySeconds=86400"}));
    EXPECT_EQ(log.linesStartingWith("update check started"),
              std::vector<std::string>{"update check started automatic=true"});
    queue.runFor(86399);
    EXPECT_EQ(starts.size(), 1u);
    queue.runFor(1);
    EXPECT_EQ(starts.size(), 2u);
}

TEST_F(UpdateCheckSchedulerTest, TwoHoursAfterTheLastAttemptTheCheckWaitsUntilADayHasPassed) {
    defaults.setDate(DefaultsKeys::updaterLastAutomaticCheckAttempt, clock.now().addingSeconds(-7200));
    scheduler.schedule(true);
    EXPECT_EQ(scheduleLines(), std::vector<std::string>{"automatic update check scheduled delaySeconds=79200"});
    queue.runFor(79199);
    EXPECT_TRUE(starts.empty());
    queue.runFor(1);
    EXPECT_EQ(starts.size(), 1u);
}

TEST_F(UpdateCheckSchedulerTest, AManualCheckRunsAtOnceAndTheNextAutomaticOneCountsFromIt) {
    defaults.setDate(DefaultsKeys::updaterLastAutomaticCheckAttempt, clock.now().addingSeconds(-7200));
    scheduler.schedule(true);
    queue.runFor(3600);
    EXPECT_EQ(scheduler.run(UpdateCheckOrigin::manual), AppUpdater::CheckStart::started);
    EXPECT_EQ(starts, std::vector<UpdateCheckOrigin>{UpdateCheckOrigin::manual});
    EXPECT_EQ(lastAttempt(), clock.now());
    EXPECT_EQ(log.linesStartingWith("update check started"),
              std::vector<std::string>{"update check started automatic=false"});
    scheduler.checkEnded();
    // The timer armed before (due 75600 s from then) was replaced.
    queue.runFor(86399);
    EXPECT_EQ(starts.size(), 1u);
    queue.runFor(1);
    EXPECT_EQ(starts.size(), 2u);
}

TEST_F(UpdateCheckSchedulerTest, ABusyUpdaterIsAskedAgainAfterFifteenMinutes) {
    answer = AppUpdater::CheckStart::busy;
    scheduler.schedule(true);
    queue.runFor(5);
    EXPECT_EQ(starts.size(), 1u);
    EXPECT_EQ(lastAttempt(), std::nullopt);
    EXPECT_EQ(scheduler.runningOrigin(), std::nullopt);
    EXPECT_EQ(scheduleLines().back(), "automatic update check scheduled delaySeconds=900");
    answer = AppUpdater::CheckStart::started;
    queue.runFor(899);
    EXPECT_EQ(starts.size(), 1u);
    queue.runFor(1);
    EXPECT_EQ(starts.size(), 2u);

    // A manual check that finds the updater busy just ends.
    answer = AppUpdater::CheckStart::busy;
    const std::size_t armed = queue.pendingTaskCount();
    EXPECT_EQ(scheduler.run(UpdateCheckOrigin::manual), AppUpdater::CheckStart::busy);
    EXPECT_EQ(queue.pendingTaskCount(), armed);
}

TEST_F(UpdateCheckSchedulerTest, AnUnconfiguredBuildCountsTheAttemptAndWaitsADay) {
    answer = AppUpdater::CheckStart::notConfigured;
    scheduler.schedule(true);
    queue.runFor(5);
    EXPECT_EQ(lastAttempt(), clock.now());
    EXPECT_EQ(scheduleLines().back(), "automatic update check scheduled delaySeconds=86400");
    EXPECT_TRUE(log.linesStartingWith("update check started").empty());
}

TEST_F(UpdateCheckSchedulerTest, TurnedOffNothingRunsUntilTurnedOnAgain) {
    scheduler.schedule(true);
    scheduler.schedule(false);
    EXPECT_EQ(scheduleLines().back(), "automatic update check disabled");
    queue.runFor(3 * 86400);
    EXPECT_TRUE(starts.empty());
    scheduler.schedule(true);
    queue.runFor(5);
    EXPECT_EQ(starts.size(), 1u);
}

// MARK: the controller

class RecordingUpdatePrompt final : public UpdatePromptPort {
public:
    void present(const PendingUpdatePrompt& prompt, const std::string& currentVersion,
                 std::function<void(UpdatePromptDecision)> decide) override {
        prompts.push_back(prompt);
        currentVersions.push_back(currentVersion);
        decide_ = std::move(decide);
        visible = true;
    }
    bool isVisible() const override { return visible; }
    void answer(UpdatePromptDecision decision) {
        visible = false;
        decide_(decision);
    }

    std::vector<PendingUpdatePrompt> prompts;
    std::vector<std::string> currentVersions;
    bool visible = false;

private:
    std::function<void(UpdatePromptDecision)> decide_;
};

class UpdateFlowTest : public ::testing::Test {
protected:
    UpdateFlowTest() {
        app.defaults.setBool(DefaultsKeys::didShowWelcomeWindow, true);
        app.updater = &updater;
        app.ports.updatePrompt = &prompt;
        http.respond(releaseURL, 200, releaseJSON("v1.3.0", 2048));
        http.respond(updater_testing::packageURL, 200, std::string(2048, 'u'));
    }
    // The controller reaches the updater until it is gone.
    ~UpdateFlowTest() override { app.controller.reset(); }

    void settle() {
        for (int round = 0; round < 20; ++round) {
            app.settle();
            if (work.runPending() == 0 && app.mainQueue.pendingTaskCount() == 0) {
                return;
            }
        }
    }
    /// Starts the controller and lets the first automatic check run.
    AppController& startAndCheck() {
        AppController& controller = app.started();
        app.mainQueue.runFor(AppController::firstUpdateCheckDelaySeconds);
        settle();
        return controller;
    }
    bool mentions(const std::string& line) { return !app.log.linesStartingWith(line).empty(); }

    AppHarness app;
    ManualSerialQueue work{"com.brisklet.updater"};
    ScriptedHttpClient http;
    updater_testing::ScriptedTools tools;
    ScriptedProcessRunner runner{[this](const std::vector<std::string>& command) { return tools(command); }};
    GitHubReleaseAssetDownloader downloader{http, app.paths, app.clock, app.mainQueue};
    UpdateReleaseClient client{http};
    UpdateInstallerRunner installer{runner};
    AppUpdater updater{updater_testing::gitHubConfiguration(),
                       [this](const AppUpdaterConfiguration& c) { return client.fetchLatest(c); },
                       {app.defaults, app.mainQueue, work, downloader, installer, app.localization, 100}};
    RecordingUpdatePrompt prompt;
};

TEST_F(UpdateFlowTest, AnAutomaticCheckOffersTheNewVersionThroughTheUpdateWindow) {
    startAndCheck();
    ASSERT_EQ(prompt.prompts.size(), 1u);
    EXPECT_EQ(prompt.prompts[0], (PendingUpdatePrompt{"v1.3.0", std::string("Faster captures."), false}));
    EXPECT_EQ(prompt.currentVersions[0], "1.2.0");
    EXPECT_TRUE(mentions("update check started automatic=true"));
    EXPECT_TRUE(mentions("update prompt presented version=v1.3.0"));
    EXPECT_EQ(app.model.updaterStatus().phase, AppUpdaterPhase::updateAvailable);
    EXPECT_TRUE(app.alerts.alerts.empty());
}

TEST_F(UpdateFlowTest, ASkippedVersionIsOfferedOnlyWhenTheUserChecks) {
    app.defaults.setString(DefaultsKeys::updaterSkippedVersion, "v1.3.0");
    AppController& controller = startAndCheck();
    EXPECT_TRUE(prompt.prompts.empty());
    EXPECT_TRUE(mentions("update prompt suppressed version=v1.3.0"));
    controller.checkForUpdates();
    settle();
    ASSERT_EQ(prompt.prompts.size(), 1u);
    EXPECT_TRUE(prompt.prompts[0].isManualCheck);
    EXPECT_TRUE(mentions("update check started automatic=false"));
}

TEST_F(UpdateFlowTest, AnOfferDuringACaptureWaitsUntilTheApplicationIsIdle) {
    app.defaults.setDate(DefaultsKeys::updaterLastAutomaticCheckAttempt, app.clock.now());
    AppController& controller = app.started();
    controller.handleHotkey(GlobalHotkeyAction::screenshot);
    ASSERT_EQ(app.model.state(), AppViewState::selectingScreenshotRegion);
    controller.checkForUpdates();
    settle();
    EXPECT_TRUE(prompt.prompts.empty());
    EXPECT_TRUE(mentions("update prompt deferred version=v1.3.0"));
    app.overlay.cancel();
    settle();
    ASSERT_EQ(app.model.state(), AppViewState::idle);
    ASSERT_EQ(prompt.prompts.size(), 1u);
    EXPECT_TRUE(mentions("update prompt presented version=v1.3.0"));
}

TEST_F(UpdateFlowTest, RemindLaterIsKeptAndInstallHandsOverToTheNewVersion) {
    AppController& controller = startAndCheck();
    prompt.answer(UpdatePromptDecision::remindLater);
    EXPECT_EQ(app.defaults.string(DefaultsKeys::updaterRemindedVersion), "v1.3.0");
    EXPECT_EQ(app.defaults.date(DefaultsKeys::updaterRemindAfter), app.clock.now().addingSeconds(86400));
    EXPECT_TRUE(mentions("update prompt action=remindLater version=v1.3.0"));

    controller.checkForUpdates();
    settle();
    ASSERT_EQ(prompt.prompts.size(), 2u);
    prompt.answer(UpdatePromptDecision::install);
    settle();
    EXPECT_TRUE(mentions("update prompt action=install version=v1.3.0"));
    ASSERT_EQ(runner.calls().size(), 3u);
    EXPECT_EQ(runner.calls()[1].at(0), "pkexec");
    EXPECT_EQ(app.model.updaterStatus().phase, AppUpdaterPhase::installed);
    EXPECT_EQ(app.host.terminations, 1);
}

TEST_F(UpdateFlowTest, AManualCheckAlwaysAnswers) {
    http.respond(releaseURL, 200, releaseJSON("1.2.0", 10));
    AppController& controller = app.started();
    controller.checkForUpdates();
    settle();
    ASSERT_EQ(app.alerts.alerts.size(), 1u);
    EXPECT_EQ(app.alerts.alerts[0].title, "Brisklet Is Up to Date");
    EXPECT_EQ(app.alerts.alerts[0].message, "You're using the latest version (1.2.0).");

    http.respond(releaseURL, 500, "");
    controller.checkForUpdates();
    settle();
    ASSERT_EQ(app.alerts.alerts.size(), 2u);
    EXPECT_EQ(app.alerts.alerts[1].message, "The update server responded with status 500.");
    EXPECT_EQ(app.alerts.alerts[1].style, AlertRequest::Style::warning);
    EXPECT_TRUE(prompt.prompts.empty());
}

TEST_F(UpdateFlowTest, WithoutAnUpdaterChecksSayThatUpdatesAreNotAvailable) {
    app.updater = nullptr;
    AppController& controller = app.started();
    app.mainQueue.runFor(AppController::firstUpdateCheckDelaySeconds);
    EXPECT_TRUE(app.defaults.date(DefaultsKeys::updaterLastAutomaticCheckAttempt).has_value());
    EXPECT_EQ(app.model.updaterStatus().phase, AppUpdaterPhase::notConfigured);
    controller.checkForUpdates();
    ASSERT_EQ(app.alerts.alerts.size(), 1u);
    EXPECT_EQ(app.alerts.alerts[0].title, "Updates Not Available");
}

TEST_F(UpdateFlowTest, WithoutTheUpdateWindowTheOfferIsAnAlertWithTheSameChoices) {
    app.ports.updatePrompt = nullptr;
    startAndCheck();
    ASSERT_EQ(app.alerts.alerts.size(), 1u);
    const AlertRequest& offer = app.alerts.alerts[0];
    EXPECT_EQ(offer.title, "A New Version of Brisklet Is Available");
    EXPECT_NE(offer.message.find("Brisklet v1.3.0 is available. You have version 1.2.0."), std::string::npos);
    EXPECT_NE(offer.message.find("Faster captures."), std::string::npos);
    EXPECT_EQ(offer.buttons, (std::vector<std::string>{"Install Update", "Remind Me Later", "Skip This Version"}));
    app.alerts.answer(2);
    EXPECT_EQ(app.defaults.string(DefaultsKeys::updaterSkippedVersion), "v1.3.0");
}

TEST_F(UpdateFlowTest, TurningAutomaticChecksOffStopsTheSchedule) {
    AppController& controller = app.started();
    controller.updatePreferences([](AppPreferences& p) { p.automaticUpdateChecksEnabled = false; });
    EXPECT_TRUE(mentions("automatic update check disabled"));
    app.mainQueue.runFor(2 * 86400);
    settle();
    EXPECT_FALSE(mentions("update check started"));
    EXPECT_TRUE(http.requests().empty());
}

TEST_F(UpdateFlowTest, TheLaunchAfterAnInstallationReportsIt) {
    app.defaults.setString(DefaultsKeys::updaterPendingVersion, "v1.2.0");
    app.started();
    EXPECT_EQ(app.model.updaterStatus().phase, AppUpdaterPhase::installed);
    EXPECT_EQ(app.model.updaterStatus().installedVersion, "1.2.0");
    EXPECT_FALSE(app.defaults.string(DefaultsKeys::updaterPendingVersion).has_value());
}

} // namespace
} // namespace brisklet
