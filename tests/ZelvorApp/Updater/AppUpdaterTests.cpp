// The updater on fakes: checks against scripted release answers, the verified download, the
// installation through the scripted tools, and what the next launch learns.

#include "ZelvorApp/Updater/UpdaterRig.h"

#include "ZelvorCore/Stores/PreferencesStore.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace brisklet::updater_testing {
namespace {

using Phase = AppUpdaterPhase;

std::vector<std::filesystem::path> filesIn(const std::filesystem::path& directory) {
    std::vector<std::filesystem::path> files;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(directory, error)) {
        files.push_back(entry.path());
    }
    return files;
}

template <class Case> const Case* errorCase(const AppUpdaterStatus& status) {
    return status.errorDescriptor ? std::get_if<Case>(&*status.errorDescriptor) : nullptr;
}

/// A check that found v1.3.0 with a package of `body`'s size (or `publishedSize` when given).
void findRelease(UpdaterRig& rig, const std::string& body, long long publishedSize = -2) {
    rig.http.respond(releaseURL, 200,
                     releaseJSON("v1.3.0", publishedSize == -2 ? static_cast<long long>(body.size()) : publishedSize));
    rig.http.respond(packageURL, 200, body);
    rig.checkAndSettle();
    ASSERT_EQ(rig.updater->status().phase, Phase::updateAvailable);
}

TEST(AppUpdaterCheckTest, ANewerReleaseIsAvailableAndTheSameOneIsUpToDate) {
    UpdaterRig rig;
    EXPECT_EQ(rig.updater->status().phase, Phase::idle);
    rig.http.respond(releaseURL, 200, releaseJSON("v1.3.0", 100));
    EXPECT_EQ(rig.updater->checkForUpdates(), AppUpdater::CheckStart::started);
    EXPECT_EQ(rig.updater->status().phase, Phase::checking);
    EXPECT_EQ(rig.updater->status().detail, "Contacting GitHub (brisklet/brisklet)…");
    EXPECT_EQ(rig.updater->checkForUpdates(), AppUpdater::CheckStart::busy);
    rig.settle();
    const AppUpdaterStatus& found = rig.updater->status();
    EXPECT_EQ(found.phase, Phase::updateAvailable);
    EXPECT_EQ(found.latestVersion, "v1.3.0");
    EXPECT_EQ(found.releaseNotes, "Faster captures.");
    EXPECT_EQ(found.currentVersion, "1.2.0");
    EXPECT_EQ(found.detail, "Version v1.3.0 is ready to download and install.");
    ASSERT_EQ(rig.http.requests().size(), 1u);
    EXPECT_EQ(rig.http.requests()[0].headers,
              (std::vector<HttpHeader>{{"Accept", "application/vnd.github+json"}, {"User-Agent", "Brisklet-Updater"}}));

    rig.makeUpdater(gitHubConfiguration("1.3.0"));
    rig.checkAndSettle();
    EXPECT_EQ(rig.updater->status().phase, Phase::upToDate);
    EXPECT_EQ(rig.updater->status().detail, "You're using the latest version (1.3.0).");
}

TEST(AppUpdaterCheckTest, FailuresBecomeTypedErrorsWithAMessage) {
    UpdaterRig rig;
    rig.http.respond(releaseURL, 404, "Not Found");
    rig.checkAndSettle();
    ASSERT_NE(errorCase<updater_error::ReleaseNotFound>(rig.updater->status()), nullptr);
    EXPECT_EQ(rig.updater->status().detail, "No published release was found for brisklet/brisklet.");

    rig.http.respond(releaseURL, 503, "busy");
    rig.checkAndSettle();
    EXPECT_EQ(rig.updater->status().errorDescriptor, ErrorDescriptor(updater_error::HttpStatus{503}));
    EXPECT_EQ(rig.updater->status().title, "Update Failed");

    rig.http.respond(releaseURL, 200, "<html>rate limited</html>");
    rig.checkAndSettle();
    ASSERT_NE(errorCase<updater_error::InvalidRelease>(rig.updater->status()), nullptr);
    EXPECT_EQ(rig.updater->availableRelease(), std::nullopt);

    rig.http.fail(releaseURL, HttpError{HttpError::Kind::requestFailed, "Could not resolve host: api.github.com"});
    rig.checkAndSettle();
    EXPECT_EQ(rig.updater->status().detail, "Couldn't reach the update server: Could not resolve host: api.github.com");
}

TEST(AppUpdaterCheckTest, WithoutAnUpdateSourceNothingIsAskedAndTheStatusSaysSo) {
    UpdaterRig rig(AppUpdaterConfiguration::fromInfo(std::nullopt, "0.1.0"));
    EXPECT_EQ(rig.updater->status().phase, Phase::notConfigured);
    EXPECT_EQ(rig.updater->checkForUpdates(), AppUpdater::CheckStart::notConfigured);
    rig.settle();
    EXPECT_TRUE(rig.http.requests().empty());
    EXPECT_EQ(rig.updater->status().title, "Updates Not Available");
}

TEST(AppUpdaterCheckTest, TheStatusFollowsTheLanguage) {
    UpdaterRig rig;
    rig.http.respond(releaseURL, 200, releaseJSON("v1.3.0", 100));
    rig.checkAndSettle();
    rig.english.apply(AppLanguage::german);
    rig.updater->refreshLocalizedTexts();
    EXPECT_EQ(rig.updater->status().title, "Update verfügbar");
    EXPECT_EQ(rig.statuses.back(), rig.updater->status());
}

TEST(AppUpdaterDownloadTest, ShortAndOversizedFilesAreRefusedAndNeverInstalled) {
    for (const auto& [bodySize, publishedSize] : std::vector<std::pair<int, long long>>{{3000, 4096}, {9000, 4096}}) {
        UpdaterRig rig;
        findRelease(rig, std::string(static_cast<std::size_t>(bodySize), 'x'), publishedSize);
        rig.updater->installAvailableUpdate();
        rig.settle();
        const auto* mismatch = errorCase<updater_error::AssetSizeMismatch>(rig.updater->status());
        ASSERT_NE(mismatch, nullptr) << bodySize;
        EXPECT_EQ(mismatch->expectedByteCount, 4096);
        if (bodySize < publishedSize) {
            EXPECT_EQ(mismatch->receivedByteCount, 3000);
        } else {
            // Cut off at the first read past the published size, not read to the end.
            EXPECT_GT(mismatch->receivedByteCount, 4096);
            EXPECT_LE(mismatch->receivedByteCount, 4096 + rig.http.downloadChunkSize);
        }
        EXPECT_TRUE(filesIn(rig.downloader.updatesDirectory()).empty());
        EXPECT_TRUE(rig.commandsStartingWith("pkexec").empty());
        EXPECT_EQ(rig.defaults.string(DefaultsKeys::updaterPendingVersion), std::nullopt);
        EXPECT_EQ(rig.relaunchRequests, 0);
    }
}

TEST(AppUpdaterDownloadTest, ProgressIsThrottledAndEndsWithTheWholeFile) {
    UpdaterRig rig;
    const std::string body(64 * 1024, 'p');
    rig.http.afterChunk = [&rig](std::int64_t) { rig.clock.advance(0.1); };
    findRelease(rig, body);
    rig.statuses.clear();
    rig.updater->installAvailableUpdate();
    rig.settle();
    std::vector<AppUpdaterStatus> downloading;
    for (const auto& status : rig.statuses) {
        if (status.phase == Phase::downloading) {
            downloading.push_back(status);
        }
    }
    // 64 reads of 0.1 s each, at most one report per 0.25 s, plus the start and the end.
    ASSERT_GE(downloading.size(), 3u);
    EXPECT_LT(downloading.size(), 64u / 2);
    for (std::size_t k = 1; k < downloading.size(); ++k) {
        EXPECT_GE(*downloading[k].downloadedByteCount, *downloading[k - 1].downloadedByteCount);
    }
    EXPECT_EQ(downloading.front().downloadedByteCount, 0);
    EXPECT_EQ(downloading.back().downloadedByteCount, 64 * 1024);
    EXPECT_EQ(downloading.back().totalByteCount, 64 * 1024);
    EXPECT_EQ(downloading.back().progressFraction, 1.0);
}

TEST(AppUpdaterDownloadTest, ACancelledDownloadLeavesNothingAndTheUpdateStaysAvailable) {
    UpdaterRig rig;
    rig.http.afterChunk = [&rig](std::int64_t received) {
        if (received == 4096) {
            rig.updater->cancelDownload();
        }
    };
    findRelease(rig, std::string(16 * 1024, 'c'));
    rig.updater->installAvailableUpdate();
    rig.settle();
    EXPECT_EQ(rig.updater->status().phase, Phase::updateAvailable);
    EXPECT_EQ(rig.updater->status().errorDescriptor, std::nullopt);
    EXPECT_TRUE(filesIn(rig.downloader.updatesDirectory()).empty());
    EXPECT_TRUE(rig.commandsStartingWith("pkexec").empty());
}

TEST(AppUpdaterDownloadTest, AFileNameFromTheServerCannotLeaveTheUpdatesDirectory) {
    UpdaterRig rig;
    rig.http.respond(releaseURL, 200, releaseJSON("v1.3.0", 3, "../../escaped.deb"));
    rig.http.respond(packageURL, 200, "abc");
    rig.checkAndSettle();
    rig.updater->installAvailableUpdate();
    rig.settle();
    EXPECT_NE(errorCase<updater_error::InvalidRelease>(rig.updater->status()), nullptr);
    EXPECT_FALSE(std::filesystem::exists(rig.paths.applicationSupportDirectory() / "escaped.deb"));
    EXPECT_FALSE(std::filesystem::exists(rig.paths.root() / "escaped.deb"));
}

TEST(AppUpdaterInstallTest, ASuccessfulInstallationStoresThePendingVersionAndRelaunches) {
    UpdaterRig rig;
    findRelease(rig, std::string(2048, 'd'));
    rig.updater->installAvailableUpdate();
    EXPECT_EQ(rig.updater->status().phase, Phase::downloading);
    rig.settle();
    const auto package = rig.paths.applicationSupportDirectory() / "Brisklet" / "Updates" / "brisklet_1.3.0_amd64.deb";
    EXPECT_EQ(rig.commandsStartingWith("dpkg-deb"),
              (std::vector<std::vector<std::string>>{{"dpkg-deb", "--field", package.string(), "Package"}}));
    EXPECT_EQ(rig.commandsStartingWith("pkexec"),
              (std::vector<std::vector<std::string>>{{"pkexec", "apt-get", "install", "-y", package.string()}}));
    const auto relaunch = rig.commandsStartingWith("setsid");
    ASSERT_EQ(relaunch.size(), 1u);
    EXPECT_EQ(std::vector<std::string>(relaunch[0].end() - 2, relaunch[0].end()),
              (std::vector<std::string>{"4242", "/usr/bin/brisklet"}));
    EXPECT_EQ(rig.defaults.string(DefaultsKeys::updaterPendingVersion), "v1.3.0");
    EXPECT_EQ(rig.relaunchRequests, 1);
    EXPECT_EQ(rig.updater->status().phase, Phase::installed);
    EXPECT_EQ(rig.updater->status().installedVersion, "v1.3.0");
    const std::vector<Phase> phases = rig.phases();
    const std::vector<Phase> tail(phases.end() - 3, phases.end());
    EXPECT_EQ(tail, (std::vector<Phase>{Phase::downloading, Phase::awaitingInstall, Phase::installed}));
    // The package is not kept once installed.
    EXPECT_FALSE(std::filesystem::exists(package));
}

TEST(AppUpdaterInstallTest, ARefusedOrFailedInstallationKeepsTheRunningVersionAndSaysWhy) {
    struct Case {
        int exitCode;
        std::string error;
        std::string message;
    };
    const std::vector<Case> cases{
        {126, "Error executing command as another user: Request dismissed",
         "Couldn't start the installer: Authorization was refused, or no authentication agent is running."},
        {127, "Error executing command as another user: No authentication agent found.",
         "Couldn't start the installer: Authorization was refused, or no authentication agent is running."},
        {100, "E: Unable to locate package\nE: Sub-process /usr/bin/dpkg returned an error code (1)\n",
         "The package manager stopped with status 100: E: Unable to locate package / E: Sub-process /usr/bin/dpkg "
         "returned an error code (1)"},
    };
    for (const Case& failure : cases) {
        UpdaterRig rig;
        rig.tools.installerExit = failure.exitCode;
        rig.tools.installerError = failure.error;
        findRelease(rig, std::string(100, 'f'));
        rig.updater->installAvailableUpdate();
        rig.settle();
        EXPECT_EQ(rig.updater->status().phase, Phase::error);
        EXPECT_EQ(rig.updater->status().detail, failure.message);
        EXPECT_EQ(rig.defaults.string(DefaultsKeys::updaterPendingVersion), std::nullopt);
        EXPECT_TRUE(rig.commandsStartingWith("setsid").empty());
        EXPECT_EQ(rig.relaunchRequests, 0);
        // The updater can be asked again.
        EXPECT_FALSE(rig.updater->isBusy());
    }
}

TEST(AppUpdaterInstallTest, OnlyADebianPackageOfThisApplicationIsHandedToTheInstaller) {
    {
        UpdaterRig rig;
        rig.tools.packageName = "evil-tool";
        findRelease(rig, std::string(100, 'w'));
        rig.updater->installAvailableUpdate();
        rig.settle();
        EXPECT_EQ(rig.updater->status().errorDescriptor,
                  ErrorDescriptor(updater_error::StartInstallerFailed{
                      updater_error::StartInstallerFailed::Reason::wrongPackage, "evil-tool", "brisklet"}));
        EXPECT_TRUE(rig.commandsStartingWith("pkexec").empty());
    }
    {
        UpdaterRig rig;
        rig.http.respond(releaseURL, 200, releaseJSON("v1.3.0", 3, "Brisklet-1.3.zip", "https://example.test/b.zip"));
        rig.http.respond("https://example.test/b.zip", 200, "zip");
        rig.checkAndSettle();
        rig.updater->installAvailableUpdate();
        rig.settle();
        EXPECT_EQ(rig.updater->status().detail,
                  "Couldn't start the installer: Brisklet-1.3.zip is not a Debian package.");
        EXPECT_TRUE(rig.runner.calls().empty());
    }
    {
        UpdaterRig rig;
        rig.tools.pkexecInstalled = false;
        findRelease(rig, std::string(100, 'm'));
        rig.updater->installAvailableUpdate();
        rig.settle();
        EXPECT_EQ(rig.updater->status().detail, "Couldn't start the installer: pkexec is not installed.");
    }
}

TEST(AppUpdaterInstallTest, InstallingNeedsACheckAndAReleaseWithAPackage) {
    UpdaterRig rig;
    rig.updater->installAvailableUpdate();
    EXPECT_EQ(rig.updater->status().errorDescriptor, ErrorDescriptor(updater_error::InstallRequiresCheck{}));
    rig.http.respond(releaseURL, 200, releaseJSON("v1.3.0", 3, "brisklet-1.3.0.tar.gz"));
    rig.checkAndSettle();
    rig.updater->installAvailableUpdate();
    EXPECT_EQ(rig.updater->status().errorDescriptor, ErrorDescriptor(updater_error::NoInstallerAsset{"v1.3.0"}));
    EXPECT_EQ(rig.updater->status().detail, "Release v1.3.0 doesn't include an installer for this system.");
    EXPECT_EQ(rig.http.requests().size(), 1u);
}

TEST(AppUpdaterInstallTest, TheNextLaunchTellsWhetherTheInstallationTook) {
    UpdaterRig rig(gitHubConfiguration("1.3.0"));
    rig.defaults.setString(DefaultsKeys::updaterPendingVersion, "v1.3.0");
    rig.updater->confirmPendingInstallation();
    EXPECT_EQ(rig.updater->status().phase, Phase::installed);
    EXPECT_EQ(rig.updater->status().detail, "Brisklet has been updated to version 1.3.0.");
    EXPECT_EQ(rig.defaults.string(DefaultsKeys::updaterPendingVersion), std::nullopt);

    rig.makeUpdater(gitHubConfiguration("1.2.0"));
    rig.defaults.setString(DefaultsKeys::updaterPendingVersion, "v1.3.0");
    rig.updater->confirmPendingInstallation();
    EXPECT_EQ(rig.updater->status().errorDescriptor, ErrorDescriptor(updater_error::NotInstalled{"v1.3.0", "1.2.0"}));
    EXPECT_EQ(rig.defaults.string(DefaultsKeys::updaterPendingVersion), std::nullopt);

    rig.makeUpdater(gitHubConfiguration("1.2.0"));
    rig.updater->confirmPendingInstallation();
    EXPECT_EQ(rig.updater->status().phase, Phase::idle);
}

} // namespace
} // namespace brisklet::updater_testing
