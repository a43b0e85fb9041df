#pragma once

#include "Platform/HttpClient.h"
#include "ZelvorApp/Updater/AppUpdaterConfiguration.h"
#include "ZelvorApp/Updater/AppUpdaterError.h"
#include "ZelvorApp/Updater/GitHubRelease.h"

#include <string>

namespace brisklet {

/// Asks the release server for the latest release. Blocking; runs on the updater's queue.
class UpdateReleaseClient {
public:
    static constexpr const char* gitHubAPIBase = "https://api.github.com";
    static constexpr const char* userAgent = "Brisklet-Updater";
    static constexpr double timeoutSeconds = 30;

    explicit UpdateReleaseClient(const HttpClient& http) : http_(http) {}

    /// The feed address when one is configured, else GitHub's latest-release address.
    static std::string releaseURL(const AppUpdaterConfiguration& configuration);
    /// The request for the release document, with the headers GitHub asks clients to send.
    static HttpRequest releaseRequest(const AppUpdaterConfiguration& configuration);

    /// 200 → the decoded release; 404 → releaseNotFound; any other status → httpStatus; no
    /// answer → serverUnreachable; a body that is not a release → invalidRelease.
    Result<GitHubRelease, AppUpdaterError> fetchLatest(const AppUpdaterConfiguration& configuration) const;

private:
    const HttpClient& http_;
};

} // namespace brisklet
