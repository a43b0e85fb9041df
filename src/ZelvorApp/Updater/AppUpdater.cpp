#include "ZelvorApp/Updater/AppUpdater.h"

#include "Platform/DefaultsStore.h"
#include "Platform/MainQueue.h"
#include "Platform/SerialQueue.h"
#include "ZelvorApp/Infrastructure/LocalizationStore.h"
#include "ZelvorApp/Infrastructure/RuntimeLogger.h"
#include "ZelvorApp/Updater/AppVersion.h"
#include "ZelvorApp/Updater/GitHubReleaseAssetDownloader.h"
#include "ZelvorApp/Updater/UpdateInstallerRunner.h"
#include "ZelvorCore/Stores/PreferencesStore.h"

namespace brisklet {

namespace {

/// "host[:port]" of an address, for naming a feed.
std::string hostOf(const std::string& url) {
    const std::size_t scheme = url.find("://");
    const std::size_t start = scheme == std::string::npos ? 0 : scheme + 3;
    const std::size_t end = url.find_first_of("/?#", start);
    return url.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

} // namespace

AppUpdater::AppUpdater(AppUpdaterConfiguration configuration, ReleaseFetcher releaseFetcher, Services services)
    : configuration_(std::move(configuration)), releaseFetcher_(std::move(releaseFetcher)), services_(services) {
    AppUpdaterStatus initial;
    initial.phase = configuration_.isValid() ? AppUpdaterPhase::idle : AppUpdaterPhase::notConfigured;
    publish(std::move(initial));
}

AppUpdater::~AppUpdater() {
    // A download still running on the work queue stops at its next progress report.
    cancelRequested_->store(true);
}

std::string AppUpdater::updateSourceDescription() const {
    if (configuration_.feedURL && !configuration_.feedURL->empty()) {
        return hostOf(*configuration_.feedURL);
    }
    return services_.localization.format(L10nKey::updaterSourceGitHub, {configuration_.repository});
}

AppUpdater::CheckStart AppUpdater::checkForUpdates(std::function<void(const AppUpdaterStatus&)> onFinished) {
    if (task_ != Task::none) {
        RuntimeLogger::log("update check refused reason=busy");
        return CheckStart::busy;
    }
    if (!configuration_.isValid()) {
        AppUpdaterStatus status;
        status.phase = AppUpdaterPhase::notConfigured;
        publish(std::move(status));
        RuntimeLogger::log("update check refused reason=notConfigured");
        return CheckStart::notConfigured;
    }
    task_ = Task::checking;
    AppUpdaterStatus checking;
    checking.phase = AppUpdaterPhase::checking;
    publish(std::move(checking));
    MainQueue* mainQueue = &services_.mainQueue;
    std::weak_ptr<bool> alive = alive_;
    services_.workQueue.async([this, alive, mainQueue, fetch = releaseFetcher_, configuration = configuration_,
                               onFinished = std::move(onFinished)] {
        auto result = fetch(configuration);
        mainQueue->post([this, alive, result = std::move(result), onFinished] {
            if (!alive.expired()) {
                finishCheck(result, onFinished);
            }
        });
    });
    return CheckStart::started;
}

void AppUpdater::finishCheck(const Result<GitHubRelease, AppUpdaterError>& result,
                             const std::function<void(const AppUpdaterStatus&)>& onFinished) {
    task_ = Task::none;
    if (!result) {
        availableRelease_.reset();
        const ErrorDescriptor descriptor = describe(result.error());
        RuntimeLogger::log("update check failed error=" + logDescription(descriptor));
        publishError(descriptor);
    } else {
        availableRelease_ = result.value();
        const std::string& latest = availableRelease_->tagName;
        const bool upToDate = AppVersion{configuration_.currentVersion}.isSameOrNewer(latest);
        RuntimeLogger::log("update check finished current=" + configuration_.currentVersion + " latest=" + latest +
                           " updateAvailable=" + (upToDate ? "false" : "true"));
        publish(releaseStatus(upToDate ? AppUpdaterPhase::upToDate : AppUpdaterPhase::updateAvailable));
    }
    if (onFinished) {
        onFinished(status_);
    }
}

void AppUpdater::installAvailableUpdate() {
    if (task_ != Task::none) {
        RuntimeLogger::log("update install ignored reason=busy");
        return;
    }
    if (!availableRelease_) {
        RuntimeLogger::log("update install refused reason=installRequiresCheck");
        publishError(updater_error::InstallRequiresCheck{});
        return;
    }
    const auto asset = availableRelease_->preferredInstallerAsset(configuration_.assetNameSuffix);
    if (!asset) {
        RuntimeLogger::log("update install refused reason=noInstallerAsset version=" + availableRelease_->tagName);
        publishError(updater_error::NoInstallerAsset{availableRelease_->tagName});
        return;
    }
    task_ = Task::installing;
    cancelRequested_->store(false);
    AppUpdaterStatus downloading = releaseStatus(AppUpdaterPhase::downloading);
    downloading.downloadedByteCount = 0;
    downloading.totalByteCount = asset->size;
    downloading.progressFraction = UpdateDownloadProgress{0, asset->size}.fraction();
    publish(std::move(downloading));
    MainQueue* mainQueue = &services_.mainQueue;
    const GitHubReleaseAssetDownloader* downloader = &services_.downloader;
    std::weak_ptr<bool> alive = alive_;
    services_.workQueue.async([this, alive, mainQueue, downloader, asset = *asset, cancel = cancelRequested_] {
        auto onProgress = [this, alive](const UpdateDownloadProgress& progress) {
            if (!alive.expired()) {
                downloadProgressed(progress);
            }
        };
        auto result = downloader->downloadAsset(asset, onProgress, *cancel);
        mainQueue->post([this, alive, result = std::move(result)] {
            if (!alive.expired()) {
                downloadFinished(result);
            }
        });
    });
}

void AppUpdater::cancelDownload() {
    if (task_ == Task::installing && status_.phase == AppUpdaterPhase::downloading) {
        RuntimeLogger::log("update download cancel requested");
        cancelRequested_->store(true);
    }
}

void AppUpdater::downloadProgressed(const UpdateDownloadProgress& progress) {
    if (task_ != Task::installing || status_.phase != AppUpdaterPhase::downloading) {
        return;
    }
    AppUpdaterStatus downloading = releaseStatus(AppUpdaterPhase::downloading);
    downloading.downloadedByteCount = progress.downloadedByteCount;
    downloading.totalByteCount = progress.totalByteCount;
    downloading.progressFraction = progress.fraction();
    publish(std::move(downloading));
}

void AppUpdater::downloadFinished(const Result<std::filesystem::path, AppUpdaterError>& result) {
    if (!result) {
        task_ = Task::none;
        if (cancelRequested_->load()) {
            RuntimeLogger::log("update download cancelled");
            publish(releaseStatus(AppUpdaterPhase::updateAvailable));
            return;
        }
        const ErrorDescriptor descriptor = describe(result.error());
        RuntimeLogger::log("update download failed error=" + logDescription(descriptor));
        publishError(descriptor);
        return;
    }
    const std::string version = availableRelease_->tagName;
    // Stored before the installer runs: if this process does not survive the installation, the
    // next launch still learns what was attempted.
    services_.installationStore.setString(DefaultsKeys::updaterPendingVersion, version);
    publish(releaseStatus(AppUpdaterPhase::awaitingInstall));
    RuntimeLogger::log("update install started version=" + version);
    MainQueue* mainQueue = &services_.mainQueue;
    const UpdateInstallerRunner* installer = &services_.installerRunner;
    std::weak_ptr<bool> alive = alive_;
    services_.workQueue.async([this, alive, mainQueue, installer, package = result.value(),
                               packageName = configuration_.packageName, relaunch = configuration_.relaunchExecutable,
                               pid = services_.processIdentifier] {
        std::error_code error;
        if (!std::filesystem::is_regular_file(package, error)) {
            mainQueue->post([this, alive] {
                if (!alive.expired()) {
                    installFinished(brisklet::Status<AppUpdaterError>::failure(updater_error::AssetStateMissing{}),
                                    false);
                }
            });
            return;
        }
        const auto installed = installer->install(package, packageName);
        const bool relaunchStarted = installed && installer->relaunchAfterExit(pid, relaunch);
        std::filesystem::remove(package, error);
        mainQueue->post([this, alive, installed, relaunchStarted] {
            if (!alive.expired()) {
                installFinished(installed, relaunchStarted);
            }
        });
    });
}

void AppUpdater::installFinished(const brisklet::Status<AppUpdaterError>& result, bool relaunchStarted) {
    task_ = Task::none;
    const std::string version = availableRelease_ ? availableRelease_->tagName : std::string();
    if (!result) {
        services_.installationStore.removeValue(DefaultsKeys::updaterPendingVersion);
        const ErrorDescriptor descriptor = describe(result.error());
        RuntimeLogger::log("update install failed version=" + version + " error=" + logDescription(descriptor));
        publishError(descriptor);
        return;
    }
    RuntimeLogger::log("update installed version=" + version + " relaunch=" + (relaunchStarted ? "true" : "false"));
    AppUpdaterStatus installed = releaseStatus(AppUpdaterPhase::installed);
    installed.installedVersion = version;
    publish(std::move(installed));
    // A copy: quitting may tear down whoever set the callback.
    if (const auto ready = onRelaunchReady_; relaunchStarted && ready) {
        ready();
    }
}

void AppUpdater::confirmPendingInstallation() {
    DefaultsStore& store = services_.installationStore;
    const auto pending = store.string(DefaultsKeys::updaterPendingVersion);
    if (!pending) {
        return;
    }
    store.removeValue(DefaultsKeys::updaterPendingVersion);
    const std::string& running = configuration_.currentVersion;
    if (AppVersion{running}.isSameOrNewer(*pending)) {
        RuntimeLogger::log("update installation confirmed version=" + running);
        AppUpdaterStatus installed;
        installed.phase = AppUpdaterPhase::installed;
        installed.installedVersion = running;
        publish(std::move(installed));
        return;
    }
    RuntimeLogger::log("update installation not applied expected=" + *pending + " running=" + running);
    publishError(updater_error::NotInstalled{*pending, running});
}

void AppUpdater::refreshLocalizedTexts() {
    publish(status_);
}

AppUpdaterStatus AppUpdater::releaseStatus(AppUpdaterPhase phase) const {
    AppUpdaterStatus status;
    status.phase = phase;
    if (availableRelease_) {
        status.latestVersion = availableRelease_->tagName;
        status.releaseNotes = availableRelease_->body;
    }
    return status;
}

void AppUpdater::publishError(const ErrorDescriptor& descriptor) {
    AppUpdaterStatus failed = releaseStatus(AppUpdaterPhase::error);
    failed.errorDescriptor = descriptor;
    publish(std::move(failed));
}

void AppUpdater::publish(AppUpdaterStatus status) {
    status.currentVersion = configuration_.currentVersion;
    localizeUpdaterStatus(status, services_.localization, updateSourceDescription());
    status_ = std::move(status);
    if (onStatusChange_) {
        onStatusChange_(status_);
    }
}

} // namespace brisklet
