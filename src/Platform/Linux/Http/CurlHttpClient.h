#pragma once

#include "Platform/HttpClient.h"

namespace brisklet {

/// HTTP through libcurl: one easy handle per request, no signals (safe on worker threads), no
/// redirects followed and no proxy from the environment, since the only servers we talk to so
/// far are local helpers.
class CurlHttpClient final : public HttpClient {
public:
    Result<HttpResponse, HttpError> get(const std::string& url, double timeoutSeconds) const override;
};

} // namespace brisklet
