#pragma once

// The updater on fakes: manual clock and queues, scripted HTTP answers and commands, in-memory
// defaults and a temporary data directory. Tests script the server and the tools, then run the
// queues and read the status, the files and the commands.

#include "Platform/Fake/InMemoryDefaultsStore.h"
#include "Platform/Fake/ManualClock.h"
#include "Platform/Fake/ManualMainQueue.h"
#include "Platform/Fake/ManualSerialQueue.h"
#include "Platform/Fake/ScriptedHttpClient.h"
#include "Platform/Fake/ScriptedProcessRunner.h"
#include "Platform/Fake/TemporaryPaths.h"
#include "ZelvorApp/Infrastructure/LocalizationStore.h"
#include "ZelvorApp/Updater/AppUpdater.h"
#include "ZelvorApp/Updater/GitHubReleaseAssetDownloader.h"
#include "ZelvorApp/Updater/UpdateInstallerRunner.h"
#include "ZelvorApp/Updater/UpdateReleaseClient.h"

#include <memory>
#include <string>
#include <vector>

namespace brisklet::updater_testing {

inline constexpr const char* releaseURL = "https://api.github.com/repos/brisklet/brisklet/releases/latest";
inline constexpr const char* packageURL = "https://example.test/brisklet_1.3.0_amd64.deb";

/// A release document with one Debian package of `size` bytes (no "size" when negative).
inline std::string releaseJSON(const std::string& tag, long long size,
                               const std::string& assetName = "brisklet_1.3.0_amd64.deb",
                               const std::string& url = packageURL) {
    return R"({"tag_name": ")" + tag + R"(", "body": "Faster captures.", "assets": [{"name": ")" + assetName +
           R"(", "browser_download_url": ")" + url + "\"" + (size >= 0 ? ", \"size\": " + std::to_string(size) : "") +
           "}]}";
}

inline AppUpdaterConfiguration gitHubConfiguration(const std::string& currentVersion = "1.2.0") {
    AppUpdaterConfiguration configuration;
    configuration.repository = "brisklet/brisklet";
    configuration.assetNameSuffix = "_amd64.deb";
    configuration.currentVersion = currentVersion;
    return configuration;
}

/// The command lines the scripted tools answer: dpkg-deb names the package `packageName`, pkexec
/// ends with `installerExit` (and `installerError` on standard error), setsid starts.
struct ScriptedTools {
    std::string packageName = "brisklet";
    int installerExit = 0;
    std::string installerError;
    bool pkexecInstalled = true;

    ProcessOutcome operator()(const std::vector<std::string>& command) const {
        if (command.at(0) == "dpkg-deb") {
            return ScriptedProcessRunner::exited(0, packageName + "\n");
        }
        if (command.at(0) == "pkexec") {
            return pkexecInstalled
                       ? ScriptedProcessRunner::exited(installerExit, "Reading package lists...\n", installerError)
                       : ScriptedProcessRunner::notFound();
        }
        if (command.at(0) == "setsid") {
            return ScriptedProcessRunner::exited(0);
        }
        return ScriptedProcessRunner::notFound();
    }
};

class UpdaterRig {
public:
    explicit UpdaterRig(AppUpdaterConfiguration configuration = gitHubConfiguration()) {
        makeUpdater(std::move(configuration));
    }

    void makeUpdater(AppUpdaterConfiguration configuration) {
        updater.reset();
        updater = std::make_unique<AppUpdater>(
            std::move(configuration), [this](const AppUpdaterConfiguration& c) { return client.fetchLatest(c); },
            AppUpdater::Services{defaults, mainQueue, work, downloader, installer, english, 4242});
        updater->setOnStatusChange([this](const AppUpdaterStatus& status) { statuses.push_back(status); });
        updater->setOnRelaunchReady([this] { ++relaunchRequests; });
    }

    /// Runs the work queue and the main queue until both are empty.
    void settle() {
        for (int round = 0; round < 50; ++round) {
            const int ran = work.runPending();
            mainQueue.drain();
            if (ran == 0 && mainQueue.pendingTaskCount() == 0) {
                return;
            }
        }
    }

    /// Checks and lets the check finish.
    void checkAndSettle() {
        updater->checkForUpdates();
        settle();
    }

    std::vector<AppUpdaterPhase> phases() const {
        std::vector<AppUpdaterPhase> result;
        for (const auto& status : statuses) {
            result.push_back(status.phase);
        }
        return result;
    }

    std::vector<std::vector<std::string>> commandsStartingWith(const std::string& program) const {
        std::vector<std::vector<std::string>> result;
        for (const auto& command : runner.calls()) {
            if (command.at(0) == program) {
                result.push_back(command);
            }
        }
        return result;
    }

    ManualClock clock;
    ManualMainQueue mainQueue{clock};
    ManualSerialQueue work{"com.brisklet.updater"};
    InMemoryDefaultsStore defaults;
    TemporaryPaths paths;
    LocalizationStore english{[] { return std::vector<std::string>{"en"}; }};
    ScriptedHttpClient http;
    ScriptedTools tools;
    ScriptedProcessRunner runner{[this](const std::vector<std::string>& command) { return tools(command); }};
    GitHubReleaseAssetDownloader downloader{http, paths, clock, mainQueue};
    UpdateReleaseClient client{http};
    UpdateInstallerRunner installer{runner};
    std::vector<AppUpdaterStatus> statuses;
    int relaunchRequests = 0;
    std::unique_ptr<AppUpdater> updater;
};

} // namespace brisklet::updater_testing
