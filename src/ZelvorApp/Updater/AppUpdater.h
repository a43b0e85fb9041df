#pragma once

#include "ZelvorApp/Updater/AppUpdaterConfiguration.h"
#include "ZelvorApp/Updater/AppUpdaterError.h"
#include "ZelvorApp/Updater/AppUpdaterStatus.h"
#include "ZelvorApp/Updater/GitHubRelease.h"
#include "ZelvorApp/Updater/UpdateDownloadProgress.h"

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace brisklet {

class DefaultsStore;
class GitHubReleaseAssetDownloader;
class LocalizationStore;
class MainQueue;
class SerialQueue;
class UpdateInstallerRunner;

/// Finds out whether a newer release is published, downloads its package on request and
/// installs it, then hands over to the new version. State lives on the main queue; the network
/// and the installer run on the work queue. One check or installation at a time.
class AppUpdater {
public:
    using ReleaseFetcher = std::function<Result<GitHubRelease, AppUpdaterError>(const AppUpdaterConfiguration&)>;
    using StatusObserver = std::function<void(const AppUpdaterStatus&)>;

    enum class CheckStart {
        started,
        /// A check or an installation is running.
        busy,
        /// No update source: the status says so.
        notConfigured,
    };

    struct Services {
        /// Keeps the version whose installation was started across the restart.
        DefaultsStore& installationStore;
        MainQueue& mainQueue;
        SerialQueue& workQueue;
        const GitHubReleaseAssetDownloader& downloader;
        const UpdateInstallerRunner& installerRunner;
        const LocalizationStore& localization;
        /// This process, which the relaunch waits for.
        std::int32_t processIdentifier = 0;
    };

    AppUpdater(AppUpdaterConfiguration configuration, ReleaseFetcher releaseFetcher, Services services);
    ~AppUpdater();
    AppUpdater(const AppUpdater&) = delete;
    AppUpdater& operator=(const AppUpdater&) = delete;

    const AppUpdaterConfiguration& configuration() const { return configuration_; }
    const AppUpdaterStatus& status() const { return status_; }
    /// The release the last successful check found.
    const std::optional<GitHubRelease>& availableRelease() const { return availableRelease_; }
    /// Names the server a check contacts, e.g. "GitHub (owner/brisklet)".
    std::string updateSourceDescription() const;
    bool isBusy() const { return task_ != Task::none; }

    /// Hears every published status, on the main queue.
    void setOnStatusChange(StatusObserver observer) { onStatusChange_ = std::move(observer); }
    /// Runs once an installation succeeded and the new version waits for this one to quit.
    void setOnRelaunchReady(std::function<void()> onRelaunchReady) { onRelaunchReady_ = std::move(onRelaunchReady); }

    /// Starts a check unless one is refused: busy, or not configured (which is published).
    /// `onFinished` runs on the main queue with the status the check ended in.
    CheckStart checkForUpdates(std::function<void(const AppUpdaterStatus&)> onFinished = {});
    /// Downloads, verifies and installs the release found by the last check, then relaunches.
    void installAvailableUpdate();
    /// Stops a running download; the update stays available.
    void cancelDownload();
    /// At launch: an installation started by the previous run either took (installed) or did
    /// not (error); the record is cleared either way.
    void confirmPendingInstallation();
    /// The language changed: the texts of the status follow.
    void refreshLocalizedTexts();

private:
    enum class Task { none, checking, installing };

    void finishCheck(const Result<GitHubRelease, AppUpdaterError>& result,
                     const std::function<void(const AppUpdaterStatus&)>& onFinished);
    void downloadProgressed(const UpdateDownloadProgress& progress);
    void downloadFinished(const Result<std::filesystem::path, AppUpdaterError>& result);
    void installFinished(const Status<AppUpdaterError>& result, bool relaunchStarted);
    AppUpdaterStatus releaseStatus(AppUpdaterPhase phase) const;
    void publish(AppUpdaterStatus status);
    void publishError(const ErrorDescriptor& descriptor);

    AppUpdaterConfiguration configuration_;
    ReleaseFetcher releaseFetcher_;
    Services services_;
    Task task_ = Task::none;
    std::optional<GitHubRelease> availableRelease_;
    std::shared_ptr<std::atomic<bool>> cancelRequested_ = std::make_shared<std::atomic<bool>>(false);
    AppUpdaterStatus status_;
    StatusObserver onStatusChange_;
    std::function<void()> onRelaunchReady_;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

} // namespace brisklet
