#include "ZelvorApp/Updater/GitHubReleaseAssetDownloader.h"

#include "Platform/Clock.h"
#include "Platform/HttpClient.h"
#include "Platform/MainQueue.h"
#include "Platform/Paths.h"
#include "ZelvorApp/Infrastructure/RuntimeLogger.h"
#include "ZelvorApp/Updater/UpdateReleaseClient.h"
#include "ZelvorCore/Foundation/AtomicFile.h"

#include <memory>
#include <optional>

namespace brisklet {

namespace {

using Downloaded = Result<std::filesystem::path, AppUpdaterError>;

/// Release files are named by the server; only a plain file name may become a path here.
bool isPlainFileName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos &&
           name.find('\0') == std::string::npos;
}

/// Passes progress to the main queue at a limited rate; the final report always goes out.
class ThrottledProgress {
public:
    ThrottledProgress(const Clock& clock, MainQueue& mainQueue, GitHubReleaseAssetDownloader::ProgressHandler handler,
                      std::optional<std::int64_t> publishedSize)
        : clock_(clock), mainQueue_(mainQueue), handler_(std::move(handler)), publishedSize_(publishedSize) {}

    void received(const HttpTransferProgress& transfer) {
        progress_.downloadedByteCount = transfer.receivedByteCount;
        progress_.totalByteCount = publishedSize_ ? publishedSize_ : transfer.expectedByteCount;
        const double now = clock_.monotonicSeconds();
        if (lastReport_ && now - *lastReport_ < GitHubReleaseAssetDownloader::progressIntervalSeconds) {
            return;
        }
        report(now);
    }

    void finish() { report(clock_.monotonicSeconds()); }

private:
    void report(double now) {
        lastReport_ = now;
        if (handler_) {
            mainQueue_.post([handler = handler_, progress = progress_] { handler(progress); });
        }
    }

    const Clock& clock_;
    MainQueue& mainQueue_;
    GitHubReleaseAssetDownloader::ProgressHandler handler_;
    std::optional<std::int64_t> publishedSize_;
    UpdateDownloadProgress progress_;
    std::optional<double> lastReport_;
};

HttpRequest assetRequest(const GitHubReleaseAsset& asset) {
    HttpRequest request;
    request.url = asset.browserDownloadURL;
    request.headers = {{"User-Agent", UpdateReleaseClient::userAgent}};
    request.timeoutSeconds = GitHubReleaseAssetDownloader::stallTimeoutSeconds;
    request.followsRedirects = true;
    request.usesEnvironmentProxy = true;
    return request;
}

/// Removes the temporary file unless it was moved into place.
class TemporaryDownload {
public:
    explicit TemporaryDownload(std::filesystem::path path) : path_(std::move(path)) {}
    ~TemporaryDownload() {
        if (!path_.empty()) {
            std::error_code ignored;
            std::filesystem::remove(path_, ignored);
        }
    }
    TemporaryDownload(const TemporaryDownload&) = delete;
    TemporaryDownload& operator=(const TemporaryDownload&) = delete;

    const std::filesystem::path& path() const { return path_; }
    void release() { path_.clear(); }

private:
    std::filesystem::path path_;
};

} // namespace

std::filesystem::path GitHubReleaseAssetDownloader::updatesDirectory() const {
    return paths_.applicationSupportDirectory() / "Brisklet" / "Updates";
}

Downloaded GitHubReleaseAssetDownloader::downloadAsset(const GitHubReleaseAsset& asset, ProgressHandler onProgress,
                                                       const std::atomic<bool>& cancelled) const {
    using namespace updater_error;
    if (!isPlainFileName(asset.name)) {
        return Downloaded::failure(InvalidRelease{"asset name \"" + asset.name + "\" is not a plain file name"});
    }
    const auto directory = updatesDirectory();
    std::error_code error;
    std::filesystem::create_directories(directory, error);
    const auto destination = directory / asset.name;
    TemporaryDownload temporary(makeSiblingTemporaryFile(destination, error));
    if (temporary.path().empty()) {
        return Downloaded::failure(AssetTransferFailed{asset.name, directory.string() + ": " + error.message()});
    }
    RuntimeLogger::log("update download started asset=" + asset.name +
                       " size=" + (asset.size ? std::to_string(*asset.size) : std::string("unknown")));
    ThrottledProgress progress(clock_, mainQueue_, std::move(onProgress), asset.size);
    const auto answer = http_.download(assetRequest(asset), temporary.path(), asset.size.value_or(unsizedByteLimit),
                                       [&](const HttpTransferProgress& transfer) {
                                           progress.received(transfer);
                                           return !cancelled.load();
                                       });
    if (!answer) {
        return Downloaded::failure(AssetTransferFailed{asset.name, answer.error().description});
    }
    const HttpDownload& download = answer.value();
    if (download.status < 200 || download.status >= 300) {
        return Downloaded::failure(AssetDownloadFailed{asset.name, download.status});
    }
    const auto stored = static_cast<std::int64_t>(std::filesystem::file_size(temporary.path(), error));
    const std::int64_t expected =
        asset.size ? *asset.size : (download.exceededLimit ? unsizedByteLimit : download.byteCount);
    if (download.exceededLimit || download.byteCount != expected || error || stored != expected) {
        return Downloaded::failure(AssetSizeMismatch{asset.name, expected, download.byteCount});
    }
    progress.finish();
    std::filesystem::rename(temporary.path(), destination, error);
    if (error) {
        return Downloaded::failure(AssetTransferFailed{asset.name, destination.string() + ": " + error.message()});
    }
    temporary.release();
    RuntimeLogger::log("update download finished asset=" + asset.name + " bytes=" + std::to_string(stored));
    return Downloaded::success(destination);
}

} // namespace brisklet
