// The updater with the real libcurl client against a small server in the test: the release
// check, the redirected download of a real Debian package, the size checks, the installer
// command it would run (the package is read by the real dpkg-deb; pkexec and the relaunch are
// scripted), and the relaunch script itself with a real process.

#include "ZelvorApp/Updater/LocalHttpServer.h"
#include "ZelvorApp/Updater/UpdaterRig.h"

#include "Platform/Linux/Http/CurlHttpClient.h"
#include "Platform/Linux/System/PipeProcessRunner.h"
#include "ZelvorCore/Stores/PreferencesStore.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <iterator>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>

extern char** environ;

namespace brisklet::updater_testing {
namespace {

const std::string packageName = "brisklet_1.3.0_amd64.deb";

std::string readFile(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

/// Builds a minimal Debian package named brisklet with dpkg-deb; empty when dpkg-deb is missing.
std::string buildPackage(const std::filesystem::path& directory) {
    const auto root = directory / "package";
    std::filesystem::create_directories(root / "DEBIAN");
    std::filesystem::create_directories(root / "usr" / "share" / "doc" / "brisklet");
    std::ofstream(root / "DEBIAN" / "control") << "Package: brisklet\nVersion: 1.3.0\nArchitecture: amd64\n"
                                                  "Maintainer: Brisklet Tests <tests@example.test>\n"
                                                  "Description: package for the updater tests\n";
    std::ofstream(root / "usr" / "share" / "doc" / "brisklet" / "README") << std::string(20000, 'r');
    const auto output = directory / packageName;
    const PipeProcessRunner runner;
    const auto built =
        runner.run({"dpkg-deb", "--build", "--root-owner-group", root.string(), output.string()}, {}, 60);
    return built.succeeded() ? readFile(output) : std::string();
}

/// The real client, the real dpkg-deb and scripted pkexec and setsid.
class RealNetworkRig {
public:
    RealNetworkRig() {
        AppUpdaterConfiguration configuration = gitHubConfiguration();
        configuration.feedURL = server.url("/releases/latest");
        updater = std::make_unique<AppUpdater>(
            configuration, [this](const AppUpdaterConfiguration& c) { return client.fetchLatest(c); },
            AppUpdater::Services{defaults, mainQueue, work, downloader, installer, english, 4242});
        updater->setOnRelaunchReady([this] { ++relaunchRequests; });
    }

    void settle() {
        for (int round = 0; round < 50 && (work.runPending() > 0 || mainQueue.pendingTaskCount() > 0); ++round) {
            mainQueue.drain();
        }
    }

    /// Publishes `package` with the given size in the release and serves it behind a redirect.
    void publish(const std::string& package, long long publishedSize) {
        server.answer("/releases/latest",
                      {200,
                       releaseJSON("v1.3.0", publishedSize, packageName, server.url("/download/" + packageName)),
                       {"Content-Type: application/json"}});
        server.answer("/download/" + packageName, {302, "", {"Location: " + server.url("/files/" + packageName)}});
        server.answer("/files/" + packageName, {200, package, {"Content-Type: application/octet-stream"}});
    }

    std::vector<std::vector<std::string>> commands(const std::string& program) const {
        std::vector<std::vector<std::string>> matching;
        for (const auto& command : runner.calls()) {
            if (command.at(0) == program) {
                matching.push_back(command);
            }
        }
        return matching;
    }

    LocalHttpServer server;
    ManualClock clock;
    ManualMainQueue mainQueue{clock};
    ManualSerialQueue work{"com.brisklet.updater"};
    InMemoryDefaultsStore defaults;
    TemporaryPaths paths;
    LocalizationStore english{[] { return std::vector<std::string>{"en"}; }};
    CurlHttpClient http;
    PipeProcessRunner realTools;
    ScriptedProcessRunner runner{[this](const std::vector<std::string>& command) {
        if (command.at(0) == "dpkg-deb") {
            return realTools.run(command, {}, 30);
        }
        return ScriptedProcessRunner::exited(0);
    }};
    GitHubReleaseAssetDownloader downloader{http, paths, clock, mainQueue};
    UpdateReleaseClient client{http};
    UpdateInstallerRunner installer{runner};
    std::unique_ptr<AppUpdater> updater;
    int relaunchRequests = 0;
};

TEST(UpdaterHttpTest, FindsDownloadsVerifiesAndInstallsAPublishedPackage) {
    RealNetworkRig rig;
    ASSERT_TRUE(rig.server.isListening());
    const std::string package = buildPackage(rig.paths.root());
    if (package.empty()) {
        GTEST_SKIP() << "dpkg-deb is not available";
    }
    rig.publish(package, static_cast<long long>(package.size()));
    rig.updater->checkForUpdates();
    rig.settle();
    ASSERT_EQ(rig.updater->status().phase, AppUpdaterPhase::updateAvailable) << rig.updater->status().detail;
    EXPECT_EQ(rig.updater->status().latestVersion, "v1.3.0");
    EXPECT_EQ(rig.updater->updateSourceDescription(), rig.server.url("").substr(7));
    const auto releaseRequests = rig.server.requestsFor("/releases/latest");
    ASSERT_EQ(releaseRequests.size(), 1u);
    EXPECT_EQ(releaseRequests[0].headers.at("accept"), "application/vnd.github+json");
    EXPECT_EQ(releaseRequests[0].headers.at("user-agent"), "Brisklet-Updater");

    rig.updater->installAvailableUpdate();
    rig.settle();
    ASSERT_EQ(rig.updater->status().phase, AppUpdaterPhase::installed) << rig.updater->status().detail;
    EXPECT_EQ(rig.server.requestsFor("/files/" + packageName).at(0).headers.at("user-agent"), "Brisklet-Updater");
    const auto downloaded = rig.paths.applicationSupportDirectory() / "Brisklet" / "Updates" / packageName;
    // dpkg-deb read the package name from the downloaded file, so every byte arrived.
    EXPECT_EQ(rig.commands("dpkg-deb").size(), 1u);
    EXPECT_EQ(rig.commands("pkexec"),
              (std::vector<std::vector<std::string>>{{"pkexec", "apt-get", "install", "-y", downloaded.string()}}));
    ASSERT_EQ(rig.commands("setsid").size(), 1u);
    EXPECT_EQ(rig.commands("setsid")[0].back(), "/usr/bin/brisklet");
    EXPECT_EQ(rig.defaults.string(DefaultsKeys::updaterPendingVersion), "v1.3.0");
    EXPECT_EQ(rig.relaunchRequests, 1);
}

TEST(UpdaterHttpTest, ShortAndOversizedPackagesAreRefusedAndNothingIsInstalled) {
    const std::string large(2 * 1024 * 1024, 'L');
    struct Case {
        std::string body;
        long long publishedSize;
    };
    for (const Case& refused :
         std::vector<Case>{{std::string(5000, 'S'), 6000}, {std::string(5000, 'O'), 4000}, {large, 1000}}) {
        RealNetworkRig rig;
        rig.publish(refused.body, refused.publishedSize);
        rig.updater->checkForUpdates();
        rig.settle();
        rig.updater->installAvailableUpdate();
        rig.settle();
        const auto& status = rig.updater->status();
        ASSERT_EQ(status.phase, AppUpdaterPhase::error) << refused.publishedSize;
        const auto* mismatch = std::get_if<updater_error::AssetSizeMismatch>(&*status.errorDescriptor);
        ASSERT_NE(mismatch, nullptr) << status.detail;
        EXPECT_EQ(mismatch->expectedByteCount, refused.publishedSize);
        EXPECT_NE(mismatch->receivedByteCount, refused.publishedSize);
        if (refused.body.size() == large.size()) {
            // Stopped soon after the published size, not read to the end.
            EXPECT_LT(mismatch->receivedByteCount, static_cast<std::int64_t>(large.size()));
        }
        std::error_code error;
        EXPECT_TRUE(std::filesystem::is_empty(rig.downloader.updatesDirectory(), error));
        EXPECT_TRUE(rig.runner.calls().empty());
        EXPECT_EQ(rig.relaunchRequests, 0);
    }
}

TEST(UpdaterHttpTest, ServerErrorsBecomeTypedErrors) {
    RealNetworkRig rig;
    rig.server.answer("/releases/latest", {404, "{\"message\": \"Not Found\"}", {}});
    rig.updater->checkForUpdates();
    rig.settle();
    EXPECT_EQ(rig.updater->status().errorDescriptor,
              ErrorDescriptor(updater_error::ReleaseNotFound{rig.server.url("/releases/latest")}));

    rig.server.answer("/releases/latest", {502, "bad gateway", {}});
    rig.updater->checkForUpdates();
    rig.settle();
    EXPECT_EQ(rig.updater->status().errorDescriptor, ErrorDescriptor(updater_error::HttpStatus{502}));

    rig.server.answer("/releases/latest",
                      {200, releaseJSON("v1.3.0", 10, packageName, rig.server.url("/gone.deb")), {}});
    rig.updater->checkForUpdates();
    rig.settle();
    rig.updater->installAvailableUpdate();
    rig.settle();
    EXPECT_EQ(rig.updater->status().errorDescriptor,
              ErrorDescriptor(updater_error::AssetDownloadFailed{packageName, 404}));
    EXPECT_EQ(rig.updater->status().detail, "Couldn't download " + packageName + " (status 404).");
}

TEST(UpdaterHttpTest, DownloadsKeepOnlySuccessfulBodiesWithinTheLimitAndCanBeCancelled) {
    LocalHttpServer server;
    TemporaryPaths paths;
    std::filesystem::create_directories(paths.root());
    const CurlHttpClient http;
    const auto file = paths.root() / "body";
    server.answer("/big", {200, std::string(300000, 'b'), {}});
    HttpRequest request;
    request.url = server.url("/missing");
    auto answer = http.download(request, file, std::nullopt, {});
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer.value(), (HttpDownload{404, 0, false}));
    EXPECT_EQ(std::filesystem::file_size(file), 0u);

    request.url = server.url("/big");
    answer = http.download(request, file, 1000, {});
    ASSERT_TRUE(answer);
    EXPECT_TRUE(answer.value().exceededLimit);
    EXPECT_EQ(std::filesystem::file_size(file), 1000u);

    std::vector<HttpTransferProgress> reports;
    answer = http.download(request, file, std::nullopt, [&reports](const HttpTransferProgress& progress) {
        reports.push_back(progress);
        return progress.receivedByteCount == 0;
    });
    ASSERT_FALSE(answer);
    EXPECT_EQ(answer.error().kind, HttpError::Kind::cancelled);

    answer = http.download(request, file, 300000, {});
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer.value(), (HttpDownload{200, 300000, false}));
    EXPECT_EQ(readFile(file), std::string(300000, 'b'));
}

TEST(UpdaterHttpTest, TheRelaunchWaitsForTheOldProcessThenStartsTheNewOne) {
    TemporaryPaths paths;
    std::filesystem::create_directories(paths.root());
    const auto marker = paths.root() / "started";
    const auto executable = paths.root() / "brisklet";
    std::ofstream(executable) << "#!/bin/sh\necho \"$0\" > '" << marker.string() << "'\n";
    std::filesystem::permissions(executable, std::filesystem::perms::owner_all);

    pid_t oldProcess = 0;
    const char* sleepArguments[] = {"sleep", "0.3", nullptr};
    ASSERT_EQ(::posix_spawnp(&oldProcess, "sleep", nullptr, nullptr, const_cast<char**>(sleepArguments), environ), 0);
    const PipeProcessRunner runner;
    EXPECT_TRUE(UpdateInstallerRunner(runner).relaunchAfterExit(oldProcess, executable));
    int status = 0;
    ::waitpid(oldProcess, &status, 0);
    // Waits for the detached shell, with a generous backstop for a loaded machine.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!std::filesystem::exists(marker) && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    ASSERT_TRUE(std::filesystem::exists(marker));
    EXPECT_EQ(readFile(marker), executable.string() + "\n");
}

} // namespace
} // namespace brisklet::updater_testing
