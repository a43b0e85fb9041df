#include "ZelvorApp/Updater/UpdateReleaseClient.h"

namespace brisklet {

namespace {

using Fetched = Result<GitHubRelease, AppUpdaterError>;

} // namespace

std::string UpdateReleaseClient::releaseURL(const AppUpdaterConfiguration& configuration) {
    if (configuration.feedURL && !configuration.feedURL->empty()) {
        return *configuration.feedURL;
    }
    return std::string(gitHubAPIBase) + "/repos/" + configuration.repository + "/releases/latest";
}

HttpRequest UpdateReleaseClient::releaseRequest(const AppUpdaterConfiguration& configuration) {
    HttpRequest request;
    request.url = releaseURL(configuration);
    request.headers = {{"Accept", "application/vnd.github+json"}, {"User-Agent", userAgent}};
    request.timeoutSeconds = timeoutSeconds;
    // GitHub answers a renamed repository with a redirect; a proxy may be the only way out.
    request.followsRedirects = true;
    request.usesEnvironmentProxy = true;
    return request;
}

Fetched UpdateReleaseClient::fetchLatest(const AppUpdaterConfiguration& configuration) const {
    const bool usesFeed = configuration.feedURL && !configuration.feedURL->empty();
    if (!configuration.isValid()) {
        return Fetched::failure(updater_error::InvalidRepository{configuration.repository});
    }
    const auto answer = http_.send(releaseRequest(configuration));
    if (!answer) {
        return Fetched::failure(updater_error::ServerUnreachable{answer.error().description});
    }
    const HttpResponse& response = answer.value();
    if (response.status == 404) {
        return Fetched::failure(
            updater_error::ReleaseNotFound{usesFeed ? *configuration.feedURL : configuration.repository});
    }
    if (response.status != 200) {
        return Fetched::failure(updater_error::HttpStatus{response.status});
    }
    auto release = GitHubRelease::decode(response.body);
    if (!release) {
        return Fetched::failure(updater_error::InvalidRelease{release.error()});
    }
    return Fetched::success(std::move(release).value());
}

} // namespace brisklet
