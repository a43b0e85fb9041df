#pragma once

#include "ZelvorApp/Updater/AppUpdaterError.h"
#include "ZelvorApp/Updater/GitHubRelease.h"
#include "ZelvorApp/Updater/UpdateDownloadProgress.h"

#include <atomic>
#include <filesystem>
#include <functional>

namespace brisklet {

class Clock;
class HttpClient;
class MainQueue;
class Paths;

/// Downloads a release file into the Updates directory and vouches for it: the file carries its
/// final name only when exactly the published number of bytes arrived. Blocking; runs on the
/// updater's queue, progress reaches the main queue.
class GitHubReleaseAssetDownloader {
public:
    /// Progress is reported at most this often, plus once at the end.
    static constexpr double progressIntervalSeconds = 0.25;
    /// How long a download may stall before it is given up.
    static constexpr double stallTimeoutSeconds = 60;
    /// The most a file without a published size may be.
    static constexpr std::int64_t unsizedByteLimit = std::int64_t{1} << 30;

    using ProgressHandler = std::function<void(const UpdateDownloadProgress&)>;

    GitHubReleaseAssetDownloader(const HttpClient& http, const Paths& paths, const Clock& clock, MainQueue& mainQueue)
        : http_(http), paths_(paths), clock_(clock), mainQueue_(mainQueue) {}

    /// $XDG_DATA_HOME/Brisklet/Updates.
    std::filesystem::path updatesDirectory() const;

    /// Downloads `asset` to a temporary name, checks its byte count against the published size
    /// (shorter and longer are both refused, a longer one is cut off as soon as it overruns) and
    /// renames it to the asset's name. A failed download leaves no file behind. `onProgress`
    /// runs on the main queue; setting `cancelled` stops the transfer.
    Result<std::filesystem::path, AppUpdaterError> downloadAsset(const GitHubReleaseAsset& asset,
                                                                 ProgressHandler onProgress,
                                                                 const std::atomic<bool>& cancelled) const;

private:
    const HttpClient& http_;
    const Paths& paths_;
    const Clock& clock_;
    MainQueue& mainQueue_;
};

} // namespace brisklet
