#pragma once

#include "Platform/HttpClient.h"

namespace brisklet {

/// HTTP through libcurl: one easy handle per request and no signals (safe on worker threads).
/// Redirects and the environment's proxy are used only when a request asks for them, since most
/// requests go to helpers on this machine.
class CurlHttpClient final : public HttpClient {
public:
    Result<HttpResponse, HttpError> send(const HttpRequest& request) const override;
    Result<HttpDownload, HttpError> download(const HttpRequest& request, const std::filesystem::path& destination,
                                             std::optional<std::int64_t> byteLimit,
                                             const ProgressHandler& onProgress) const override;
};

} // namespace brisklet
